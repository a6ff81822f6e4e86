// Placeholder until the mouse and keyboard handling lands: every event goes to QWidget as is.
#include "display/views/PanAdapterView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace vm {

void PanAdapterView::enterEvent(QEnterEvent* event) { QWidget::enterEvent(event); }
void PanAdapterView::leaveEvent(QEvent* event) { QWidget::leaveEvent(event); }
void PanAdapterView::mouseMoveEvent(QMouseEvent* event) { QWidget::mouseMoveEvent(event); }
void PanAdapterView::mousePressEvent(QMouseEvent* event) { QWidget::mousePressEvent(event); }
void PanAdapterView::mouseDoubleClickEvent(QMouseEvent* event) {
    QWidget::mouseDoubleClickEvent(event);
}
void PanAdapterView::mouseReleaseEvent(QMouseEvent* event) { QWidget::mouseReleaseEvent(event); }
void PanAdapterView::wheelEvent(QWheelEvent* event) { QWidget::wheelEvent(event); }
void PanAdapterView::keyPressEvent(QKeyEvent* event) { QWidget::keyPressEvent(event); }

}  // namespace vm
