#include "app/windows/ViewArea.h"

#include <QPainter>
#include <QVBoxLayout>

namespace vm {

ViewArea::ViewArea(const QString& objectName, const QString& caption, QWidget* parent)
    : QWidget(parent), caption_(caption) {
    setObjectName(objectName);
    setMinimumHeight(80);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ViewArea::place(QWidget* view) {
    view_ = view;
    layout()->addWidget(view);
    update();
}

void ViewArea::paintEvent(QPaintEvent*) {
    if (view_) {
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), QColor(14, 18, 26));
    painter.setPen(QColor(40, 52, 70));
    // A faint grid, as the empty display of a receiver shows it.
    for (int i = 1; i < 10; ++i) {
        const int x = width() * i / 10;
        painter.drawLine(x, 0, x, height());
    }
    for (int i = 1; i < 4; ++i) {
        const int y = height() * i / 4;
        painter.drawLine(0, y, width(), y);
    }
    painter.setPen(QColor(120, 136, 160));
    painter.drawText(rect(), Qt::AlignCenter, caption_);
}

}  // namespace vm
