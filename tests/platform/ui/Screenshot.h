#pragma once
// Saves a widget as drawn at a device pixel ratio of 2 under build/screenshots/, for a person to
// look at what the user will see.
#include <QDir>
#include <QImage>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

namespace vm::test {

inline void saveScreenshot(QWidget& widget, const QString& name) {
    QImage image(widget.size() * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2.0);
    image.fill(Qt::transparent);
    widget.render(&image);
    ASSERT_TRUE(QDir().mkpath(QStringLiteral(VM_SCREENSHOT_DIR)));
    EXPECT_TRUE(image.save(QStringLiteral(VM_SCREENSHOT_DIR "/") + name, "PNG"));
}

}  // namespace vm::test
