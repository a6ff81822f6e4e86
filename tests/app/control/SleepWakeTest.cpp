// Sleep and wake against the simulated radio: sleep ends the session (the radio no longer open,
// its connection closed) and the wake opens the same radio again once it is listed.
#include "ConnectingFixture.h"

#include "support/LogCapture.h"

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
    test::mainQueueBarrier();
    EXPECT_EQ(controller->openRadio, nullptr);
    EXPECT_FALSE(controller->sleeping);
}

}  // namespace
}  // namespace vm
