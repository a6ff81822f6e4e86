#pragma once
// A counting semaphore whose wait can time out.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace vm {

class DispatchSemaphore {
public:
    explicit DispatchSemaphore(long value = 0) : value_(value) {}

    void signal();
    // Waits until the count is positive and takes one; false when `timeout` passed first.
    bool wait(std::optional<std::chrono::steady_clock::duration> timeout = std::nullopt);

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    long value_;
};

}  // namespace vm
