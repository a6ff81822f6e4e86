// The profile room without the application, offscreen, in a session with the simulated radio: the
// radio's answers end the waits (a refusal as a failure, another session's answer not at all),
// creating a profile, and the profile menus.
#include "app/memory/ProfileController.h"
#include "app/memory/ProfileHost.h"
#include "app/windows/MainMenus.h"
#include "app/windows/ProfilesPrefsPage.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/PopUpButton.h"
#include "support/LogCapture.h"

#include "radio/SimSessionFixture.h"

#include <gtest/gtest.h>

#include <QMenuBar>

#include <any>
#include <optional>
#include <string>
#include <vector>

namespace vm {
namespace {

using test::waitFor;

class FakeProfileHost : public ProfileHost {
public:
    std::shared_ptr<Radio> currentRadio() const override { return radio; }
    bool radioConnectedAsGui() const override { return boundAsGui; }
    bool launchComplete() const override { return true; }
    bool debugEnabled() const override { return false; }

    std::shared_ptr<Radio> radio;
    bool boundAsGui = true;
};

class ProfileControllerTest : public test::SimSessionFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(SimSessionFixture::SetUp());
        host->radio = radio;
        // The session's answers to saves, as the application registers them.
        saved_ = NotificationCenter::defaultCenter().addObserver(
            "RadioTransmitProfileSaved", [this](const Notification& notification) {
                room->transmitProfileDidFinishSaving(notification);
            });
    }
    void TearDown() override {
        NotificationCenter::defaultCenter().removeObserver(saved_);
        SimSessionFixture::TearDown();
    }

    // The page's pop-up of the kind, filled as the radio controls fill it.
    PopUpButton& globalPopup() { return *page.findChild<PopUpButton*>("globalProfilesPopup"); }

    std::shared_ptr<FakeProfileHost> host = std::make_shared<FakeProfileHost>();
    QMenuBar bar;
    MainMenus menus{&bar};
    ProfilesPrefsPage page;
    std::shared_ptr<ProfileController> room = ProfileController::create(menus, page, host);

private:
    NotificationCenter::Token saved_ = 0;
};

TEST_F(ProfileControllerTest, AWaitWithoutARadioBoundAsGuiAnswersNoAtOnce) {
    test::LogCapture capture;
    host->boundAsGui = false;
    std::optional<bool> answer;
    room->waitForProfile(ProfileController::ProfileWait::micSave,
                         [&](bool done) { answer = done; });
    test::mainQueueBarrier();
    EXPECT_EQ(answer, false);
    EXPECT_TRUE(capture.contains("waitForMicSave:no radio"));
}

// The answer ends the wait with what the radio did: a non-zero result is a refusal, and an
// answer from any other session is not ours.
TEST_F(ProfileControllerTest, TheRadiosAnswerEndsTheWaitWithItsResult) {
    struct Case {
        const char* name;
        bool fromThisSession;
        int result;
        std::optional<bool> answer;
    };
    const Case cases[] = {
        {"done", true, 0, true},
        {"refused", true, 0x50001000, false},
        {"another session", false, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        room->beginProfileSave(ProfileKind::global);
        std::optional<bool> answer;
        room->waitForProfileSave(ProfileKind::global, [&](bool done) { answer = done; });
        const std::shared_ptr<void> from =
            c.fromThisSession ? std::shared_ptr<void>(radio) : std::make_shared<int>(0);
        room->globalProfileDidFinishSaving(
            Notification{"RadioGlobalProfileSaved", from, {{"result", std::any(c.result)}}});
        if (c.answer) {
            ASSERT_TRUE(waitFor([&] { return answer.has_value(); }));
            EXPECT_EQ(answer, c.answer);
            EXPECT_FALSE(room->savingGlobalProfile);
        } else {
            test::mainQueueBarrier();
            EXPECT_FALSE(answer.has_value());
            EXPECT_TRUE(room->savingGlobalProfile) << "the save is still outstanding";
            room->savingGlobalProfile = false;  // let the wait end before the next case
            ASSERT_TRUE(waitFor([&] { return answer.has_value(); }));
        }
    }
}

TEST_F(ProfileControllerTest, CreatingRefusesANameTheRadioListsEvenAsModified) {
    host->radio = nullptr;
    EXPECT_FALSE(room->createTx("Contest")) << "no radio to keep it";
    host->radio = radio;
    radio->txProfiles.set(TextList{"Default", "*Low power"});
    EXPECT_FALSE(room->createTx("Low power"));
    EXPECT_FALSE(room->savingTransmitProfile);
    EXPECT_TRUE(room->createTx("Contest"));
    EXPECT_TRUE(room->savingTransmitProfile);
    ASSERT_TRUE(waitFor([&] { return !room->savingTransmitProfile; }));
    const auto texts = received();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "profile transmit save \"Contest\""), 1);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "profile transmit save \"Low power\""), 0);
}

TEST_F(ProfileControllerTest, MenusLeaveModifiedProfilesOutAndSelectAndMarkByTitle) {
    radio->globalProfiles.set(TextList{"Default", "*Contest", "Net"});
    PopUpButton& popup = globalPopup();
    popup.clear();
    popup.addItems({"Default", "Contest", "Net"});
    popup.selectItemWithTitle("Net");
    std::vector<std::string> switched;
    QObject::connect(&page, &ProfilesPrefsPage::globalProfilesPopupChanged,
                     [&](const std::string& title) { switched.push_back(title); });

    room->loadProfileMenus(ProfileKind::global);
    for (MenuItem* holder :
         {menus.globalProfilesShortcutsMenu, menus.globalProfilesContextualMenu}) {
        Menu* submenu = holder->submenu();
        ASSERT_NE(submenu, nullptr);
        ASSERT_EQ(submenu->numberOfItems(), 2) << "the modified profile is left out";
        EXPECT_EQ(submenu->itemAtIndex(0)->title(), "Default");
        EXPECT_EQ(submenu->itemAtIndex(1)->title(), "Net");
        EXPECT_FALSE(submenu->itemAtIndex(0)->state());
        EXPECT_TRUE(submenu->itemAtIndex(1)->state()) << "the selected profile, by title";
    }

    // "Net" is item 1 of the menu and item 2 of the pop-up.
    menus.globalProfilesShortcutsMenu->submenu()->itemAtIndex(1)->performAction();
    EXPECT_EQ(popup.indexOfSelectedItem(), 2);
    menus.globalProfilesContextualMenu->submenu()->itemAtIndex(0)->performAction();
    EXPECT_EQ(popup.title(), "Default");
    EXPECT_EQ(switched, (std::vector<std::string>{"Net", "Default"}));

    room->setProfileSubmenuSelections(ProfileKind::global);
    EXPECT_TRUE(menus.globalProfilesShortcutsMenu->submenu()->itemAtIndex(0)->state());
    EXPECT_FALSE(menus.globalProfilesShortcutsMenu->submenu()->itemAtIndex(1)->state());
}

}  // namespace
}  // namespace vm
