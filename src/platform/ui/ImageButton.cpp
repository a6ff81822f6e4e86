#include "platform/ui/ImageButton.h"

#include <QPainter>

#include <algorithm>

namespace vm {

ImageButton::ImageButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QAbstractButton::clicked, this, &ImageButton::sendAction);
}

void ImageButton::setImage(const QImage& image) {
    image_ = image;
    update();
}

QSize ImageButton::sizeHint() const {
    if (!text().isEmpty()) {
        const QSize title = fontMetrics().size(Qt::TextSingleLine, text());
        return {std::max(48, title.width() + 20), std::max(24, title.height() + 10)};
    }
    return {24, 24};
}

void ImageButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!isEnabled()) {
        painter.setOpacity(0.4);
    }
    if (!image_.isNull()) {
        QSizeF fitted = QSizeF(image_.size()).scaled(QSizeF(size()), Qt::KeepAspectRatio);
        QRectF target(QPointF(), fitted);
        target.moveCenter(QRectF(rect()).center());
        painter.drawImage(target, image_);
    }
    if (!text().isEmpty()) {
        QFont font = painter.font();
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
    if (isDown()) {
        painter.setOpacity(1.0);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 60));
        painter.drawRoundedRect(QRectF(rect()), 4, 4);
    }
    if (hasFocus()) {
        painter.setOpacity(1.0);
        QPen ring(palette().color(QPalette::Highlight), 2);
        painter.setPen(ring);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 4, 4);
    }
}

}  // namespace vm
