// Each preferences page restores its stored preferences into its controls with each key's own
// default, and puts them back to the defaults; the window does it for every page and its tabs.
#include "PrefsTestSupport.h"

#include "app/windows/AudioPrefsPage.h"
#include "app/windows/KnobPrefsPage.h"
#include "app/windows/MetersPrefsPage.h"
#include "app/windows/PanadapterPrefsPage.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/RadioPrefsPage.h"
#include "app/windows/SerialPortChoice.h"
#include "app/windows/SlicePrefsPage.h"
#include "platform/core/PlistValue.h"
#include "support/LogCapture.h"

#include <QFont>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

namespace vm {
namespace {

using test::control;
using test::shown;

template <class Page>
std::unique_ptr<PreferencesPage> make() {
    return std::make_unique<Page>();
}

struct StoredCase {
    const char* name;
    std::function<std::unique_ptr<PreferencesPage>()> page;
    const char* key;
    PlistValue stored;
    const char* control;
    const char* restored;   // the control with the stored value
    const char* byDefault;  // the control with nothing stored, and after defaults()
};

void PrintTo(const StoredCase& c, std::ostream* os) { *os << c.name; }

// Check boxes store integers, except the dark-windows box (a boolean).
const StoredCase kStored[] = {
    {"HideHud", make<RadioPrefsPage>, "hide_hud_in_background", 1, "hideHudInBackgroundCheckBox",
     "on", "off"},
    {"Debug", make<RadioPrefsPage>, "debug_state", 1, "debug_enabled", "on", "off"},
    {"MuteAlternate", make<RadioPrefsPage>, "mute_alternate_audio", 1, "muteAlternateVFOCheckBox",
     "on", "off"},
    {"CheckForUpdates", make<RadioPrefsPage>, "check_for_updates", 0, "check_for_updates", "off",
     "on"},
    {"AutoConnect", make<RadioPrefsPage>, "auto_connect", 0, "auto_connect", "off", "on"},
    {"TuneTrvl", make<RadioPrefsPage>, "tune_trvl", 0, "tuneTrvlCheckBox", "off", "on"},
    {"UseDoroLink", make<RadioPrefsPage>, "auth_use_doro_link", 1, "authUseDoroLinkButton", "on",
     "off"},
    {"DarkWindows", make<RadioPrefsPage>, "vmsdr_dark_windows", true, "darkWindowsCheckBox", "on",
     "off"},
    {"MaxBandwidth", make<PanadapterPrefsPage>, "max_band_width_1", "5.0", "maxBandwidthPopup",
     "5.0", "0.01"},
    {"MaxBandwidthOfPan3", make<PanadapterPrefsPage>, "max_band_width_4", "10.0",
     "maxBandwidthPopup3", "10.0", "0.01"},
    {"MaxBandwidthNoSuchItem", make<PanadapterPrefsPage>, "max_band_width_2", "7.5",
     "maxBandwidthPopup1", "0.01", "0.01"},
    {"ViewProportion", make<PanadapterPrefsPage>, "view_proportion", 30, "viewProportion", "30",
     "50"},
    {"ViewProportionOfPan2", make<PanadapterPrefsPage>, "view_proportion2", 85, "viewProportion2",
     "85", "50"},
    {"PanadapterTab", make<PanadapterPrefsPage>, "panadapter_tab_view", 2, "panadapterTabView",
     "tab 2", "tab 0"},
    {"TrvlSpots", make<PanadapterPrefsPage>, "display_trvl_spots", 1, "trvlSpotsButton", "on",
     "off"},
    {"RadioSpots", make<PanadapterPrefsPage>, "display_radio_spots", 1, "radioSpotsButton", "on",
     "off"},
    {"ZenithorNarrowFm", make<PanadapterPrefsPage>, "zenithor_narrow_fm", 1, "zenithorNFMButton",
     "on", "off"},
    {"Memories", make<PanadapterPrefsPage>, "display_memories", 1, "memoryShowCB", "on", "off"},
    {"SliceTabPastTheLast", make<SlicePrefsPage>, "slice_tab_view", 9, "sliceTabView", "tab 3",
     "tab 0"},
    {"SliceTabBeforeTheFirst", make<SlicePrefsPage>, "slice_tab_view", -2, "sliceTabView", "tab 0",
     "tab 0"},
    {"MeterSource", make<MetersPrefsPage>, "meter_panel_popup", "Radio", "meterPanelPopUp", "Radio",
     "Codec"},
    {"Knob", make<KnobPrefsPage>, "doro_control", 1, "doroControlCheckBox", "on", "off"},
    {"KnobTask", make<KnobPrefsPage>, "doro_control_task", "Master Volume", "doroControlTaskPopup",
     "Master Volume", "Nothing"},
    {"KnobButton3", make<KnobPrefsPage>, "doro_control_aux3", "MOX", "doroControlAux3Popup", "MOX",
     "Nothing"},
};

class StoredPreference : public ::testing::TestWithParam<StoredCase> {
protected:
    void SetUp() override { test::forgetPreferences(); }
    void TearDown() override { test::forgetPreferences(); }
};

TEST_P(StoredPreference, ComesBackAndGoesBackToItsDefault) {
    const StoredCase& c = GetParam();
    const auto fresh = c.page();
    fresh->restore();
    EXPECT_EQ(shown(*fresh, c.control), c.byDefault) << "nothing stored";

    Defaults::standard().set(c.key, c.stored);
    const auto page = c.page();
    page->restore();
    EXPECT_EQ(shown(*page, c.control), c.restored);
    page->defaults();
    EXPECT_EQ(shown(*page, c.control), c.byDefault);
}

INSTANTIATE_TEST_SUITE_P(Keys, StoredPreference, ::testing::ValuesIn(kStored),
                         [](const auto& param) { return std::string(param.param.name); });

// A tab view without a stored index stays where the operator left it.
TEST(PreferencePages, ATabViewWithNothingStoredStaysWhereItIs) {
    test::forgetPreferences();
    SlicePrefsPage page;
    control<QTabWidget>(page, "sliceTabView").setCurrentIndex(2);
    page.restore();
    EXPECT_EQ(shown(page, "sliceTabView"), "tab 2");
}

TEST(PreferencePages, TheLoginIsOfferedExactlyWhenDoroLinkIsInUse) {
    test::forgetPreferences();
    RadioPrefsPage page;
    auto& login = control<QPushButton>(page, "auth_login_button");
    Defaults::standard().set("auth_use_doro_link", 1);
    page.restore();
    EXPECT_TRUE(login.isEnabled());
    page.defaults();
    EXPECT_FALSE(login.isEnabled());
    test::forgetPreferences();
}

// The device lists arrive after the restore: filling one selects the stored device, by title.
TEST(PreferencePages, AudioDevicesSelectTheStoredOneWhenTheListArrives) {
    test::forgetPreferences();
    AudioPrefsPage page;
    const std::vector<AudioPrefsPage::Device> outputs{
        {"System", ""}, {"USB Speaker", "ALSA:usb"}, {"HDMI", "ALSA:hdmi"}};
    page.setAudioDevices(AudioPrefsPage::Side::output, outputs);
    EXPECT_EQ(page.audioDevice(AudioPrefsPage::Side::output), "System");

    Defaults::standard().set("audio_out_device_01", "HDMI");
    Defaults::standard().set("audio_input_device_01", "Gone");
    page.setAudioDevices(AudioPrefsPage::Side::output, outputs);
    page.setAudioDevices(AudioPrefsPage::Side::input, {{"System", ""}, {"USB Mic", "ALSA:mic"}});
    EXPECT_EQ(page.audioDevice(AudioPrefsPage::Side::output), "HDMI");
    EXPECT_EQ(page.audioDevice(AudioPrefsPage::Side::input), "System") << "no such device";
    page.setAudioDevices(AudioPrefsPage::Side::input, {});
    EXPECT_EQ(page.audioDevice(AudioPrefsPage::Side::input), "");
    page.defaults();
    EXPECT_EQ(page.audioDevice(AudioPrefsPage::Side::output), "System");
    test::forgetPreferences();
}

// The ports are listed anew (nothing left of the last list) and the stored one chosen again.
TEST(PreferencePages, TheKnobsPortIsChosenAgainFromAFreshList) {
    test::forgetPreferences();
    KnobPrefsPage page;
    auto& ports = control<PopUpButton>(page, "serialPortPopup");
    ports.addItem(QStringLiteral("/dev/ttyGone"));
    page.reloadSerialPorts();
    EXPECT_EQ(ports.indexOfItemWithTitle("/dev/ttyGone"), -1);

    ports.addItems({"/dev/ttyUSB0", "/dev/ttyUSB1"});
    page.restoreSerialPort();
    EXPECT_EQ(ports.title(), "/dev/ttyUSB0");
    Defaults::standard().set("doro_control_port", "/dev/ttyUSB1");
    page.restoreSerialPort();
    EXPECT_EQ(ports.title(), "/dev/ttyUSB1");
    test::forgetPreferences();
}

// The paths of "vm_virtual_serial_port" end the list, blanks stripped and empty ones left out;
// without a pop-up they are only logged.
TEST(PreferencePages, TheKnobsPortsEndWithThePathsOfTheVirtualPortsPreference) {
    test::forgetPreferences();
    Defaults::standard().set("vm_virtual_serial_port", " /dev/pts/77 , ,/dev/pts/78");
    KnobPrefsPage page;
    page.reloadSerialPorts();
    auto& ports = control<PopUpButton>(page, "serialPortPopup");
    ASSERT_GE(ports.numberOfItems(), 2);
    EXPECT_EQ(ports.itemText(ports.numberOfItems() - 2), QStringLiteral("/dev/pts/77"));
    EXPECT_EQ(ports.itemText(ports.numberOfItems() - 1), QStringLiteral("/dev/pts/78"));
    EXPECT_TRUE(ports.itemData(ports.numberOfItems() - 1, Qt::FontRole).value<QFont>().italic());
    test::LogCapture log;
    findPorts(nullptr);
    EXPECT_TRUE(log.contains("findPorts: vm_virtual_serial_port: /dev/pts/77"));
    EXPECT_TRUE(log.contains("findPorts: vm_virtual_serial_port: /dev/pts/78"));
    test::forgetPreferences();
}

// The window restores every page and its own tab; defaults() puts them all back.
TEST(PreferencePages, TheWindowRestoresEveryPageAndItsTab) {
    test::forgetPreferences();
    Defaults& defaults = Defaults::standard();
    defaults.set("prefs_tab_view", 4);
    defaults.set("debug_state", 1);
    defaults.set("display_memories", 1);
    defaults.set("slice_tab_view", 1);
    defaults.set("meter_panel_popup", "Amplifier");
    defaults.set("doro_control_aux1", "MOX");
    PreferencesWindow window;
    window.restore();
    EXPECT_EQ(shown(window, "prefsTabView"), "tab 4");
    EXPECT_EQ(shown(window, "debug_enabled"), "on");
    EXPECT_EQ(shown(window, "memoryShowCB"), "on");
    EXPECT_EQ(shown(window, "sliceTabView"), "tab 1");
    EXPECT_EQ(shown(window, "meterPanelPopUp"), "Amplifier");
    EXPECT_EQ(shown(window, "doroControlAux1Popup"), "MOX");
    EXPECT_TRUE(window.radioPage().debugEnabled());
    EXPECT_TRUE(window.panadapterPage().memoryShow());

    window.defaults();
    for (const auto& [name, state] :
         {std::pair{"prefsTabView", "tab 0"}, std::pair{"debug_enabled", "off"},
          std::pair{"memoryShowCB", "off"}, std::pair{"sliceTabView", "tab 0"},
          std::pair{"meterPanelPopUp", "Codec"}, std::pair{"doroControlAux1Popup", "Nothing"},
          std::pair{"auto_connect", "on"}}) {
        EXPECT_EQ(shown(window, name), state) << name;
    }
    test::forgetPreferences();
}

}  // namespace
}  // namespace vm
