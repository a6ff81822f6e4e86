#pragma once
// Keeps a serial queue busy until release(), so that the tasks queued meanwhile wait there
// together and run one after another once it lets go.
#include "platform/core/DispatchQueue.h"
#include "platform/core/DispatchSemaphore.h"

#include <memory>

namespace vm::test {

class QueueHold {
public:
    // Returns once `queue` runs the holding task.
    explicit QueueHold(const DispatchQueuePtr& queue) {
        auto held = std::make_shared<DispatchSemaphore>();
        queue->async([held, release = release_] {
            held->signal();
            release->wait();
        });
        held->wait();
    }
    ~QueueHold() { release(); }
    QueueHold(const QueueHold&) = delete;
    QueueHold& operator=(const QueueHold&) = delete;

    void release() {
        if (!released_) {
            released_ = true;
            release_->signal();
        }
    }

private:
    std::shared_ptr<DispatchSemaphore> release_ = std::make_shared<DispatchSemaphore>();
    bool released_ = false;
};

}  // namespace vm::test
