#include "platform/ui/Images.h"

#include "platform/core/Log.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cmath>

namespace vm::images {

namespace {
constexpr int kLargestSide = 8192;
}  // namespace

QImage imageRotated(const QImage& image, float degrees) {
    if (std::fmod(degrees, 90.0f) != 0.0f) {
        log("NSImage(Rotated): This code has only been tested for multiples of 90 degrees. "
            "(TODO: test and remove this line)");
    }
    const float angle = std::fmod(degrees, 360.0f);
    if (angle == 0.0f) {
        return image;
    }
    const int width = image.width();
    const int height = image.height();
    if (width > kLargestSide || height > kLargestSide) {
        log("imageRotated: Too Large:width: {:f}, height: {:f}, ", double(width), double(height));
        return image;
    }
    QSize size(width, height);
    const float quarter = std::fabs(angle);
    if (quarter == 90.0f || quarter == 270.0f) {
        size.transpose();
    } else if (quarter != 180.0f) {
        const int side = std::max(width, height) + 20;
        size = QSize(side, side);
    }
    QImage rotated(size, QImage::Format_ARGB32_Premultiplied);
    rotated.fill(Qt::transparent);
    QPainter painter(&rotated);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.translate(size.width() / 2.0, size.height() / 2.0);
    painter.rotate(angle);
    painter.drawImage(QPointF(-width / 2.0, -height / 2.0), image);
    return rotated;
}

QImage imageRotatedByExifTag(const QImage& image, unsigned tag) {
    switch (tag) {
        case 3: return imageRotated(image, 180);
        case 6: return imageRotated(image, 90);
        case 8: return imageRotated(image, 270);
        default: return image;
    }
}

QImage resizedImage(const QImage& image, QSizeF pixels) {
    const QSize size(int(pixels.width()), int(pixels.height()));
    if (image.isNull() || size.isEmpty()) {
        return {};
    }
    QImage resized(size, QImage::Format_RGBA8888);
    resized.fill(Qt::transparent);
    QPainter painter(&resized);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), size), image);
    return resized;
}

}  // namespace vm::images

namespace vm::imageViews {

void setImageAndFrame(QLabel& view, const QImage& image) {
    view.resize(image.size());
    view.setPixmap(QPixmap::fromImage(image));
}

}  // namespace vm::imageViews
