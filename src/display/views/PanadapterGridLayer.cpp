#include "display/views/PanadapterGridLayer.h"

#include <QPainter>

#include <cmath>

namespace vm {

void PanadapterGridLayer::paint(QPainter& painter, const Inputs& inputs, const Draw& draw) {
    if (inputs.size.isEmpty()) {
        return;
    }
    if (drawn_ != inputs) {
        redraw(inputs, draw);
    }
    const double ratio = inputs.pixelRatio;
    for (const QRect& pixels : ink_) {
        painter.drawImage(QRectF(pixels.x() / ratio, pixels.y() / ratio, pixels.width() / ratio,
                                 pixels.height() / ratio),
                          picture_, pixels);
    }
}

void PanadapterGridLayer::redraw(const Inputs& inputs, const Draw& draw) {
    const double ratio = inputs.pixelRatio;
    const QSize pixels(static_cast<int>(std::ceil(inputs.size.width() * ratio)),
                       static_cast<int>(std::ceil(inputs.size.height() * ratio)));
    if (picture_.size() != pixels) {
        picture_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        picture_.fill(Qt::transparent);
    } else {
        // The last grid lies inside its ink: clearing that clears the picture.
        QPainter clear(&picture_);
        clear.setCompositionMode(QPainter::CompositionMode_Source);
        for (const QRect& area : ink_) {
            clear.fillRect(area, Qt::transparent);
        }
    }
    picture_.setDevicePixelRatio(ratio);

    std::vector<QRectF> ink;
    QPainter layer(&picture_);
    draw(layer, ink);
    layer.end();

    // Whole pixels around each rectangle, one more on every side for the edges of antialiased
    // text, never past the picture.
    ink_ = QRegion();
    const QRect bounds = picture_.rect();
    for (const QRectF& area : ink) {
        const QRectF scaled(area.x() * ratio, area.y() * ratio, area.width() * ratio,
                            area.height() * ratio);
        ink_ += scaled.toAlignedRect().adjusted(-1, -1, 1, 1) & bounds;
    }
    drawn_ = inputs;
    ++redraws_;
}

}  // namespace vm
