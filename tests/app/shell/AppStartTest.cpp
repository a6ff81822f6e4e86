// Start-up and launch of the app controller: folders, the debug log, preferences restored into
// their controls, discovery, and the audio system's reports reaching the controls on the main
// queue only.
#include "AppFixture.h"

#include "app/audio/RemoteAudioController.h"
#include "app/memory/BandStackController.h"
#include "app/memory/UserMemoryController.h"

#include "app/windows/CwxWindow.h"
#include "app/windows/HudWindow.h"
#include "app/windows/MainControlsBar.h"
#include "app/windows/PanControls.h"
#include "app/windows/PanSettingsPage.h"
#include "app/windows/PanadapterPrefsPage.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/SlicePanel.h"
#include "platform/audio/TestAudioBackend.h"
#include "platform/core/Paths.h"
#include "platform/ui/PopUpButton.h"
#include "support/sim/SimRadio.h"

#include <gmock/gmock.h>

#include <QPushButton>
#include <QTabWidget>

#include <filesystem>
#include <regex>
#include <thread>

namespace vm {
namespace {

namespace fs = std::filesystem;
using test::AppFixture;

TEST_F(AppFixture, StartUpMakesTheFoldersAndADatedLogThatReceivesTheLogAndTheFacts) {
    launch();
    const fs::path files = paths::documentsFolder() / "velmoraSDR_Files";
    EXPECT_TRUE(fs::is_directory(files / "debug_log_files"));
    EXPECT_TRUE(fs::is_directory(files / "sound_files"));
    EXPECT_TRUE(fs::is_directory(files / "data_files"));
    EXPECT_TRUE(fs::is_directory(paths::homeFolder() / "tmp"));
    const fs::path log(controller->debugLogFilePath);
    EXPECT_EQ(log.parent_path(), files / "debug_log_files");
    EXPECT_TRUE(std::regex_match(log.filename().string(), std::regex(R"(\d{8}_\d{6}\.txt)")));

    ASSERT_TRUE(runMainUntil([&] { return logText().find("Firewall is ") != std::string::npos; }));
    const std::string text = logText();
    for (const char* line : {"stderr redirected to ", "awakeFromNib:MAC Address: ", "cpu:",
                             "awakeFromNib:getOSVersion:", "applicationDidFinishLaunching:v",
                             "User is admin: ", "Screen 0 backingScaleFactor:", "auto_connect:[1]",
                             "openDoroSDR:Open", "AuthWebController:WanServer loaded"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    EXPECT_NE(text.find(std::string(73, '-') + "\n"), std::string::npos);
    EXPECT_TRUE(controller->startupComplete);
    EXPECT_TRUE(controller->doroSDRisRunning);
    EXPECT_NE(controller->kbrx_background_queue, nullptr);
}

TEST_F(AppFixture, LaunchLoadsTheMemoriesAndBandStacksKeepingAnUnreadableStackFile) {
    const fs::path data = paths::documentsFolder() / "velmoraSDR_Files" / "data_files";
    fs::create_directories(data);
    ASSERT_TRUE(writeFileAtomically(data / kBandStackFileName, "not a band stack"));
    ASSERT_TRUE(writeFileAtomically(
        data / kUserMemoriesFileName,
        std::string(kUserMemoriesHeader) + "\nMEMORY,N0CALL,,14.22500,20M,USB\n"));
    launch();
    ASSERT_EQ(controller->userMemoryController->userMemories.size(), 1u);
    EXPECT_EQ(controller->userMemoryController->userMemories[0]->freq, "14.22500");
    EXPECT_EQ(controller->bandStackController->bandStacks.bandStackDictionary.size(), 11u);

    bool keptAside = false;
    for (const auto& file : fs::directory_iterator(data)) {
        const std::string name = file.path().filename().string();
        if (name.starts_with(std::string(kBandStackFileName) + ".") &&
            name.ends_with(".unreadable")) {
            keptAside = readWholeFile(file.path()) == std::string("not a band stack");
        }
    }
    EXPECT_TRUE(keptAside);
    BandStacks written;
    EXPECT_TRUE(written.readStackDictionary(data / kBandStackFileName).read);
    EXPECT_EQ(written.bandStackDictionary.size(), 11u);
}

TEST_F(AppFixture, AFreshUserGetsTheDefaultOfEveryRestoredControl) {
    launch();
    struct Box {
        const char* name;
        bool state;
    } boxes[] = {{"hideHudInBackgroundCheckBox", false},
                 {"debug_enabled", false},
                 {"muteAlternateVFOCheckBox", false},
                 {"cwxLiveCheckBox", false},
                 {"qrTransmitAButton", false},
                 {"qrTransmitBButton", false},
                 {"check_for_updates", true},
                 {"auto_connect", true},
                 {"tuneTrvlCheckBox", true},
                 {"authUseDoroLinkButton", false},
                 {"doroControlCheckBox", false}};
    auto find = [&](const char* name) -> QWidget* {
        for (QWidget* top : {static_cast<QWidget*>(controller->prefsWindow),
                             static_cast<QWidget*>(controller->cwxWindow)}) {
            if (auto* w = top->findChild<QWidget*>(name)) {
                return w;
            }
        }
        return nullptr;
    };
    for (const Box& box : boxes) {
        auto* control = dynamic_cast<CheckBox*>(find(box.name));
        ASSERT_NE(control, nullptr) << box.name;
        EXPECT_EQ(control->state(), box.state) << box.name;
    }
    for (const char* name :
         {"meterPanelPopUp", "maxBandwidthPopup", "maxBandwidthPopup1", "maxBandwidthPopup2",
          "maxBandwidthPopup3", "doroControlTaskPopup", "doroControlAux1Popup",
          "doroControlAux2Popup", "doroControlAux3Popup"}) {
        auto* popup = dynamic_cast<PopUpButton*>(find(name));
        ASSERT_NE(popup, nullptr) << name;
        EXPECT_EQ(popup->indexOfSelectedItem(), 0) << name;
    }
    EXPECT_EQ(controller->mainControls->tuneModePopup->indexOfSelectedItem(), 0);
    const PanadapterPrefsPage& pans = controller->prefsWindow->panadapterPage();
    for (int pan = 0; pan < 4; ++pan) {
        EXPECT_EQ(pans.settings(pan)->viewProportion->doubleValue(), 50) << pan;
        EXPECT_EQ(panadapter(pan).panControls->bandwidthSlider->maxValue(), 0.01) << pan;
    }
    EXPECT_EQ(prefsControl<QTabWidget>("prefsTabView").currentIndex(), 0);
    EXPECT_FALSE(controller->debug);
    EXPECT_FALSE(prefsControl<QPushButton>("auth_login_button").isEnabled());
}

TEST_F(AppFixture, StoredPreferencesComeBackIntoTheirControls) {
    Defaults& d = Defaults::standard();
    d.set("max_band_width_1", PlistValue(std::string("5.0")));
    d.set("max_band_width_2", PlistValue(std::string("7.5")));  // no such item: the first one
    d.set("debug_state", PlistValue(std::int64_t{1}));
    d.set("auto_connect", PlistValue(std::int64_t{0}));
    d.set("check_for_updates", PlistValue(std::int64_t{0}));
    d.set("auth_use_doro_link", PlistValue(std::int64_t{1}));
    d.set("view_proportion2", PlistValue(std::int64_t{30}));
    d.set("prefs_tab_view", PlistValue(std::int64_t{99}));  // past the last tab: the last one
    d.set("slice_tab_view", PlistValue(std::int64_t{2}));
    d.set("tune_mode", PlistValue(std::string("Manual Tune")));
    d.set("meter_panel_popup", PlistValue(std::string("Radio")));
    d.set("doro_control_aux2", PlistValue(std::string("MOX")));
    d.set("transmit_B_while_recording_playback", PlistValue(std::int64_t{1}));
    launch();
    const PanadapterPrefsPage& pans = controller->prefsWindow->panadapterPage();
    EXPECT_EQ(pans.settings(0)->maxBandwidthPopup->title(), "5.0");
    EXPECT_EQ(panadapter(0).panControls->bandwidthSlider->maxValue(), 5.0);
    EXPECT_EQ(pans.settings(1)->maxBandwidthPopup->indexOfSelectedItem(), 0);
    EXPECT_EQ(panadapter(1).panControls->bandwidthSlider->maxValue(), 0.01);
    EXPECT_TRUE(prefsControl<CheckBox>("debug_enabled").state());
    EXPECT_TRUE(controller->debug);
    EXPECT_FALSE(prefsControl<CheckBox>("auto_connect").state());
    EXPECT_FALSE(prefsControl<CheckBox>("check_for_updates").state());
    EXPECT_TRUE(prefsControl<QPushButton>("auth_login_button").isEnabled());
    EXPECT_EQ(pans.settings(2)->viewProportion->doubleValue(), 30);
    const auto& tabs = prefsControl<QTabWidget>("prefsTabView");
    EXPECT_EQ(tabs.currentIndex(), tabs.count() - 1);
    EXPECT_EQ(prefsControl<QTabWidget>("sliceTabView").currentIndex(), 2);
    EXPECT_EQ(controller->mainControls->tuneModePopup->title(), "Manual Tune");
    EXPECT_EQ(prefsControl<PopUpButton>("meterPanelPopUp").title(), "Radio");
    EXPECT_EQ(prefsControl<PopUpButton>("doroControlAux2Popup").title(), "MOX");
    EXPECT_FALSE(prefsControl<CheckBox>("qrTransmitAButton").state());
    EXPECT_TRUE(prefsControl<CheckBox>("qrTransmitBButton").state());
    EXPECT_NE(logText().find("auto_connect:[0]"), std::string::npos);
}

TEST_F(AppFixture, DiscoveryFindsTheSimulatedRadio) {
    launch();
    ASSERT_NE(controller->radioFactory, nullptr);
    auto radio = sim::SimRadio::start();
    ASSERT_NE(radio, nullptr);
    ASSERT_TRUE(radio->announce({"127.0.0.1", controller->radioFactory->localPort()}));
    std::string serial;
    for (const auto& [key, value] : radio->discoveryFields()) {
        if (key == "serial") {
            serial = value;
        }
    }
    ASSERT_FALSE(serial.empty());
    EXPECT_TRUE(runMainUntil([&] {
        for (const auto& instance : controller->radioFactory->availableRadioInstances()) {
            if (instance->serialNum == serial) {
                return true;
            }
        }
        return false;
    }));
}

TEST_F(AppFixture, HoldingTheResetFlagAsksAndResetRemovesEveryPreference) {
    struct Case {
        int button;
        bool removed;
    };
    for (const Case& c : {Case{1, false}, Case{0, true}}) {
        Defaults::standard().set("auto_connect", PlistValue(std::int64_t{0}));
        std::string asked;
        Alert::setTestResponder([&](Alert& alert) {
            asked = alert.messageText();
            return c.button;
        });
        controller = AppDelegate::create({{"--reset-preferences"}, 0});
        EXPECT_EQ(controller->awakeFromNib(), AppDelegate::Start::preferencesReset);
        EXPECT_EQ(asked, "Are you sure you want to reset all velmoraSDR Preferences ?");
        EXPECT_EQ(Defaults::standard().dictionaryRepresentation().empty(), c.removed) << c.button;
        controller.reset();
    }
}

TEST_F(AppFixture, AudioDeviceReportsReachThePopupsOnlyThroughTheMainQueue) {
    launch();
    // The sound system answers off the main thread; its first answer fills the pop-ups.
    ASSERT_TRUE(runMainUntil([&] { return controller->remoteAudio->audioSystemReady(); }));
    auto backend = std::dynamic_pointer_cast<TestAudioBackend>(AudioBackend::shared());
    ASSERT_NE(backend, nullptr);
    PopUpButton* outputs = &prefsControl<PopUpButton>("audioOutputDevicesPopup");
    EXPECT_EQ(outputs->numberOfItems(), 0);
    AudioDeviceRecord speaker;
    speaker.deviceID = 7;
    speaker.name = "USB Speaker";
    speaker.uid = "ALSA:USB Speaker";
    speaker.outputChannels = 2;
    speaker.sampleRate = 48000;
    std::thread([&] { backend->setDevices({speaker}, 0, 7); }).join();
    EXPECT_EQ(outputs->numberOfItems(),
              0);  // the report on the sound system's thread left it alone
    ASSERT_TRUE(runMainUntil([&] { return outputs->numberOfItems() == 2; }));
    EXPECT_EQ(outputs->itemText(0).toStdString(), "System");
    EXPECT_EQ(outputs->itemText(1).toStdString(), "USB Speaker");
    EXPECT_TRUE(runMainUntil(
        [&] { return logText().find("default outputDeviceChanged") != std::string::npos; }));
}

}  // namespace
}  // namespace vm
