// The controller's timers as a room: the activity light's blinks from the heartbeat and from the
// radio's pings, the quick recorder's times with a connected radio, the VOX blink on the transmit
// button, the panadapter views' heartbeat a third of a second later, and the debug log's size
// notice. Dispatch time is moved by the tests, so nothing waits on the wall clock.
#include "app/shell/AppTimers.h"
#include "app/shell/AppTimersHost.h"
#include "platform/core/NotificationCenter.h"
#include "platform/ui/ImageButton.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

namespace vm {
namespace {

using namespace std::chrono_literals;

QImage bulb(Qt::GlobalColor colour) {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

struct Host : AppTimersHost {
    bool connected = false, active = false, transmitting = false, vox = false;
    int seconds = 0, minutes = 0, quickRecords = 0;
    std::vector<bool> panHeartBeats;
    std::vector<std::string> notices;

    bool radioConnected() const override { return connected; }
    bool hasActiveSlice() const override { return active; }
    bool inTransmit() const override { return transmitting; }
    bool voxEnabled() const override { return vox; }
    void refreshEachSecond() override { ++seconds; }
    void adjustQuickRecordDisplay() override { ++quickRecords; }
    void panViewsHeartBeat(bool isConnected) override { panHeartBeats.push_back(isConnected); }
    void oneMinute() override { ++minutes; }
    void postUserNotification(const std::string& title, const std::string& text) override {
        notices.push_back(title + ": " + text);
    }
};

class AppTimersTest : public ::testing::Test {
protected:
    std::shared_ptr<AppTimers> make() {
        return AppTimers::create(light, transmit, bulbs, logFile, DispatchQueue::main(), host);
    }
    QImage shown() const { return light.image(); }

    const AppTimers::Bulbs bulbs{bulb(Qt::green), bulb(Qt::gray), bulb(Qt::yellow), bulb(Qt::red)};
    const std::filesystem::path logFile =
        std::filesystem::path(std::getenv("HOME")) / "debug_log.txt";
    ImageButton light;
    ImageButton transmit;
    std::shared_ptr<Host> host = std::make_shared<Host>();
};

struct BeatCase {
    const char* name;
    bool connected, active;
    bool blinksYellow;
};

class HeartBeat : public AppTimersTest, public ::testing::WithParamInterface<BeatCase> {};

TEST_P(HeartBeat, BlinksYellowUnlessARadioFollowsAnActiveSlice) {
    const BeatCase& c = GetParam();
    host->connected = c.connected;
    host->active = c.active;
    const auto timers = make();
    timers->heartBeatTimer();
    test::mainQueueBarrier();
    EXPECT_EQ(host->seconds, 1);
    EXPECT_EQ(shown() == bulbs.yellow, c.blinksYellow);
    EXPECT_EQ(host->quickRecords, c.blinksYellow ? 0 : 1);
    EXPECT_TRUE(host->panHeartBeats.empty()) << "the views beat a third of a second later";

    test::advanceBarrier(DispatchQueue::main(), 330ms);
    // Tasks that fall due together may reach the main queue in either order.
    EXPECT_TRUE(runMainUntil([&] { return !host->panHeartBeats.empty(); }));
    EXPECT_EQ(host->panHeartBeats, std::vector<bool>{c.connected});
    if (c.blinksYellow) {
        EXPECT_TRUE(runMainUntil([&] { return shown() == bulbs.grey; }))
            << "the bulb goes grey 0.25 s after the blink";
    } else {
        EXPECT_TRUE(shown().isNull());
    }
}

INSTANTIATE_TEST_SUITE_P(Light, HeartBeat,
                         ::testing::Values(BeatCase{"NoRadio", false, false, true},
                                           BeatCase{"RadioWithoutActiveSlice", true, false, true},
                                           BeatCase{"RadioWithActiveSlice", true, true, false}),
                         [](const ::testing::TestParamInfo<BeatCase>& param) {
                             return std::string(param.param.name);
                         });

TEST_F(AppTimersTest, StartedTheLightFollowsThePingsGreenOrRedWhileTransmitting) {
    host->connected = host->active = true;
    const auto timers = make();
    timers->start();
    ASSERT_TRUE(runMainUntil([&] { return host->seconds == 1; }))
        << "the heartbeat's first tick comes at once";
    EXPECT_EQ(host->minutes, 0);

    NotificationCenter::defaultCenter().post("com.velmorasoftware.doro.remote_radio_vita_pinged");
    EXPECT_TRUE(runMainUntil([&] { return shown() == bulbs.green; }));
    host->transmitting = true;
    NotificationCenter::defaultCenter().post("com.velmorasoftware.doro.remote_radio_vita_pinged");
    EXPECT_TRUE(runMainUntil([&] { return shown() == bulbs.red; }));

    test::advanceBarrier(DispatchQueue::main(), 6s);
    EXPECT_TRUE(runMainUntil([&] { return host->minutes == 1; }))
        << "the minute's first tick comes 6 s after launch";
}

TEST_F(AppTimersTest, WithVoxOnTheTransmitButtonReadsVoxOneSecondInTwo) {
    transmit.setText(QStringLiteral("MOX"));
    const auto timers = make();
    const auto beat = [&] {
        timers->heartBeatTimer();
        return transmit.text();
    };
    EXPECT_EQ(beat(), "MOX") << "VOX off";
    test::advanceBarrier(DispatchQueue::main(), 1s);
    host->vox = true;
    EXPECT_EQ(beat(), "MOX") << "a second after the last look";
    test::advanceBarrier(DispatchQueue::main(), 1s);
    EXPECT_EQ(beat(), "VOX") << "two seconds after it";
    test::advanceBarrier(DispatchQueue::main(), 500ms);
    EXPECT_EQ(transmit.text(), "VOX");
    test::advanceBarrier(DispatchQueue::main(), 500ms);
    EXPECT_TRUE(runMainUntil([&] { return transmit.text() == "MOX"; })) << "after one second";
    EXPECT_EQ(beat(), "MOX");
    test::advanceBarrier(DispatchQueue::main(), 1s);
    EXPECT_EQ(beat(), "VOX");
}

TEST_F(AppTimersTest, TheLightIsLeftAloneOnceTheRoomIsGone) {
    auto timers = make();
    timers->start();
    timers.reset();
    NotificationCenter::defaultCenter().post("com.velmorasoftware.doro.remote_radio_vita_pinged");
    test::mainQueueBarrier();
    test::advanceBarrier(DispatchQueue::main(), 2s);
    EXPECT_TRUE(shown().isNull());
    EXPECT_EQ(host->seconds, 0);
}

TEST(DebugLogSizeNotice, TellsOnlyAboveTenMillionBytes) {
    EXPECT_FALSE(AppTimers::debugLogSizeNotice(10'000'000));
    const std::optional<AppTimers::Notice> notice = AppTimers::debugLogSizeNotice(12'345'678);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->logLine, "checkDebugLogSize:debug log file 12345 kb");
    EXPECT_EQ(notice->title, "Debug Log");
    EXPECT_EQ(notice->text, "The Debug Log has grown larger than 12.35 MB");
}

TEST_F(AppTimersTest, ALogOverTheLimitIsLoggedAndTheUserTold) {
    test::LogCapture log;
    std::ofstream(logFile).put('x');
    const auto timers = make();
    std::filesystem::resize_file(logFile, 10'000'000);
    timers->checkDebugLogSize();
    test::mainQueueBarrier();
    EXPECT_TRUE(host->notices.empty());

    std::filesystem::resize_file(logFile, 10'000'001);
    timers->checkDebugLogSize();
    test::mainQueueBarrier();
    EXPECT_EQ(host->notices,
              std::vector<std::string>{"Debug Log: The Debug Log has grown larger than 10.00 MB"});
    EXPECT_TRUE(log.contains("checkDebugLogSize:debug log file 10000 kb"));
}

}  // namespace
}  // namespace vm
