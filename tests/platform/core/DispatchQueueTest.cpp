#include "platform/core/DispatchQueue.h"
#include "platform/core/DispatchSemaphore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace vm {
namespace {

TEST(DispatchQueue, SerialOrderUnderLoadFromManyThreads) {
    auto queue = DispatchQueue::serial("com.velmorasoftware.vmsdr.test-order");
    constexpr int kThreads = 8;
    constexpr int kTasks = 5000;
    std::vector<int> lastSeen(kThreads, -1);  // only touched on the queue
    std::atomic<int> inside{0};
    std::atomic<int> overlaps{0};
    std::atomic<int> outOfOrder{0};
    std::atomic<int> done{0};

    std::vector<std::thread> producers;
    for (int t = 0; t < kThreads; ++t) {
        producers.emplace_back([&, t] {
            for (int i = 0; i < kTasks; ++i) {
                queue->async([&, t, i] {
                    if (inside.fetch_add(1) != 0) {
                        ++overlaps;
                    }
                    if (lastSeen[t] != i - 1) {
                        ++outOfOrder;
                    }
                    lastSeen[t] = i;
                    inside.fetch_sub(1);
                    ++done;
                });
            }
        });
    }
    for (auto& p : producers) {
        p.join();
    }
    DispatchSemaphore finished;
    queue->async([&] { finished.signal(); });
    ASSERT_TRUE(finished.wait(30s));
    EXPECT_EQ(done.load(), kThreads * kTasks);
    EXPECT_EQ(overlaps.load(), 0);
    EXPECT_EQ(outOfOrder.load(), 0);
}

TEST(DispatchQueue, SyncWaitsForEarlierTasksAndRunsOnTheCaller) {
    auto queue = DispatchQueue::serial("com.velmorasoftware.vmsdr.test-sync");
    std::atomic<bool> earlierRan{false};
    queue->async([&] {
        std::this_thread::sleep_for(20ms);
        earlierRan = true;
    });
    std::thread::id ranOn;
    bool current = false;
    queue->sync([&] {
        ranOn = std::this_thread::get_id();
        current = queue->isCurrent();
    });
    EXPECT_TRUE(earlierRan);
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_TRUE(current);
    EXPECT_FALSE(queue->isCurrent());
    EXPECT_EQ(queue->syncResult([] { return 42; }), 42);
}

TEST(DispatchQueue, AsyncOrRunIdleRunsAtOnceOnlyOnAFreeQueue) {
    auto target = DispatchQueue::serial("com.velmorasoftware.vmsdr.test-idle-target");
    auto child = DispatchQueue::serial("com.velmorasoftware.vmsdr.test-idle-child", target);

    // Free: the task runs before the call returns, on the caller, holding the queue.
    std::thread::id ranOn;
    bool current = false;
    child->asyncOrRunIdle([&] {
        ranOn = std::this_thread::get_id();
        current = child->isCurrent() && target->isCurrent();
    });
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_TRUE(current);
    EXPECT_FALSE(child->isCurrent());

    // Held (here through the queue it targets): queued behind the holder, and the caller does
    // not wait for it.
    DispatchSemaphore holding;
    DispatchSemaphore release;
    std::vector<int> order;  // only touched on the queues
    target->async([&] {
        holding.signal();
        ASSERT_TRUE(release.wait(5s));
        order.push_back(1);
    });
    ASSERT_TRUE(holding.wait(5s));
    std::thread::id queuedRanOn = std::this_thread::get_id();
    child->asyncOrRunIdle([&] {
        queuedRanOn = std::this_thread::get_id();
        order.push_back(2);
    });
    target->async([&] { order.push_back(3); });
    release.signal();
    child->sync([] {});
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_NE(queuedRanOn, std::this_thread::get_id());
}

TEST(DispatchQueue, SyncOnItsOwnQueueRunsInline) {
    auto queue = DispatchQueue::serial("com.velmorasoftware.vmsdr.test-inline");
    DispatchSemaphore done;
    std::vector<int> order;
    queue->async([&] {
        order.push_back(1);
        queue->sync([&] { order.push_back(2); });
        order.push_back(3);
        done.signal();
    });
    ASSERT_TRUE(done.wait(5s));
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(DispatchQueue, SyncBackToTheCallingQueueDoesNotDeadlock) {
    auto a = DispatchQueue::serial("com.velmorasoftware.vmsdr.test-a");
    auto b = DispatchQueue::serial("com.velmorasoftware.vmsdr.test-b");
    DispatchSemaphore done;
    a->async([&] { b->sync([&] { a->sync([&] { done.signal(); }); }); });
    EXPECT_TRUE(done.wait(5s));
}

TEST(DispatchQueue, QueueWithATargetRunsOnItAndIsCurrentOnlyInItsOwnTasks) {
    auto target = DispatchQueue::serial("com.velmorasoftware.vmsdr.test-target");
    auto socket = DispatchQueue::serial("com.velmorasoftware.vmsdr.test-socket", target);
    static const int kKey = 0;
    int marker = 7;
    target->setSpecific(&kKey, &marker);

    DispatchSemaphore done;
    bool inlineOnTarget = false;
    bool socketCurrentInTargetTask = true;
    bool targetCurrentInSocketTask = false;
    void* specificInSocketTask = nullptr;
    target->async([&] {
        socketCurrentInTargetTask = socket->isCurrent();
        // The target is held here, so nothing of the socket queue can be running: sync is inline.
        socket->sync([&] { inlineOnTarget = socket->isCurrent(); });
    });
    socket->async([&] {
        targetCurrentInSocketTask = target->isCurrent();
        specificInSocketTask = DispatchQueue::getSpecific(&kKey);
        done.signal();
    });
    ASSERT_TRUE(done.wait(5s));
    EXPECT_TRUE(inlineOnTarget);
    EXPECT_FALSE(socketCurrentInTargetTask);
    EXPECT_TRUE(targetCurrentInSocketTask);
    EXPECT_EQ(specificInSocketTask, &marker);
    EXPECT_EQ(DispatchQueue::getSpecific(&kKey), nullptr);
}

TEST(DispatchQueue, TasksOfAQueueAndItsTargetNeverOverlap) {
    auto target = DispatchQueue::serial("com.velmorasoftware.vmsdr.test-target2");
    auto child = DispatchQueue::serial("com.velmorasoftware.vmsdr.test-child", target);
    std::atomic<int> inside{0};
    std::atomic<int> overlaps{0};
    auto work = [&] {
        if (inside.fetch_add(1) != 0) {
            ++overlaps;
        }
        std::this_thread::yield();
        inside.fetch_sub(1);
    };
    for (int i = 0; i < 2000; ++i) {
        target->async(work);
        child->async(work);
    }
    child->sync([] {});
    target->sync([] {});
    EXPECT_EQ(overlaps.load(), 0);
}

TEST(DispatchQueue, MainQueueTaskFromAWorkerRunsOnTheMainThreadInOrder) {
    ASSERT_TRUE(isMainThread());
    std::vector<int> order;
    std::atomic<bool> allOnMain{true};
    std::thread worker([&] {
        EXPECT_FALSE(isMainThread());
        for (int i = 0; i < 100; ++i) {
            DispatchQueue::main()->async([&, i] {
                allOnMain = allOnMain && isMainThread() && DispatchQueue::main()->isCurrent();
                order.push_back(i);
            });
        }
    });
    worker.join();
    EXPECT_TRUE(runMainUntil([&] { return order.size() == 100; }));
    EXPECT_TRUE(allOnMain);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(order[i], i);
    }
}

TEST(DispatchQueue, SyncOntoTheMainQueueRunsThereAndInlineFromMain) {
    std::atomic<bool> ranOnMain{false};
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        DispatchQueue::main()->sync([&] { ranOnMain = isMainThread(); });
        returned = true;
    });
    EXPECT_TRUE(runMainUntil([&] { return returned.load(); }));
    worker.join();
    EXPECT_TRUE(ranOnMain);

    bool inlineRan = false;
    DispatchQueue::main()->sync([&] { inlineRan = true; });
    EXPECT_TRUE(inlineRan);
}

