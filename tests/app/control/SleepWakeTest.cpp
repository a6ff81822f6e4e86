// Sleep and wake against the simulated radio: sleep ends the session (the radio no longer open,
// its connection closed) and the wake opens the same radio again once it is listed. With a login
// manager of the test's own, the system's sleep waits until the radio's connection has closed.
#include "ConnectingFixture.h"

#include "support/FakeLogind.h"
#include "support/LogCapture.h"
#include "support/PrivateBus.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using namespace std::chrono_literals;
using test::runEventsUntil;

using SleepWake = test::ConnectingFixture;

TEST_F(SleepWake, SleepClosesTheSessionAndWakeReopensTheSameRadio) {
    launch();
    connectAsGui();
    test::LogCapture capture;
    controller->receiveSleepNote();
    EXPECT_TRUE(controller->was_connected);
    EXPECT_EQ(controller->openRadio, nullptr);
    EXPECT_TRUE(capture.contains("receiveSleepNote: Closing DoroSDR"));
    ASSERT_TRUE(runEventsUntil([&] { return !sim->sessionOpen(); })) << "the radio saw the close";

    controller->receiveWakeNote();
    advance(500ms);
    EXPECT_EQ(controller->openRadio, nullptr) << "nothing opens before the wake settles";
    advance(600ms);
    ASSERT_TRUE(runEventsUntil([&] { return controller->radioStartupComplete; }));
    EXPECT_TRUE(sim->waitForSessions(2));
    EXPECT_FALSE(controller->sleeping);
    EXPECT_TRUE(capture.contains("receiveWakeNote: reopen [" + sim->identity().nickname + "]"));
}

TEST_F(SleepWake, SleepWithoutARadioOpensNothingAtWake) {
    launch();
    ASSERT_TRUE(announce());
    ASSERT_TRUE(runEventsUntil(
        [&] { return !controller->radioFactory->availableRadioInstances().empty(); }));
    controller->receiveSleepNote();
    EXPECT_FALSE(controller->was_connected);
    controller->receiveWakeNote();
    advance(1100ms);
    // The wake's task may reach the main queue after a barrier queued in the same step.
    EXPECT_TRUE(runEventsUntil([&] { return !controller->sleeping; }));
    test::mainQueueBarrier();
    EXPECT_EQ(controller->openRadio, nullptr);
}

TEST_F(SleepWake, TheSystemSleepsOnceTheConnectionHasClosedAndWakesToTheSameRadio) {
    test::PrivateBus systemBus;
    ASSERT_TRUE(systemBus.started()) << systemBus.failure();
    const auto address = QString::fromStdString(systemBus.address());
    {
        test::FakeLogind logind(QDBusConnection::connectToBus(address, "logind"));
        ASSERT_TRUE(logind.serving());
        loginManagerBus = systemBus.address();
        launch();
        ASSERT_TRUE(runEventsUntil([&] { return controller->watchingSleep(); }));
        connectAsGui();
        test::LogCapture capture;

        ASSERT_TRUE(logind.prepareForSleep(true));
        ASSERT_TRUE(runEventsUntil([&] { return controller->sleeping; }));
        EXPECT_EQ(controller->openRadio, nullptr);
        EXPECT_TRUE(capture.contains("receiveSleepNote: Closing DoroSDR"));
        ASSERT_TRUE(logind.ended(0, 5000)) << "the inhibitor goes once the connection has closed";
        EXPECT_TRUE(capture.contains("Radio close"));
        ASSERT_TRUE(runEventsUntil([&] { return !sim->sessionOpen(); }))
            << "the radio saw the close";

        ASSERT_TRUE(logind.prepareForSleep(false));
        ASSERT_TRUE(runEventsUntil(
            [&] { return capture.contains("receiveWakeNote: PrepareForSleep, connected:YES"); }));
        advance(std::chrono::milliseconds(1100));
        ASSERT_TRUE(runEventsUntil([&] { return controller->radioStartupComplete; }));
        EXPECT_TRUE(sim->waitForSessions(2));
        EXPECT_FALSE(controller->sleeping);
        ASSERT_TRUE(runEventsUntil([&] { return logind.inhibitions.size() == 2; }))
            << "a new inhibitor for the next sleep";
        EXPECT_FALSE(logind.ended(1, 0));
        controller->radioClosed();
        controller.reset();
    }
    QDBusConnection::disconnectFromBus("logind");
    QDBusConnection::disconnectFromBus("login-manager");
}

}  // namespace
}  // namespace vm
