#include "platform/core/DispatchSemaphore.h"
#include "platform/core/DispatchSource.h"
#include "support/QueueBarrier.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <vector>

using namespace std::chrono_literals;

namespace vm {
namespace {

// Timers here use long periods and move the dispatch clock forward, so no test waits them out.
constexpr auto kPeriod = std::chrono::seconds(100);

// Gives a pipe's readiness a moment to show up (for checks that something did NOT happen): the
// reactor's notice of a file descriptor has no marker a test could wait for. Timer checks use
// advanceBarrier instead.
void settle() {
    runMainUntil([] { return false; }, 50ms);
}

struct TimerProbe {
    std::shared_ptr<DispatchSource> timer = DispatchSource::makeTimer(DispatchQueue::main());
    std::vector<unsigned long> events;
    int cancels = 0;

    TimerProbe() {
        timer->setEventHandler([this] { events.push_back(timer->data()); });
        timer->setCancelHandler([this] { ++cancels; });
    }
    ~TimerProbe() {
        // The cancel handler refers to this probe: let it run before the probe goes.
        timer->cancel();
        runMainUntil([this] { return cancels > 0; });
    }
    bool waitForEvents(std::size_t n) {
        return runMainUntil([&] { return events.size() >= n; });
    }
};

TEST(DispatchTimer, FiresAtOnceThenEveryPeriodAndStopsOnCancel) {
    TimerProbe probe;
    probe.timer->setTimer(0s, kPeriod);
    probe.timer->resume();
    ASSERT_TRUE(probe.waitForEvents(1));

    DispatchClock::advance(kPeriod);
    ASSERT_TRUE(probe.waitForEvents(2));
    DispatchClock::advance(kPeriod);
    ASSERT_TRUE(probe.waitForEvents(3));
    EXPECT_EQ(probe.events, (std::vector<unsigned long>{1, 1, 1}));

    probe.timer->cancel();
    probe.timer->cancel();
    test::advanceBarrier(DispatchQueue::main(), kPeriod * 3);
    EXPECT_EQ(probe.events.size(), 3u);
    EXPECT_EQ(probe.cancels, 1);
}

TEST(DispatchTimer, MissedPeriodsArriveAsOneEventWithTheirCount) {
    TimerProbe probe;
    probe.timer->setTimer(kPeriod, kPeriod);
    probe.timer->resume();
    DispatchClock::advance(kPeriod * 3 + kPeriod / 2);
    ASSERT_TRUE(probe.waitForEvents(1));
    test::advanceBarrier(DispatchQueue::main(), 0s);
    EXPECT_EQ(probe.events, (std::vector<unsigned long>{3}));
}

TEST(DispatchTimer, OneShotCanBeExtendedBeforeItFires) {
    TimerProbe probe;
    probe.timer->setTimer(5s, std::nullopt);
    probe.timer->resume();
    test::advanceBarrier(DispatchQueue::main(), 3s);
    probe.timer->setTimer(5s, std::nullopt);  // extend: now due 5 s from here
    test::advanceBarrier(DispatchQueue::main(), 3s);
    EXPECT_TRUE(probe.events.empty());
    DispatchClock::advance(2s + 1ms);
    ASSERT_TRUE(probe.waitForEvents(1));
    test::advanceBarrier(DispatchQueue::main(), kPeriod);
    EXPECT_EQ(probe.events.size(), 1u);
}

TEST(DispatchTimer, SuspendedTimerDeliversOnResume) {
    TimerProbe probe;
    probe.timer->setTimer(kPeriod, kPeriod);
    probe.timer->resume();
    probe.timer->suspend();
    probe.timer->suspend();  // does not nest
    test::advanceBarrier(DispatchQueue::main(), kPeriod * 2);
    EXPECT_TRUE(probe.events.empty());
    probe.timer->resume();
    ASSERT_TRUE(probe.waitForEvents(1));
    EXPECT_EQ(probe.events[0], 2u);
}

TEST(DispatchQueueAfter, RunsWhenTheClockReachesIt) {
    bool ran = false;
    DispatchQueue::main()->after(30s, [&] { ran = true; });
    test::advanceBarrier(DispatchQueue::main(), 0s);
    EXPECT_FALSE(ran);
    DispatchClock::advance(30s);
    EXPECT_TRUE(runMainUntil([&] { return ran; }));
}

class PipeReadSource : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(::pipe(fds_), 0);
        source_ = DispatchSource::makeRead(fds_[0], DispatchQueue::main());
        ASSERT_NE(source_, nullptr);
        source_->setEventHandler([this] {
            pending_.push_back(source_->data());
            if (drain_) {
                char buffer[256];
                (void)!::read(fds_[0], buffer, sizeof buffer);
            } else {
                source_->suspend();  // as a socket does when no read is queued
            }
        });
        source_->setCancelHandler([this] { ++cancels_; });
    }
    void TearDown() override {
        source_->cancel();
        runMainUntil([this] { return cancels_ > 0; });
        ::close(fds_[0]);
        ::close(fds_[1]);
    }
    void write(std::string_view bytes) {
        ASSERT_EQ(::write(fds_[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    int fds_[2] = {-1, -1};
    std::shared_ptr<DispatchSource> source_;
    std::vector<unsigned long> pending_;
    bool drain_ = false;
    int cancels_ = 0;
};

TEST_F(PipeReadSource, ReportsPendingBytesAndSuspendResumeDoNotNest) {
    source_->resume();
    write("hello");
    ASSERT_TRUE(runMainUntil([&] { return pending_.size() == 1; }));
    EXPECT_EQ(pending_[0], 5u);

    // The handler suspended the source; a second suspend must not need a second resume.
    source_->suspend();
    write("abc");
    settle();
    EXPECT_EQ(pending_.size(), 1u);

    drain_ = true;
    source_->resume();
    ASSERT_TRUE(runMainUntil([&] { return pending_.size() == 2; }));
    EXPECT_EQ(pending_[1], 8u);
    settle();
    EXPECT_EQ(pending_.size(), 2u);  // drained: no further events
}

TEST_F(PipeReadSource, CancelHandlerRunsOnceAndEndOfStreamReadsZero) {
    drain_ = true;
    source_->resume();
    ::close(fds_[1]);
    fds_[1] = -1;
    ASSERT_TRUE(runMainUntil([&] { return !pending_.empty(); }));
    EXPECT_EQ(pending_[0], 0u);
    source_->cancel();
    source_->cancel();
    EXPECT_TRUE(runMainUntil([&] { return cancels_ == 1; }));
    const auto events = pending_.size();
    settle();
    EXPECT_EQ(cancels_, 1);
    EXPECT_EQ(pending_.size(), events);
    EXPECT_TRUE(source_->isCancelled());
}

TEST(DispatchWriteSource, FiresWhenWritable) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    auto source = DispatchSource::makeWrite(fds[1], DispatchQueue::main());
    int events = 0;
    source->setEventHandler([&] {
        ++events;
        source->suspend();
    });
    source->resume();
    EXPECT_TRUE(runMainUntil([&] { return events == 1; }));
    source->cancel();
    ::close(fds[0]);
    ::close(fds[1]);
}

TEST(DispatchSourceCreation, BadDescriptorGivesNoSource) {
    EXPECT_EQ(DispatchSource::makeRead(-1, DispatchQueue::main()), nullptr);
}

TEST(DispatchSemaphore, WaitTimesOutOrTakesASignal) {
    DispatchSemaphore semaphore;
    EXPECT_FALSE(semaphore.wait(1ms));
    semaphore.signal();
    EXPECT_TRUE(semaphore.wait(1ms));
}

}  // namespace
}  // namespace vm
