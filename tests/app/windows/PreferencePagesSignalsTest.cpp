// The operator's changes leave the pages as signals carrying the control's new state; changes made
// from code (restore, defaults) send nothing.
#include "PrefsTestSupport.h"

#include "app/windows/AudioPrefsPage.h"
#include "app/windows/KnobPrefsPage.h"
#include "app/windows/PanadapterPrefsPage.h"
#include "app/windows/ProfilesPrefsPage.h"
#include "app/windows/RadioPrefsPage.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vm {
namespace {

using test::control;

std::string said(bool on) { return on ? "on" : "off"; }
std::string said(const std::string& text) { return text; }
std::string said(int number) { return std::to_string(number); }

// Records each signal it is given as "name" or "name value value...".
class Heard {
public:
    template <class Page, class... Args>
    void listen(Page& page, void (Page::*signal)(Args...), const char* name) {
        QObject::connect(&page, signal, [this, name](Args... values) {
            std::string line = name;
            ((line += " " + said(values)), ...);
            lines.push_back(line);
        });
    }
    std::vector<std::string> lines;
};

// What a person does to a control: a click, or the next item of a pop-up from the keyboard.
void operate(QWidget& page, const char* name) {
    QWidget& widget = control<QWidget>(page, name);
    if (auto* popup = qobject_cast<PopUpButton*>(&widget)) {
        QTest::keyClick(popup, Qt::Key_Down);
    } else if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
        button->click();
    }
}

struct Change {
    const char* control;
    const char* heard;
};

TEST(PreferencePageSignals, TheRadioPageTellsEachCheckBoxAndButton) {
    test::forgetPreferences();
    RadioPrefsPage page;
    page.restore();
    Heard heard;
    heard.listen(page, &RadioPrefsPage::debugChanged, "debugChanged");
    heard.listen(page, &RadioPrefsPage::checkForUpdatesChanged, "checkForUpdatesChanged");
    heard.listen(page, &RadioPrefsPage::autoConnectChanged, "autoConnectChanged");
    heard.listen(page, &RadioPrefsPage::tuneTrvlCheckBoxChanged, "tuneTrvlCheckBoxChanged");
    heard.listen(page, &RadioPrefsPage::darkWindowsChanged, "darkWindowsChanged");
    heard.listen(page, &RadioPrefsPage::muteAlternateVFOCheckBoxChanged,
                 "muteAlternateVFOCheckBoxChanged");
    heard.listen(page, &RadioPrefsPage::hideHudInBackgroundChanged, "hideHudInBackgroundChanged");
    heard.listen(page, &RadioPrefsPage::authUseDoroLinkButtonPressed,
                 "authUseDoroLinkButtonPressed");
    heard.listen(page, &RadioPrefsPage::authLoginButton_Pressed, "authLoginButton_Pressed");
    heard.listen(page, &RadioPrefsPage::authNetButton_Pressed, "authNetButton_Pressed");
    page.defaults();
    EXPECT_TRUE(heard.lines.empty()) << "changes from code say nothing";

    control<QPushButton>(page, "auth_login_button").setEnabled(true);
    const Change changes[] = {
        {"debug_enabled", "debugChanged on"},
        {"check_for_updates", "checkForUpdatesChanged off"},
        {"auto_connect", "autoConnectChanged off"},
        {"tuneTrvlCheckBox", "tuneTrvlCheckBoxChanged off"},
        {"darkWindowsCheckBox", "darkWindowsChanged on"},
        {"muteAlternateVFOCheckBox", "muteAlternateVFOCheckBoxChanged on"},
        {"hideHudInBackgroundCheckBox", "hideHudInBackgroundChanged on"},
        {"authUseDoroLinkButton", "authUseDoroLinkButtonPressed on"},
        {"auth_login_button", "authLoginButton_Pressed"},
        {"auth_net_button", "authNetButton_Pressed"},
    };
    for (const Change& change : changes) {
        heard.lines.clear();
        operate(page, change.control);
        EXPECT_EQ(heard.lines, std::vector<std::string>{change.heard}) << change.control;
    }
    EXPECT_TRUE(page.debugEnabled());
    EXPECT_FALSE(page.autoConnect());
    EXPECT_TRUE(page.darkWindows());
    EXPECT_TRUE(page.muteAlternateVFO());
    EXPECT_TRUE(page.hideHudInBackground());
}

TEST(PreferencePageSignals, ThePanadapterPageTellsTheLoggersSpotsSwitch) {
    test::forgetPreferences();
    PanadapterPrefsPage page;
    page.restore();
    Heard heard;
    heard.listen(page, &PanadapterPrefsPage::trvlSpotsButtonPressed, "trvlSpotsButtonPressed");
    page.defaults();
    operate(page, "trvlSpotsButton");
    operate(page, "zenithorNFMButton");
    operate(page, "trvlSpotsButton");
    EXPECT_EQ(heard.lines, (std::vector<std::string>{"trvlSpotsButtonPressed on",
                                                     "trvlSpotsButtonPressed off"}));
    EXPECT_TRUE(page.zenithorNarrowFm());
}

