#include "display/views/OfflineVeil.h"

#include <QPainter>

namespace vm {

void drawOfflineVeil(QPainter& painter, const QRect& area, const QString& reason) {
    if (reason.isEmpty()) {
        return;
    }
    painter.save();
    painter.fillRect(area, QColor(0, 0, 0, 170));
    QFont font = painter.font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.5);
    painter.setFont(font);
    painter.setPen(QColor(255, 200, 80));
    painter.drawText(area, Qt::AlignCenter, reason);
    painter.restore();
}

}  // namespace vm
