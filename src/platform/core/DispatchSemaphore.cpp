#include "platform/core/DispatchSemaphore.h"

namespace vm {

void DispatchSemaphore::signal() {
    // Notified under the lock: a waiter that wakes may destroy the semaphore at once.
    std::lock_guard lock(mutex_);
    ++value_;
    cv_.notify_one();
}

bool DispatchSemaphore::wait(std::optional<std::chrono::steady_clock::duration> timeout) {
    std::unique_lock lock(mutex_);
    const auto ready = [this] { return value_ > 0; };
    if (!timeout) {
        cv_.wait(lock, ready);
    } else if (!cv_.wait_for(lock, *timeout, ready)) {
        return false;
    }
    --value_;
    return true;
}

}  // namespace vm
