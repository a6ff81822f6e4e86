// Sleep and wake from a login manager written here, on a private bus standing in for the system
// bus: the watcher holds a delay inhibitor, reports sleep and hands the inhibitor over, which ends
// once released; after the wake it holds a new one.
#include "platform/ui/SleepWatcher.h"
#include "support/FakeLogind.h"
#include "support/LogCapture.h"
#include "support/PrivateBus.h"

#include <gtest/gtest.h>

#include <QTest>

namespace vm {
namespace {

class SleepWatcherTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (const auto& name : {"logind", "watcher"}) {
            QDBusConnection::disconnectFromBus(name);
        }
    }
    test::PrivateBus systemBus_;  // a bus of its own, as the system bus is apart from the session's
};

TEST_F(SleepWatcherTest, SleepAndWakeAreReportedAndTheInhibitorIsReleased) {
    ASSERT_TRUE(systemBus_.started()) << systemBus_.failure();
    const auto address = QString::fromStdString(systemBus_.address());
    test::FakeLogind logind(QDBusConnection::connectToBus(address, "logind"));
    ASSERT_TRUE(logind.serving());

    int sleeps = 0, wakes = 0;
    SleepWatcher::SleepLock held;
    SleepWatcher watcher(
        [&](SleepWatcher::SleepLock lock) {
            ++sleeps;
            held = std::move(lock);  // the radio is still closing
        },
        [&] { ++wakes; }, QDBusConnection::connectToBus(address, "watcher"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return watcher.watching(); }, 5000));
    ASSERT_EQ(logind.inhibitions.size(), 1u);
    EXPECT_EQ(logind.inhibitions[0][0], "sleep");
    EXPECT_EQ(logind.inhibitions[0][3], "delay");
    EXPECT_FALSE(logind.ended(0, 0));

    ASSERT_TRUE(logind.prepareForSleep(true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sleeps == 1; }, 5000));
    EXPECT_TRUE(held);
    EXPECT_FALSE(logind.ended(0, 0));  // held while the radio closes
    held.reset();                      // closed: the system may sleep
    EXPECT_TRUE(logind.ended(0, 5000));
    EXPECT_EQ(wakes, 0);

    ASSERT_TRUE(logind.prepareForSleep(false));
    ASSERT_TRUE(QTest::qWaitFor([&] { return wakes == 1; }, 5000));
    EXPECT_EQ(sleeps, 1);
    // Ready for the next sleep with a new inhibitor, handed over and released in turn.
    ASSERT_TRUE(QTest::qWaitFor([&] { return logind.inhibitions.size() == 2; }, 5000));
    ASSERT_TRUE(logind.prepareForSleep(true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return sleeps == 2; }, 5000));
    EXPECT_TRUE(held);
    EXPECT_FALSE(logind.ended(1, 0));
    held.reset();
    EXPECT_TRUE(logind.ended(1, 5000));
}

TEST_F(SleepWatcherTest, WithoutLogindOrASystemBusItIsLoggedOnceAndNothingElse) {
    ASSERT_TRUE(systemBus_.started()) << systemBus_.failure();
    test::LogCapture log;
    int calls = 0;
    SleepWatcher noLogind(
        [&](SleepWatcher::SleepLock) { ++calls; }, [&] { ++calls; },
        QDBusConnection::connectToBus(QString::fromStdString(systemBus_.address()), "watcher"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !log.lines().empty(); }, 5000));
    SleepWatcher noBus([&](SleepWatcher::SleepLock) { ++calls; }, [&] { ++calls; },
                       QDBusConnection("not connected"));
    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("SleepWatcher:start: logind does not answer (", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("; sleep and wake are not reported"), std::string::npos) << lines[0];
    EXPECT_FALSE(noLogind.watching());
    EXPECT_FALSE(noBus.watching());
    EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace vm
