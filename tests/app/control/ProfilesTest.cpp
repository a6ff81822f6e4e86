// The profile room in the application, with a bound session of the simulated radio: the waits
// follow the session's binding, and the session's answers reach the room's saves.
#include "ConnectingFixture.h"

#include "app/memory/ProfileController.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using test::runEventsUntil;
using Profiles = test::ConnectingFixture;

TEST_F(Profiles, AWaitWithoutABoundRadioAnswersNoAtOnce) {
    test::LogCapture capture;
    launch();
    std::optional<bool> answer;
    controller->profileController->waitForProfile(ProfileController::ProfileWait::globalLoad,
                                                  [&](bool done) { answer = done; });
    test::mainQueueBarrier();
    EXPECT_EQ(answer, false);
    EXPECT_TRUE(capture.contains("waitForGlobalLoad:no radio"));
}

TEST_F(Profiles, SavingSavesEachCurrentProfileInTurnAndSkipsAnEmptyName) {
    launch();
    connectAsGui();
    const auto radio = controller->openRadio;
    radio->currentGlobalProfile.set(std::string("Contest"));
    radio->currentTxProfile.set(std::string(""));
    radio->currentMicProfile.set(std::string("Headset"));
    test::LogCapture capture;
    controller->profileController->saveProfiles();
    EXPECT_FALSE(controller->profileController->profilesAreSaved);
    advance(std::chrono::milliseconds(250));
    ASSERT_TRUE(runEventsUntil([&] { return controller->profileController->profilesAreSaved; }));
    EXPECT_TRUE(sent("profile global save \"Contest\""));
    EXPECT_TRUE(sent("profile mic save \"Headset\""));
    EXPECT_EQ(count("profile transmit save \"\""), 0u);
    EXPECT_TRUE(capture.contains("saveProfiles:cmdSaveGlobalProfile:[Contest]"));
    EXPECT_TRUE(capture.contains("saveProfiles:Save Global Profile:[Contest] done"));
    EXPECT_TRUE(capture.contains("saveProfiles:Save Mic Profile:[Headset] done"));
    EXPECT_FALSE(capture.contains("cmdSaveTxProfile"));

    // The names are kept for the next session with this radio.
    controller->profileController->saveProfileNames();
    const auto saved = Defaults::standard().dictionaryForKey(serial);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->at("saved_profile_name"), PlistValue("Contest"));
    EXPECT_EQ(saved->at("saved_tx_profile_name"), PlistValue(""));
}

}  // namespace
}  // namespace vm
