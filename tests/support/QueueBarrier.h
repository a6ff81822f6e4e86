#pragma once
// Barriers for tests that show that something did not happen: instead of sleeping for a while,
// wait until every task queued before the barrier has run. A task that a queue would run later
// (a delayed one) is brought forward with DispatchClock::advance first.
#include "platform/core/DispatchQueue.h"

#include <gtest/gtest.h>

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

}  // namespace vm::test
