// Waits that test a condition from delayed tasks, and step chains: no thread is kept busy.
#include "platform/core/ConditionWait.h"
#include "support/QueueBarrier.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vm {
namespace {

using namespace std::chrono_literals;

class Waits : public ::testing::Test {
protected:
    DispatchQueuePtr queue = DispatchQueue::serial("com.velmorasoftware.test.waits");
    std::atomic<bool> condition{false};
    std::optional<bool> result;  // written on the queue, read after a barrier

    void start(DispatchClock::duration timeout = 15s) {
        waitForCondition(
            queue, [this] { return condition.load(); }, 10ms, timeout,
            [this](bool held) { result = held; });
    }
};

TEST_F(Waits, EndsAsSoonAsTheConditionHolds) {
    condition = true;
    start();
    test::queueBarrier(queue);
    EXPECT_EQ(result, true);
}

TEST_F(Waits, TheQueueStaysFreeAndTheWaitEndsWhenTheConditionComes) {
    start();
    test::queueBarrier(queue);  // other work runs on the queue while the wait goes on
    EXPECT_EQ(queue->syncResult([this] { return result; }), std::nullopt);
    condition = true;
    ASSERT_TRUE(
        runMainUntil([&] { return queue->syncResult([this] { return result; }).has_value(); }));
    EXPECT_EQ(queue->syncResult([this] { return result; }), true);
}

TEST_F(Waits, GivesUpOnlyOnceTheTimeOutHasPassed) {
    start(15s);
    test::advanceBarrier(queue, 14s);
    EXPECT_EQ(queue->syncResult([this] { return result; }), std::nullopt);
    test::advanceBarrier(queue, 2s);
    EXPECT_EQ(queue->syncResult([this] { return result; }), false);
}

TEST(Chains, StepsRunInTurnAndAStepThatStopsEndsTheChain) {
    std::vector<std::string> trace;
    std::function<void()> held;
    runChain(
        3,
        [&](std::size_t i, std::function<void()> next) {
            trace.push_back("step " + std::to_string(i));
            if (i == 1) {
                held = next;  // step 1 goes on later
            } else {
                next();
            }
        },
        [&] { trace.push_back("finish"); });
    EXPECT_EQ(trace, (std::vector<std::string>{"step 0", "step 1"}));
    held();
    EXPECT_EQ(trace, (std::vector<std::string>{"step 0", "step 1", "step 2", "finish"}));

    bool finished = false;
    runChain(
        2, [](std::size_t, std::function<void()>) {}, [&] { finished = true; });
    EXPECT_FALSE(finished);
}

}  // namespace
}  // namespace vm
