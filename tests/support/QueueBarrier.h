#pragma once
// Barriers for tests that show that something did not happen: instead of sleeping for a while,
// wait until every task queued before the barrier has run. A task that a queue would run later
// (a delayed one) is brought forward with DispatchClock::advance first.
#include "platform/core/DispatchClock.h"
#include "platform/core/DispatchQueue.h"

#include <gtest/gtest.h>

#include <atomic>

namespace vm::test {

// Every task queued on the main queue before this call has run. Call on the main thread.
inline void mainQueueBarrier() {
    bool passed = false;
    DispatchQueue::main()->async([&] { passed = true; });
    EXPECT_TRUE(runMainUntil([&] { return passed; })) << "the main queue did not reach the barrier";
}

// Every task queued on `queue` before this call has run, and then every task those queued on the
// main queue. Call on the main thread.
inline void queueBarrier(const DispatchQueuePtr& queue) {
    queue->sync([] {});
    mainQueueBarrier();
}

// Moves dispatch time forward by `time` and waits until `queue` has run the delayed tasks and
// timer events that fell due (a delayed task of the barrier's own, due last, marks the point), and
// then the main queue. Call on the main thread.
inline void advanceBarrier(const DispatchQueuePtr& queue, DispatchClock::duration time) {
    std::atomic<bool> passed{false};
    queue->after(time, [&] { passed = true; });
    DispatchClock::advance(time);
    EXPECT_TRUE(runMainUntil([&] { return passed.load(); })) << "the delayed barrier did not run";
    queueBarrier(queue);
}

}  // namespace vm::test
