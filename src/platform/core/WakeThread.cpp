#include "platform/core/WakeThread.h"

#include <utility>

namespace vm {

WakeThread::WakeThread(std::function<void()> work)
    : work_(std::move(work)), thread_([this] { run(); }) {}

WakeThread::~WakeThread() { stop(); }

void WakeThread::wake() {
    woken_.fetch_add(1);
    woken_.notify_one();
}

void WakeThread::stop() {
    if (!thread_.joinable()) {
        return;
    }
    {
        // Under the lock, so that a waiter either sees it or is already waiting for the notice.
        std::lock_guard lock(idleMutex_);
        stopping_.store(true);
    }
    wake();
    thread_.join();
    idle_.notify_all();
}

void WakeThread::run() {
    std::uint32_t seen = 0;
    while (true) {
        woken_.wait(seen);
        if (stopping_.load()) {
            return;
        }
        seen = woken_.load();
        work_();
        {
            std::lock_guard lock(idleMutex_);
            handled_.store(seen);
        }
        idle_.notify_all();
    }
}

void WakeThread::waitUntilIdle() {
    const std::uint32_t target = woken_.load();
    std::unique_lock lock(idleMutex_);
    // Reached or passed (the counts wrap): wake-ups that come while waiting may be handled in the
    // same round as the one waited for.
    idle_.wait(lock, [&] {
        return static_cast<std::int32_t>(handled_.load() - target) >= 0 || stopping_.load();
    });
}

}  // namespace vm
