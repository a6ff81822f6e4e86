// A panadapter view's size changes, gathered into one report per resize.
#include "app/panels/PanViewResizeWatch.h"

#include "display/views/PanAdapterView.h"
#include "display/views/WaterFallView.h"
#include "platform/core/DispatchQueue.h"

#include <QEvent>

#include <utility>

namespace vm {

PanViewResizeWatch::PanViewResizeWatch(PanAdapterView* view, std::chrono::milliseconds settle,
                                       Settled settled)
    : QObject(view), view_(view), settle_(settle), settled_(std::move(settled)) {
    view->installEventFilter(this);
}

bool PanViewResizeWatch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::Resize) {
        setResizing(true);
        const unsigned change = ++changes_;
        DispatchQueue::main()->after(settle_, [watch = QPointer<PanViewResizeWatch>(this), change] {
            if (watch) {
                watch->settle(change);
            }
        });
    }
    return false;
}

void PanViewResizeWatch::setResizing(bool on) {
    if (!view_) {
        return;
    }
    view_->setResizing(on);
    if (WaterFallView* waterfall = view_->waterFallView()) {
        waterfall->setResizing(on);
    }
}

void PanViewResizeWatch::settle(unsigned change) {
    if (change != changes_ || !view_) {
        return;
    }
    setResizing(false);
    settled_(view_->size());
}

}  // namespace vm
