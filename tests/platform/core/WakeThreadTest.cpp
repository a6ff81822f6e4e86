// The worker thread of the microphone transmitter and the voice recorder: every wake-up is
// followed by a round of work, even one that comes while a round runs, and stopping releases
// whoever waits.
#include "platform/core/WakeThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

namespace vm {
namespace {

TEST(WakeThread, EveryWakeUpIsFollowedByARoundThatSeesWhatCameBefore) {
    std::atomic<int> latest{0};
    std::atomic<int> seen{0};
    std::atomic<int> rounds{0};
    WakeThread thread([&] {
        seen.store(latest.load());
        ++rounds;
    });
    for (int i = 1; i <= 200; ++i) {
        latest.store(i);
        thread.wake();
        thread.waitUntilIdle();
        ASSERT_EQ(seen.load(), i);
    }

    // Wake-ups from several threads at once, as capture callbacks may overlap a round.
    std::vector<std::thread> wakers;
    for (int t = 0; t < 4; ++t) {
        wakers.emplace_back([&] {
            for (int i = 0; i < 100; ++i) {
                thread.wake();
            }
        });
    }
    for (auto& waker : wakers) {
        waker.join();
    }
    latest.store(-1);
    thread.wake();
    thread.waitUntilIdle();
    EXPECT_EQ(seen.load(), -1);
    EXPECT_LE(rounds.load(), 200 + 401) << "wake-ups during a round fold into the next";
}

// A waiter whose wake-up is handled together with later ones returns all the same.
TEST(WakeThread, AWaitEndsWhenLaterWakeUpsAreHandledInTheSameRound) {
    std::atomic<bool> inRound{false};
    std::atomic<bool> release{false};
    WakeThread thread([&] {
        inRound = true;
        while (!release) {
            std::this_thread::yield();
        }
        inRound = false;
    });
    thread.wake();  // round 1 starts and holds
    while (!inRound) {
        std::this_thread::yield();
    }
    thread.wake();  // the one waited for
    std::thread later([&] {
        thread.wake();  // and one more before round 2 begins
        release = true;
    });
    // Ends once round 2 has taken both. Waited for on a thread of its own, so that a waiter left
    // behind fails the test instead of hanging it; stop() then releases it.
    auto waiter = std::async(std::launch::async, [&] { thread.waitUntilIdle(); });
    const bool returned = waiter.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
    later.join();
    if (!returned) {
        thread.stop();
    }
    waiter.get();
    EXPECT_TRUE(returned) << "the wait outlived the round that handled its wake-up";
}

TEST(WakeThread, AfterStopTheWorkNeverRunsAndWaitersReturn) {
    std::atomic<int> rounds{0};
    WakeThread thread([&] { ++rounds; });
    thread.wake();
    thread.waitUntilIdle();
    ASSERT_EQ(rounds.load(), 1);

    thread.stop();
    thread.wake();
    thread.waitUntilIdle();  // returns although no round follows the wake-up
    thread.stop();           // a second stop does nothing
    EXPECT_EQ(rounds.load(), 1);
}

}  // namespace
}  // namespace vm
