// Sleep and wake from a login manager written here, on a private bus standing in for the system
// bus: the watcher holds a delay inhibitor, reports sleep and hands the inhibitor over, which ends
// once released; after the wake it holds a new one.
#include "platform/ui/SleepWatcher.h"
#include "support/LogCapture.h"
#include "support/PrivateBus.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QTest>

namespace vm {
namespace {

// Hands out delay inhibitors as the write ends of pipes; an inhibitor has ended when its read
// end sees the pipe hang up.
class FakeLogind : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    ~FakeLogind() override {
        for (int fd : readEnds) {
            ::close(fd);
        }
    }
    std::vector<QStringList> inhibitions;
    std::vector<int> readEnds;

    bool ended(std::size_t inhibitor, int waitMs) const {
        pollfd p{readEnds.at(inhibitor), POLLIN, 0};
        return ::poll(&p, 1, waitMs) == 1 && (p.revents & POLLHUP);
    }

public slots:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why,
                                    const QString& mode) {
        inhibitions.push_back({what, who, why, mode});
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            return {};
        }
        readEnds.push_back(fds[0]);
        QDBusUnixFileDescriptor writeEnd(fds[1]);  // a copy travels with the reply
        ::close(fds[1]);
        return writeEnd;
    }
};

class SleepWatcherTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (const auto& name : {"logind", "watcher"}) {
            QDBusConnection::disconnectFromBus(name);
        }
    }
    void prepareForSleep(QDBusConnection& logindBus, bool sleeping) {
        auto signal = QDBusMessage::createSignal(SleepWatcher::kPath, SleepWatcher::kInterface,
                                                 "PrepareForSleep");
        signal << sleeping;
        ASSERT_TRUE(logindBus.send(signal));
    }

    test::PrivateBus systemBus_;  // a bus of its own, as the system bus is apart from the session's
};

TEST_F(SleepWatcherTest, SleepAndWakeAreReportedAndTheInhibitorIsReleased) {
    ASSERT_TRUE(systemBus_.started()) << systemBus_.failure();
    const auto address = QString::fromStdString(systemBus_.address());
    auto logindBus = QDBusConnection::connectToBus(address, "logind");
    FakeLogind logind;
    ASSERT_TRUE(
        logindBus.registerObject(SleepWatcher::kPath, &logind, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(logindBus.registerService(SleepWatcher::kService));

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

    prepareForSleep(logindBus, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sleeps == 1; }, 5000));
    EXPECT_TRUE(held);
    EXPECT_FALSE(logind.ended(0, 0));  // held while the radio closes
    held.reset();                      // closed: the system may sleep
    EXPECT_TRUE(logind.ended(0, 5000));
    EXPECT_EQ(wakes, 0);

    prepareForSleep(logindBus, false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return wakes == 1; }, 5000));
    EXPECT_EQ(sleeps, 1);
    // Ready for the next sleep with a new inhibitor, handed over and released in turn.
    ASSERT_TRUE(QTest::qWaitFor([&] { return logind.inhibitions.size() == 2; }, 5000));
    prepareForSleep(logindBus, true);
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

#include "SleepWatcherTest.moc"
