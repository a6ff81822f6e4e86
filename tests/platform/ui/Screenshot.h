#pragma once
// Saves a widget as drawn at a device pixel ratio of 2 under build/screenshots/, for a person to
// look at what the user will see.
#include <QColor>
#include <QDir>
#include <QImage>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

namespace vm::test {

// A widget that paints no background of its own (a page of a window) is drawn on `background`.
inline void saveScreenshot(QWidget& widget, const QString& name,
                           const QColor& background = Qt::transparent) {
    QImage image(widget.size() * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2.0);
    image.fill(background);
    widget.render(&image);
    ASSERT_TRUE(QDir().mkpath(QStringLiteral(VM_SCREENSHOT_DIR)));
    EXPECT_TRUE(image.save(QStringLiteral(VM_SCREENSHOT_DIR "/") + name, "PNG"));
}

}  // namespace vm::test
