// The controller's side of the radio's profiles, with a bound session of the simulated radio:
// the waits, saving the three current profiles, creating one, and the profile menus.
#include "ConnectingFixture.h"

#include "app/windows/MainMenus.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/ProfilesPrefsPage.h"
#include "platform/ui/Menu.h"
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
    controller->waitForProfile(AppDelegate::ProfileWait::globalLoad,
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
    controller->saveProfiles();
    EXPECT_FALSE(controller->profilesAreSaved);
    advance(std::chrono::milliseconds(250));
    ASSERT_TRUE(runEventsUntil([&] { return controller->profilesAreSaved; }));
    EXPECT_TRUE(sent("profile global save \"Contest\""));
    EXPECT_TRUE(sent("profile mic save \"Headset\""));
    EXPECT_EQ(count("profile transmit save \"\""), 0u);
    EXPECT_TRUE(capture.contains("saveProfiles:cmdSaveGlobalProfile:[Contest]"));
    EXPECT_TRUE(capture.contains("saveProfiles:Save Global Profile:[Contest] done"));
    EXPECT_TRUE(capture.contains("saveProfiles:Save Mic Profile:[Headset] done"));
    EXPECT_FALSE(capture.contains("cmdSaveTxProfile"));

    // The names are kept for the next session with this radio.
    controller->saveProfileNames();
    const auto saved = Defaults::standard().dictionaryForKey(serial);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->at("saved_profile_name"), PlistValue("Contest"));
    EXPECT_EQ(saved->at("saved_tx_profile_name"), PlistValue(""));
}

TEST_F(Profiles, CreatingRefusesANameTheRadioListsEvenAsModified) {
    launch();
    EXPECT_FALSE(controller->createTx("Contest")) << "no radio to keep it";
    connectAsGui();
    controller->openRadio->txProfiles.set(TextList{"Default", "*Low power"});
    EXPECT_FALSE(controller->createTx("Low power"));
    EXPECT_FALSE(controller->savingTransmitProfile);
    EXPECT_TRUE(controller->createTx("Contest"));
    EXPECT_TRUE(controller->savingTransmitProfile);
    ASSERT_TRUE(runEventsUntil([&] { return !controller->savingTransmitProfile; }));
    EXPECT_TRUE(sent("profile transmit save \"Contest\""));
    EXPECT_EQ(count("profile transmit save \"Low power\""), 0u);
}

TEST_F(Profiles, MenusLeaveModifiedProfilesOutAndSelectAndMarkByTitle) {
    launch();
    connectAsGui();
    controller->openRadio->globalProfiles.set(TextList{"Default", "*Contest", "Net"});
    PopUpButton& popup = prefsControl<PopUpButton>("globalProfilesPopup");
    popup.clear();
    popup.addItems({"Default", "Contest", "Net"});
    popup.selectItemWithTitle("Net");
    std::vector<std::string> switched;
    QObject::connect(&controller->prefsWindow->profilesPage(),
                     &ProfilesPrefsPage::globalProfilesPopupChanged,
                     [&](const std::string& title) { switched.push_back(title); });

    controller->loadProfileMenus(AppDelegate::ProfileKind::global);
    for (MenuItem* holder : {controller->menus->globalProfilesShortcutsMenu,
                             controller->menus->globalProfilesContextualMenu}) {
        Menu* submenu = holder->submenu();
        ASSERT_NE(submenu, nullptr);
        ASSERT_EQ(submenu->numberOfItems(), 2) << "the modified profile is left out";
        EXPECT_EQ(submenu->itemAtIndex(0)->title(), "Default");
        EXPECT_EQ(submenu->itemAtIndex(1)->title(), "Net");
        EXPECT_FALSE(submenu->itemAtIndex(0)->state());
        EXPECT_TRUE(submenu->itemAtIndex(1)->state()) << "the selected profile, by title";
    }

    // "Net" is item 1 of the menu and item 2 of the pop-up.
    controller->menus->globalProfilesShortcutsMenu->submenu()->itemAtIndex(1)->performAction();
    EXPECT_EQ(popup.indexOfSelectedItem(), 2);
    controller->menus->globalProfilesContextualMenu->submenu()->itemAtIndex(0)->performAction();
    EXPECT_EQ(popup.title(), "Default");
    EXPECT_EQ(switched, (std::vector<std::string>{"Net", "Default"}));

    controller->setProfileSubmenuSelections(AppDelegate::ProfileKind::global);
    EXPECT_TRUE(controller->menus->globalProfilesShortcutsMenu->submenu()->itemAtIndex(0)->state());
    EXPECT_FALSE(
        controller->menus->globalProfilesShortcutsMenu->submenu()->itemAtIndex(1)->state());
}

}  // namespace
}  // namespace vm