TEST(PreferencePageSignals, TheAudioPageTellsDevicesRemoteAudioAndRecordings) {
    test::forgetPreferences();
    AudioPrefsPage page;
    page.setAudioDevices(AudioPrefsPage::Side::input, {{"System", ""}, {"USB Mic", "ALSA:mic"}});
    page.setAudioDevices(AudioPrefsPage::Side::output, {{"System", ""}, {"HDMI", "ALSA:hdmi"}});
    control<PopUpButton>(page, "recorded_filesPopUp").addItem(QStringLiteral("net.m4a"));
    Heard heard;
    heard.listen(page, &AudioPrefsPage::audioInputDevicesPopupChanged,
                 "audioInputDevicesPopupChanged");
    heard.listen(page, &AudioPrefsPage::audioOutputDevicesPopupChanged,
                 "audioOutputDevicesPopupChanged");
    heard.listen(page, &AudioPrefsPage::remoteAudioCheckBoxChanged, "remoteAudioCheckBoxChanged");
    heard.listen(page, &AudioPrefsPage::recordSoundFile, "recordSoundFile");
    heard.listen(page, &AudioPrefsPage::transmitSoundFile, "transmitSoundFile");
    for (const char* name :
         {"audioInputDevicesPopup", "audioOutputDevicesPopup", "remoteAudioCheckBox",
          "recordStopButton", "recordStopButton", "fileTransmitButton"}) {
        operate(page, name);
    }
    EXPECT_EQ(heard.lines,
              (std::vector<std::string>{"audioInputDevicesPopupChanged USB Mic",
                                        "audioOutputDevicesPopupChanged HDMI",
                                        "remoteAudioCheckBoxChanged on", "recordSoundFile on",
                                        "recordSoundFile off", "transmitSoundFile net.m4a"}));
}

TEST(PreferencePageSignals, TheKnobPageTellsItsSwitchPortTaskAndButtons) {
    test::forgetPreferences();
    KnobPrefsPage page;
    control<PopUpButton>(page, "serialPortPopup").addItems({"/dev/ttyUSB0", "/dev/ttyUSB1"});
    Heard heard;
    heard.listen(page, &KnobPrefsPage::doroControlCheckBoxChanged, "doroControlCheckBoxChanged");
    heard.listen(page, &KnobPrefsPage::doroPortPopupChanged, "doroPortPopupChanged");
    heard.listen(page, &KnobPrefsPage::doroControlTaskPopupChanged, "doroControlTaskPopupChanged");
    heard.listen(page, &KnobPrefsPage::doroControlAuxPopupChanged, "doroControlAuxPopupChanged");
    page.restore();
    EXPECT_TRUE(heard.lines.empty());
    for (const char* name : {"doroControlCheckBox", "serialPortPopup", "doroControlTaskPopup",
                             "doroControlAux1Popup", "doroControlAux3Popup"}) {
        operate(page, name);
    }
    EXPECT_EQ(heard.lines, (std::vector<std::string>{
                               "doroControlCheckBoxChanged on", "doroPortPopupChanged /dev/ttyUSB1",
                               "doroControlTaskPopupChanged Active Slice VFO",
                               "doroControlAuxPopupChanged 1 Active Slice VFO",
                               "doroControlAuxPopupChanged 3 Active Slice VFO"}));
    EXPECT_TRUE(page.doroControl());
}

// A profile chosen from a menu is chosen in its pop-up by title, as if the operator had.
TEST(PreferencePageSignals, TheProfilesPageTellsAChosenProfileByTitle) {
    ProfilesPrefsPage page;
    const struct {
        ProfilesPrefsPage::Kind kind;
        const char* popup;
    } kinds[] = {{ProfilesPrefsPage::Kind::global, "globalProfilesPopup"},
                 {ProfilesPrefsPage::Kind::transmit, "txProfilesPopup"},
                 {ProfilesPrefsPage::Kind::mic, "micProfilesPopup"}};
    for (const auto& kind : kinds) {
        control<PopUpButton>(page, kind.popup).addItems({"Default", "Contest"});
    }
    Heard heard;
    heard.listen(page, &ProfilesPrefsPage::globalProfilesPopupChanged, "global");
    heard.listen(page, &ProfilesPrefsPage::txProfilesPopupChanged, "tx");
    heard.listen(page, &ProfilesPrefsPage::micProfilesPopupChanged, "mic");
    for (const auto& kind : kinds) {
        EXPECT_FALSE(page.chooseProfile(kind.kind, "Missing")) << kind.popup;
        EXPECT_EQ(page.selectedProfile(kind.kind), "Default") << kind.popup;
        EXPECT_TRUE(page.chooseProfile(kind.kind, "Contest")) << kind.popup;
        EXPECT_EQ(page.selectedProfile(kind.kind), "Contest") << kind.popup;
    }
    operate(page, "micProfilesPopup");  // past the last item: nothing chosen, nothing said
    EXPECT_EQ(heard.lines,
              (std::vector<std::string>{"global Contest", "tx Contest", "mic Contest"}));
}

}  // namespace
}  // namespace vm
