// Quitting against the simulated radio: the radio is left clean (non-permanent notch filters,
// this client's slices and panadapters), the profiles saved, and the event loop ended once the
// radio confirms or, when it does not answer, after the removal wait; SIGTERM takes the same way;
// a quit before the launch finished ends at once.
#include "ConnectingFixture.h"

#include "app/shell/QuitRequests.h"
#include "platform/core/Defaults.h"
#include "radio/TNF.h"
#include "support/LogCapture.h"
#include "support/sim/SimLines.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

namespace vm {
namespace {

using namespace std::chrono_literals;
using test::runEventsUntil;

constexpr std::uint32_t kPan = 0x40000000;

class Quit : public test::ConnectingFixture {
protected:
    std::string ours() const { return "client_handle=0x" + sim->identity().handle; }

    // A bound session with one panadapter, slice 0 on it, a notch filter that goes and one
    // that stays, and a current global profile.
    void openSession() {
        launch();
        connectAsGui();
        ASSERT_TRUE(sim->sendStatus(sim::panStatus(
            kPan, "center=14.100000 bandwidth=0.200000 band=20 waterfall=0x42000000 " + ours())));
        ASSERT_TRUE(sim->sendStatus(sim::waterfallStatus(0x42000000, "line_duration=80")));
        ASSERT_TRUE(sim->sendStatus(sim::sliceStatus(
            0, "in_use=1 RF_frequency=14.074000 mode=USB pan=0x40000000 " + ours())));
        ASSERT_TRUE(sim->sendStatus("tnf 1 freq=14.05 depth=1 width=0.0001 permanent=0"));
        ASSERT_TRUE(sim->sendStatus("tnf 2 freq=14.06 depth=1 width=0.0001 permanent=1"));
        ASSERT_TRUE(runEventsUntil([&] {
            std::size_t tnfs = 0;
            controller->openRadio->tnfs()->with([&](auto& list) { tnfs = list.size(); });
            return controller->doroSlices.size() == 1 && controller->doroPanafalls.size() == 1 &&
                   tnfs == 2;
        }));
        controller->openRadio->currentGlobalProfile.set(std::string("Contest"));
    }
    // Lets the profile saves run their course (they are sent a quarter second apart).
    void saveProfilesThrough() {
        ASSERT_TRUE(runEventsUntil([&] { return sent("profile global save \"Contest\""); }));
        advance(250ms);
        advance(250ms);
    }
    // The radio reports slice 0 and the panadapter deleted, as it does after their removal.
    void radioConfirmsTheRemovals() {
        ASSERT_TRUE(sim->sendStatus(sim::sliceStatus(0, "in_use=0")));
        ASSERT_TRUE(sim->sendStatus(sim::displayRemovedStatus("pan", kPan)));
    }
};

TEST_F(Quit, LeavesTheRadioCleanThenEndsOnTheRadiosConfirmation) {
    openSession();
    test::LogCapture capture;
    controller->quit();
    EXPECT_EQ(eventLoopEnds, 0) << "the loop waits for the radio";
    // The removals go out on the radio's queue: everything sent before a marker has arrived.
    test::commandBarrier(*controller->openRadio, *sim);
    EXPECT_TRUE(sent("tnf remove 1"));
    EXPECT_FALSE(sent("tnf remove 2")) << "a permanent filter stays on the radio";
    saveProfilesThrough();
    ASSERT_TRUE(runEventsUntil(
        [&] { return sent("slice remove 0") && sent("display pan remove 0x40000000"); }));
    EXPECT_TRUE(capture.contains("applicationShouldTerminate: All Profiles saved"));
    const auto names = Defaults::standard().dictionaryForKey(serial);
    ASSERT_TRUE(names);
    EXPECT_EQ(names->at("saved_profile_name"), PlistValue("Contest"));

    radioConfirmsTheRemovals();
    ASSERT_TRUE(runEventsUntil([&] { return eventLoopEnds == 1; }));
    EXPECT_FALSE(capture.contains("timed out"));
    EXPECT_EQ(controller->openRadio, nullptr);
    EXPECT_TRUE(controller->quitting);
    EXPECT_TRUE(capture.contains("closeDoroSDR:replyToApplicationShouldTerminate"));
    EXPECT_TRUE(capture.contains("applicationWillTerminate"));
    EXPECT_TRUE(Defaults::standard().boolForKey("prefs_window_visible").has_value());

    controller->quit();  // the loop has ended already: a second request does nothing
    test::mainQueueBarrier();
    EXPECT_EQ(eventLoopEnds, 1);
}

// SIGTERM to the process takes the Quit menu's way: the radio left clean, its session closed.
TEST_F(Quit, SigtermLeavesTheRadioCleanAndClosesTheSessionAsTheQuitMenuDoes) {
    openSession();
    const QuitRequests requests(controller);
    ASSERT_TRUE(requests.signalInstalled());
    test::LogCapture capture;
    ASSERT_EQ(::kill(::getpid(), SIGTERM), 0);
    ASSERT_TRUE(runEventsUntil([&] { return capture.contains("applicationShouldTerminate:"); }));
    test::commandBarrier(*controller->openRadio, *sim);
    EXPECT_TRUE(sent("tnf remove 1"));
    saveProfilesThrough();
    ASSERT_TRUE(runEventsUntil(
        [&] { return sent("slice remove 0") && sent("display pan remove 0x40000000"); }));
    radioConfirmsTheRemovals();
    ASSERT_TRUE(runEventsUntil([&] { return eventLoopEnds == 1; }));
    EXPECT_EQ(controller->openRadio, nullptr);
    EXPECT_TRUE(capture.contains("closeDoroSDR:replyToApplicationShouldTerminate"));
    EXPECT_TRUE(runEventsUntil([&] { return !sim->sessionOpen(); })) << "the radio saw the close";
}

TEST_F(Quit, ARadioThatNeverConfirmsIsGivenUpAfterFiveSeconds) {
    openSession();
    test::LogCapture capture;
    controller->quit();
    saveProfilesThrough();
    ASSERT_TRUE(runEventsUntil([&] { return sent("slice remove 0"); }));
    ASSERT_TRUE(runEventsUntil(
        [&] { return capture.contains("removeOurResourcesFromRadio:pans 1 slices 1"); }));
    advance(2s);
    EXPECT_EQ(eventLoopEnds, 0) << "still waiting for the radio";
    advance(3500ms);
    ASSERT_TRUE(runEventsUntil([&] { return capture.contains("timed out"); }));
    advance(300ms);
    ASSERT_TRUE(runEventsUntil([&] { return eventLoopEnds == 1; }));
    EXPECT_FALSE(capture.contains("waited 20 seconds")) << "well before the safety answer";
}

TEST_F(Quit, BeforeTheLaunchFinishedEndsAtOnceAndTouchesNothing) {
    openSession();
    controller->startupComplete = false;
    controller->quit();
    EXPECT_EQ(eventLoopEnds, 1);
    test::mainQueueBarrier();
    EXPECT_FALSE(sent("tnf remove 1"));
    EXPECT_FALSE(sent("slice remove 0"));
    EXPECT_NE(controller->openRadio, nullptr);
}

}  // namespace
}  // namespace vm
