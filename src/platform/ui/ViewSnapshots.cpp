#include "platform/ui/ViewSnapshots.h"

#include "platform/core/Log.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPixmap>
#include <QWidget>

#include <algorithm>

namespace vm::views {

QImage imageDrawn(QWidget& view) {
    if (view.rect().isEmpty()) {
        return {};
    }
    return imageRepresentation(view);
}

QImage imageRepresentation(QWidget& view) {
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (!image.isNull()) {
        view.render(&image, QPoint(), QRegion(),
                    QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    return image;
}

std::optional<Bytes> get2dPngData(QWidget& view, float compression) {
    const QRect visible = view.visibleRegion().boundingRect();
    const QPixmap pixmap = visible.isEmpty() ? QPixmap() : view.grab(visible);
    if (pixmap.isNull()) {
        log("get2dPngData:no imageRep");
        return std::nullopt;
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(int(std::clamp(compression, 0.0f, 1.0f) * 100));
    if (!writer.write(pixmap.toImage()) || png.isEmpty()) {
        log("get2dPngData:no pngData");
        return std::nullopt;
    }
    return Bytes(png.constData(), std::size_t(png.size()));
}

}  // namespace vm::views
