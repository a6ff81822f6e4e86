#include "platform/core/Executor.h"

#include "platform/core/DispatchTimerTraits.h"

#include <asio/post.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>

namespace vm::detail {

namespace {
std::mutex gFinishedMutex;
std::condition_variable gFinishedCv;
std::size_t gFinished = 0;
}  // namespace

Executor& Executor::shared() {
    // Never destroyed: the threads are stopped at exit, before other statics go away.
    static Executor* executor = [] {
        auto* e = new Executor();
        std::atexit([] { Executor::shared().shutdown(); });
        return e;
    }();
    return *executor;
}

Executor::Executor() : guard_(asio::make_work_guard(io_)) {
    // Serial queues may block a worker in a synchronous call on another queue, so the pool is
    // wider than the machine.
    const unsigned count = std::max(8u, 2 * std::thread::hardware_concurrency());
    threads_.reserve(count);
    for (unsigned i = 0; i < count; ++i) {
        threads_.emplace_back([this] {
            io_.run();
            std::lock_guard lock(gFinishedMutex);
            ++gFinished;
            gFinishedCv.notify_all();
        });
    }
}

void Executor::post(std::function<void()> work) { asio::post(io_, std::move(work)); }

void Executor::poke() {
    // Earlier than every other timer, so the reactor recomputes its wait and finds the ones that
    // are due by the moved clock.
    auto timer = std::make_shared<DispatchTimerType>(io_);
    timer->expires_at(DispatchClock::time_point{});
    timer->async_wait([timer](const std::error_code&) {});
}

void Executor::shutdown() {
    io_.stop();
    // A worker blocked in a synchronous call that can no longer complete must not hang the exit.
    std::unique_lock lock(gFinishedMutex);
    const bool all = gFinishedCv.wait_for(lock, std::chrono::seconds(2),
                                          [this] { return gFinished == threads_.size(); });
    lock.unlock();
    for (auto& t : threads_) {
        if (all) {
            t.join();
        } else {
            t.detach();
        }
    }
}

}  // namespace vm::detail