TEST(DispatchQueue, MainWakeupIsCalledWhenWorkArrives) {
    std::atomic<int> wakes{0};
    DispatchQueue::setMainWakeup([&] { ++wakes; });
    DispatchQueue::main()->async([] {});
    DispatchQueue::main()->async([] {});  // the drainer has not run yet: no second wake
    EXPECT_EQ(wakes.load(), 1);
    EXPECT_EQ(DispatchQueue::drainMain(), 2u);
    DispatchQueue::main()->async([] {});
    EXPECT_EQ(wakes.load(), 2);
    DispatchQueue::drainMain();
    DispatchQueue::setMainWakeup(nullptr);
}

TEST(DispatchQueue, GlobalQueueRunsWorkConcurrently) {
    auto global = DispatchQueue::global();
    std::atomic<int> waiting{0};
    DispatchSemaphore both;
    for (int i = 0; i < 2; ++i) {
        global->async([&] {
            // Each waits for the other: only concurrent execution lets both finish.
            ++waiting;
            while (waiting.load() < 2) {
                std::this_thread::yield();
            }
            both.signal();
        });
    }
    EXPECT_TRUE(both.wait(5s));
    EXPECT_TRUE(both.wait(5s));
    EXPECT_FALSE(both.wait(1ms));
}

}  // namespace
}  // namespace vm
