// The saved profile names of a radio, and the waits and step chains that keep no thread busy.
#include "app/memory/ConditionWait.h"
#include "app/memory/ProfileNames.h"
#include "platform/core/Defaults.h"
#include "support/QueueBarrier.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>

namespace vm {
namespace {

using namespace std::chrono_literals;

TEST(ProfileNames, SavedNamesOrDefaultForAllThree) {
    Defaults& defaults = Defaults::standard();
    defaults.set("S-FULL", PlistDict{{"saved_profile_name", "Contest"},
                                     {"saved_tx_profile_name", "Low power"},
                                     {"saved_mic_profile_name", "Headset"}});
    defaults.set("S-NOGLOBAL", PlistDict{{"saved_tx_profile_name", "Low power"},
                                         {"saved_mic_profile_name", "Headset"}});
    defaults.set("S-GLOBALONLY", PlistDict{{"saved_profile_name", "Contest"}});
    defaults.set("S-EMPTY", PlistDict{{"saved_profile_name", ""},
                                      {"saved_tx_profile_name", ""},
                                      {"saved_mic_profile_name", ""}});
    defaults.set("S-TEXT", std::string("not a dictionary"));
    const ProfileNames defaultNames{"Default", "Default", "Default"};
    const struct {
        const char* serial;
        ProfileNames names;
    } cases[] = {
        {"S-FULL", {"Contest", "Low power", "Headset"}},
        {"S-NOGLOBAL", defaultNames},
        {"S-GLOBALONLY", {"Contest", "Default", "Default"}},
        {"S-EMPTY", {"", "", ""}},  // saved while the radio had none: kept as saved
        {"S-TEXT", defaultNames},
        {"S-ABSENT", defaultNames},
        {"", defaultNames},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(savedProfileNames(c.serial), c.names) << c.serial;
    }

    const ProfileNames stored{"Net", "", "Desk"};
    EXPECT_TRUE(storeProfileNames("S-STORED", stored));
    EXPECT_EQ(savedProfileNames("S-STORED"), stored);
    EXPECT_FALSE(storeProfileNames("", stored));
    EXPECT_FALSE(defaults.object(""));
}

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
