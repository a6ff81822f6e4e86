#pragma once
// The worker pool under the dispatch layer: one asio io_context run by a fixed set of threads. It
// runs the drains of serial queues, the work of the global queues, timers and descriptor waits.
// Internal to platform/core.
#include <asio/io_context.hpp>

#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace vm::detail {

class Executor {
public:
    static Executor& shared();

    asio::io_context& io() { return io_; }
    void post(std::function<void()> work);
    // Wakes the reactor so that timers re-read the clock (after DispatchClock::advance).
    void poke();

private:
    Executor();
    void shutdown();

    asio::io_context io_;
    asio::executor_work_guard<asio::io_context::executor_type> guard_;
    std::vector<std::thread> threads_;
};

}  // namespace vm::detail
