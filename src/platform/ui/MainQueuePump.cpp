#include "platform/ui/MainQueuePump.h"

#include "platform/core/DispatchQueue.h"

#include <QCoreApplication>
#include <QEvent>

#include <mutex>

namespace vm {

namespace {
const QEvent::Type kDrainEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
}  // namespace

// The wake function may be called from any thread, also while the pump is being destroyed: it
// reaches the pump only through this link, which the destructor cuts first.
struct MainQueuePump::Link {
    std::mutex mutex;
    MainQueuePump* pump = nullptr;

    void post() {
        std::lock_guard lock(mutex);
        if (pump) {
            QCoreApplication::postEvent(pump, new QEvent(kDrainEvent));
        }
    }
};

MainQueuePump::MainQueuePump() : link_(std::make_shared<Link>()) {
    link_->pump = this;
    DispatchQueue::setMainWakeup([link = link_] { link->post(); });
    // Tasks queued before the pump existed have already signalled their wake: drain them too.
    link_->post();
}

MainQueuePump::~MainQueuePump() {
    DispatchQueue::setMainWakeup(nullptr);
    std::lock_guard lock(link_->mutex);
    link_->pump = nullptr;
}

void MainQueuePump::customEvent(QEvent* event) {
    if (event->type() == kDrainEvent) {
        DispatchQueue::drainMain();
    }
}

}  // namespace vm
