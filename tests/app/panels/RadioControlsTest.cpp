// The radio's own controls against the simulated radio: the radio's keys shown in the controls,
// the operator's changes sent as the radio's commands, the equalizers and the profiles.
#include "RadioControlsFixture.h"

#include "app/windows/EqualizerPanel.h"
#include "app/windows/StatusImages.h"
#include "platform/ui/Alert.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Slider.h"
#include "platform/ui/Stepper.h"
#include "platform/ui/TextField.h"
#include "support/KeyTableWalk.h"

#include "platform/ui/Screenshot.h"

#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <functional>

namespace vm::test {
namespace {

using Strings = std::vector<std::string>;

class RadioControlsTest : public RadioControlsFixture {};

// Every row names a key the radio announces, once; the equalizer's rows likewise.
TEST_F(RadioControlsTest, KeyTablesNameEveryKeyOnce) {
    EXPECT_TRUE(c().missing.empty()) << fmt::format("{}", fmt::join(c().missing, " "));
    EXPECT_EQ(RadioControlsController::radioKeyTable().size(), 78u);
    walkKeyTable(RadioControlsController::radioKeyTable(), radio);
    walkKeyTable(RadioControlsController::equalizerKeyTable(), Equalizer::create("rx", radio));
}

// MOX keys the radio; the radio's transmitting state gives the button its transmitting look,
// and receive takes it back.
TEST_F(RadioControlsTest, MoxKeysTheRadioAndTheButtonShowsItsState) {
    const QImage keyed = statusImageNamed("red_button");
    const QImage idle = statusImageNamed("red_button_dark");
    bar->show();
    mark();
    bar->transmitButton->click();
    EXPECT_EQ(receivedSinceMark(), Strings{"xmit 1"});

    ASSERT_TRUE(
        report("interlock state=TRANSMITTING", [&] { return controller->doroInTransmit(); }));
    EXPECT_EQ(bar->transmitButton->image(), keyed);
    EXPECT_EQ(std::count(host->told.begin(), host->told.end(), "band stack"), 1)
        << "keying records the active slice in its band stack";
    saveScreenshot(*bar, "radio_controls_transmitting.png");

    mark();
    bar->transmitButton->click();
    EXPECT_EQ(receivedSinceMark(), Strings{"xmit 0"});
    ASSERT_TRUE(report("interlock state=RECEIVE", [&] { return !controller->doroInTransmit(); }));
    EXPECT_EQ(bar->transmitButton->image(), idle);
    EXPECT_EQ(std::count(host->told.begin(), host->told.end(), "band stack"), 1);

    // The transmit menu's MOX keys by the radio's state, and its check mark follows the radio.
    mark();
    menus->moxMenuItem->performAction();
    EXPECT_EQ(receivedSinceMark(), Strings{"xmit 1"});
    EXPECT_TRUE(menus->moxMenuItem->state());
}

// Manual tune: the first press bypasses the ATU and starts the carrier with a red lamp; once the
// radio tunes, the second press ends it. Automatic tune starts the ATU.
TEST_F(RadioControlsTest, TuneButtonStartsAndEndsATune) {
    c().tuneModePopup->selectItemWithTitle("Manual Tune");
    mark();
    bar->tuneButton->click();
    EXPECT_EQ(receivedSinceMark(), (Strings{"atu bypass 1", "transmit tune 1"}));
    EXPECT_EQ(bar->tuneButton->image(), statusImageNamed("red_ball"));
    EXPECT_TRUE(controller->doroManualTuneInProgress());
    ASSERT_TRUE(report("transmit tune=1", [&] { return menus->tuneMenuItem->state(); }));
    mark();
    bar->tuneButton->click();
    EXPECT_EQ(receivedSinceMark(), Strings{"transmit tune 0"});
    EXPECT_EQ(bar->tuneButton->image(), statusImageNamed("gray_ball"));
    EXPECT_EQ(bar->tuneButton->toolTip(), "Manual Tune done");

    c().tuneModePopup->selectItemWithTitle("Auto Tune");
    mark();
    bar->tuneButton->click();
    EXPECT_EQ(receivedSinceMark(), Strings{"atu start 1"});
}

// The ATU's status drives the tune button's lamp and tool tip in automatic tune mode only.
TEST_F(RadioControlsTest, AtuStatusDrivesTheTuneLamp) {
    struct Case {
        const char* status;
        const char* bulb;
        const char* toolTip;
    };
    const Case cases[] = {
        {"TUNE_SUCCESSFUL", "green_ball", "Atu Status:Success"},
        {"TUNE_FAIL", "red_ball", "Atu Status:Fail"},
        {"TUNE_BYPASS", "gray_ball", "Atu Status:Bypass"},
        {"TUNE_OK", "green_ball", "Atu Status:OK"},
        {"TUNE_MANUAL_BYPASS", "gray_ball", "Atu Status:Manual Bypass"},
    };
    c().tuneModePopup->selectItemWithTitle("Auto Tune");
    for (const Case& test : cases) {
        SCOPED_TRACE(test.status);
        ASSERT_TRUE(report(fmt::format("atu status={}", test.status), [&] {
            return bar->tuneButton->toolTip().toStdString() == test.toolTip;
        }));
        EXPECT_EQ(bar->tuneButton->image(), statusImageNamed(test.bulb));
    }

    // In progress: the automatic tune flag, no new lamp. The flag's clearing after the earlier
    // reports has run first.
    advanceBarrier(DispatchQueue::main(), std::chrono::milliseconds(200));
    EXPECT_FALSE(controller->doroAutoTuning());
    ASSERT_TRUE(
        report("atu status=TUNE_IN_PROGRESS", [&] { return controller->doroAutoTuning(); }));
    EXPECT_EQ(bar->tuneButton->image(), statusImageNamed("gray_ball"));

    // In manual tune mode the ATU's reports leave the button alone.
    c().tuneModePopup->selectItemWithTitle("Manual Tune");
    ASSERT_TRUE(report("atu status=TUNE_FAIL memories_enabled=1",
                       [&] { return c().atuCheckBox->state(); }));
    EXPECT_EQ(bar->tuneButton->toolTip(), "Atu Status:In Progress");
    EXPECT_EQ(bar->tuneButton->image(), statusImageNamed("gray_ball"));
}

// Each setting control sends its command, with the limits of the maximum power and the 50 Hz
// steps of the transmit filter; boxes that show "on" or "allowed" send the opposite flag.
TEST_F(RadioControlsTest, SettingActionsSendTheirCommands) {
    struct Case {
        const char* name;
        std::function<void(const RadioControls&)> act;
        const char* command;
    };
    auto typed = [](TextField* field, const char* text) {
        field->setStringValue(text);
        emit field->action();
    };
    auto box = [](CheckBox* control, bool on) {
        control->setState(on);
        control->sendAction();
    };
    auto slide = [](Slider* control, int value) {
        control->setIntValue(value);
        control->sendAction();
    };
    const Case cases[] = {
        {"max power above 100", [&](auto& k) { typed(k.radioMaxPowerLevelText, "150"); },
         "transmit set max_power_level=100"},
        {"max power below 0", [&](auto& k) { typed(k.radioMaxPowerLevelText, "-5"); },
         "transmit set max_power_level=0"},
        {"max power", [&](auto& k) { typed(k.radioMaxPowerLevelText, "75"); },
         "transmit set max_power_level=75"},
        {"rf power", [&](auto& k) { slide(k.powerSlider, 42); }, "transmit set rfpower=42"},
        {"tune power", [&](auto& k) { slide(k.atuPowerSlider, 15); }, "transmit set tunepower=15"},
        {"filter high in 50 Hz steps",
         [](auto& k) {
             k.transmitFilterHiStepper->setDoubleValue(2975);
             k.transmitFilterHiStepper->sendAction();
         },
         "transmit set filter_high=2950"},
        {"filter low",
         [](auto& k) {
             k.transmitFilterLoStepper->setDoubleValue(149);
             k.transmitFilterLoStepper->sendAction();
         },
         "transmit set filter_low=100"},
        {"transmit allowed", [&](auto& k) { box(k.txCheckBox, true); }, "transmit set inhibit=0"},
        {"transmit inhibited", [&](auto& k) { box(k.txCheckBox, false); },
         "transmit set inhibit=1"},
        {"speaker on", [&](auto& k) { box(k.radioSpeakerMuteCheckBox, true); },
         "mixer lineout mute 0"},
        {"headphones off", [&](auto& k) { box(k.radioHeadsetMuteCheckBox, false); },
         "mixer headphone mute 1"},
        {"headphone level", [&](auto& k) { slide(k.radioHeadsetVolumeSlider, 30); },
         "mixer headphone gain 30"},
        {"speaker level", [&](auto& k) { slide(k.radioSpeakerVolumeSlider, 60); },
         "mixer lineout gain 60"},
        {"vox", [&](auto& k) { box(k.radioVoxEnabledCheckBox, true); },
         "transmit set vox_enable=1"},
        {"vox delay", [&](auto& k) { slide(k.radioVoxDelaySlider, 20); },
         "transmit set vox_delay=20"},
        {"processor level",
         [](auto& k) {
             k.radioSpeechProcPopup->selectItemAtIndex(2);
             k.radioSpeechProcPopup->sendAction();
         },
         "transmit set speech_processor_level=2"},
        {"monitor", [&](auto& k) { box(k.radioPhoneMonitorCheckBox, true); }, "transmit set mon=1"},
        {"mic level", [&](auto& k) { slide(k.radioMicLevelSlider, 35); },
         "transmit set miclevel=35"},
        {"mic boost", [&](auto& k) { box(k.radioMicBoostEnabledCheckBox, true); }, "mic boost 1"},
        {"tx2 delay", [&](auto& k) { typed(k.radioTxDelayTexts[1], "25"); },
         "interlock tx2_delay=25"},
        {"acc tx", [&](auto& k) { box(k.radioAccTxDelayCheckBox, true); },
         "interlock acc_tx_enabled=1"},
        {"full duplex", [&](auto& k) { box(k.fullDuplexEnabledCheckBox, true); },
         "radio set full_duplex_enabled=1"},
        {"cw speed", [&](auto& k) { slide(k.radioCwSpeedSlider, 22); }, "cw wpm 22"},
        {"cw pitch", [&](auto& k) { slide(k.radioCwPitchSlider, 650); }, "cw pitch 650"},
        {"iambic B",
         [](auto& k) {
             k.radioCwIambicModePopup->selectItemWithTitle("B");
             k.radioCwIambicModePopup->sendAction();
         },
         "cw mode 1"},
        {"break-in", [&](auto& k) { box(k.radioCwBreakInCheckBox, true); }, "cw break_in 1"},
        {"side tone gain", [&](auto& k) { slide(k.radioCwSideToneGainSlider, 40); },
         "transmit set mon_gain_cw=40"},
        {"atu memories", [&](auto& k) { box(k.atuCheckBox, true); }, "atu set memories_enabled=1"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        mark();
        test.act(c());
        EXPECT_EQ(receivedSinceMark(), Strings{test.command});
    }
}

// Without an open radio the controls send nothing; with remote audio on, the speaker level is the
// computer's volume and the radio is told nothing.
TEST_F(RadioControlsTest, ActionsNeedTheRadioAndSpeakerLevelFollowsRemoteAudio) {
    c().remoteAudioCheckBox->setState(true);
    mark();
    c().radioSpeakerVolumeSlider->setIntValue(40);
    c().radioSpeakerVolumeSlider->sendAction();
    EXPECT_EQ(host->remoteVolume, 40.0);

    controller->unbind();
    c().powerSlider->setIntValue(10);
    c().powerSlider->sendAction();
    bar->transmitButton->click();
    EXPECT_EQ(receivedSinceMark(), Strings{});
    EXPECT_FALSE(c().saveProfileButton[0]->isEnabled());
}

// With remote audio on, the radio's own audio settings it does not use are offered no more; the
// microphone slider and the meters' tips follow whose microphone the radio takes.
TEST_F(RadioControlsTest, RemoteAudioAndTheRadiosMicrophoneChoiceSetWhatIsOffered) {
    for (const bool remote : {true, false}) {
        c().remoteAudioCheckBox->setState(remote);
        controller->adjustRemoteAudioControls();
        EXPECT_EQ(c().radioHeadsetVolumeSlider->isEnabled(), !remote);
        EXPECT_EQ(c().radioCompanderEnabledCheckBox->isEnabled(), !remote);
        EXPECT_EQ(c().radioSpeakerMuteCheckBox->isEnabled(), !remote);
    }
    const struct {
        const char* selection;
        bool radioMic;
        const char* tip;
    } cases[] = {{"PC", false, "Remote (Mac) Mic Peak Level"},
                 {"MIC", true, "Radio Mic Peak Level"}};
    for (const auto& m : cases) {
        SCOPED_TRACE(m.selection);
        ASSERT_TRUE(report(std::string("transmit mic_selection=") + m.selection,
                           [&] { return c().radioMicLevelSlider->isEnabled() == m.radioMic; }));
        EXPECT_EQ(c().micPeakLevelText->toolTip().toStdString(), m.tip);
    }
}

// While remote audio is on, the radio's side-tone switch opens or closes the local side tone and
// the CW pitch, speed and side-tone gain sliders retune it; with remote audio off neither does.
TEST_F(RadioControlsTest, LocalSideToneFollowsTheRadioWhileRemoteAudioIsOn) {
    ASSERT_TRUE(
        report("transmit sidetone=1", [&] { return c().radioCwSideToneEnabledCheckBox->state(); }));
    // The profile menus are told about meanwhile; only the side tone's notices count here.
    const auto sideTone = [&] {
        Strings out;
        std::copy_if(host->told.begin(), host->told.end(), std::back_inserter(out),
                     [](const std::string& t) { return t.starts_with("side tone"); });
        return out;
    };
    c().radioCwPitchSlider->setIntValue(700);
    c().radioCwPitchSlider->sendAction();
    EXPECT_EQ(sideTone(), Strings{});

    c().remoteAudioCheckBox->setState(true);
    ASSERT_TRUE(report("transmit sidetone=0",
                       [&] { return !c().radioCwSideToneEnabledCheckBox->state(); }));
    for (Slider* slider : {c().radioCwPitchSlider, c().radioCwSpeedSlider,
                           c().radioCwSideToneGainSlider, c().radioCwSideTonePanSlider}) {
        slider->setIntValue(30);
        slider->sendAction();
    }
    EXPECT_EQ(sideTone(), (Strings{"side tone 0", "side tone parameters", "side tone parameters",
                                   "side tone parameters"}));
}

// The radio's values reach the controls; a transmit filter edge that is not a finite number
// leaves the last good one.
TEST_F(RadioControlsTest, RadioValuesReachTheControls) {
    ASSERT_TRUE(report("transmit rfpower=55 lo=100 hi=2900 sb_monitor=1 vox_level=33",
                       [&] { return c().powerSlider->doubleValue() == 55; }));
    EXPECT_EQ(c().powerLevelText->stringValue(), "55");
    EXPECT_EQ(c().transmitFilterHiText->stringValue(), "2900");
    EXPECT_EQ(c().transmitFilterHiStepper->doubleValue(), 2900);
    EXPECT_TRUE(c().radioPhoneMonitorCheckBox->state());
    EXPECT_EQ(c().radioVoxLevelText->stringValue(), "33");

    for (const char* edge : {"nan", "inf", "1e999"}) {
        SCOPED_TRACE(edge);
        ASSERT_TRUE(report(fmt::format("transmit hi={} rfpower=56", edge),
                           [&] { return c().powerSlider->doubleValue() == 56; }));
        EXPECT_EQ(c().transmitFilterHiText->stringValue(), "2900");
        EXPECT_EQ(c().transmitFilterHiStepper->doubleValue(), 2900);
        ASSERT_TRUE(
            report("transmit rfpower=55", [&] { return c().powerSlider->doubleValue() == 55; }));
    }

    // The radio's speaker and headphones show "on" while not muted.
    ASSERT_TRUE(report("radio headphone_mute=1 lineout_mute=0",
                       [&] { return c().radioSpeakerMuteCheckBox->state(); }));
    EXPECT_FALSE(c().radioHeadsetMuteCheckBox->state());

    // Inhibited transmit disables MOX and Tune.
    c().txCheckBox->setState(true);
    ASSERT_TRUE(report("transmit inhibit=1", [&] { return !bar->transmitButton->isEnabled(); }));
    EXPECT_FALSE(c().txCheckBox->state());
    EXPECT_FALSE(bar->tuneButton->isEnabled());

    // The amplifier's state in words, and the interlock pop-up's mode.
    c().amplifierInterlockPopup->selectItemWithTitle("Operate");
    ASSERT_TRUE(report("amplifier 0x1 state=FAULT", [&] {
        return c().amplifierInterlockText->text() == QStringLiteral("Fault");
    }));
    EXPECT_EQ(c().amplifierInterlockPopup->title(), "Standby");
}

// An equalizer is bound once the radio reports it: its values reach the sliders, a moved slider
// sends its band, and a slider moved to the value it has sends nothing.
TEST_F(RadioControlsTest, EqualizerFollowsTheRadioAndSlidersSendTheirBands) {
    EqualizerPanel& rx = *c().equalizer[0];
    rx.sliders[0]->setIntValue(3);
    mark();
    rx.sliders[0]->sendAction();  // no equalizer yet
    EXPECT_EQ(receivedSinceMark(), Strings{});

    ASSERT_TRUE(
        report("eq rxsc mode=1 63Hz=2 125Hz=0 250Hz=0 500Hz=0 1000Hz=0 2000Hz=0 "
               "4000Hz=0 8000Hz=-4",
               [&] { return rx.sliders[7]->doubleValue() == -4 && rx.checkbox->state(); }));
    EXPECT_EQ(rx.values[0]->stringValue(), "2");
    EXPECT_EQ(rx.labels[4]->text(), QStringLiteral("1 KHz"));
    EXPECT_TRUE(controller->equalizerKVOManager(0));
    EXPECT_FALSE(controller->equalizerKVOManager(1));

    mark();
    rx.sliders[0]->setIntValue(5);
    rx.sliders[0]->sendAction();
    rx.sliders[0]->sendAction();  // the value it already has
    rx.checkbox->setState(false);
    rx.checkbox->sendAction();
    EXPECT_EQ(receivedSinceMark(), (Strings{"eq rxsc 63Hz=5", "eq rxsc mode=0"}));

    ASSERT_TRUE(report("eq txsc mode=0 8000Hz=0",
                       [&] { return bool(controller->equalizerKVOManager(1)); }));
    EqualizerPanel& tx = *c().equalizer[1];
    mark();
    tx.sliders[7]->setIntValue(10);
    tx.sliders[7]->sendAction();
    EXPECT_EQ(receivedSinceMark(), Strings{"eq txsc 8000Hz=10"});
}

// Profiles: the lists shown without the modified mark and selected by title; switching saves the
// profile in use first; a new transmit profile on a radio that keeps its profiles is created; a
// name the radio already has, or one the command could not carry, is refused and nothing sent.
TEST_F(RadioControlsTest, ProfilesSwitchSaveFirstAndNewOnesAreCreated) {
    PopUpButton* tx = c().profilesPopup[1];
    ASSERT_TRUE(report("profile tx list=Contest^*Ragchew^DX^", [&] { return tx->count() == 3; }));
    ASSERT_TRUE(report("profile tx current=*Ragchew", [&] { return tx->title() == "Ragchew"; }));
    EXPECT_EQ(tx->itemText(1), QStringLiteral("Ragchew"));
    EXPECT_NE(std::find(host->told.begin(), host->told.end(), "menus 1"), host->told.end());
    EXPECT_NE(std::find(host->told.begin(), host->told.end(), "marks 1"), host->told.end());

    mark();
    tx->selectItemWithTitle("DX");
    tx->sendAction();
    EXPECT_TRUE(waitFor([&] { return c().saveProfileButton[1]->isEnabled(); }));
    EXPECT_EQ(receivedSinceMark(),
              (Strings{"profile transmit save \"Ragchew\"", "profile transmit load \"DX\""}));

    std::vector<std::string> answers{"Night", "DX", "Bad\"name"};
    std::vector<std::string> alerts;
    const auto previous = Alert::setTestResponder([&](Alert& alert) {
        if (auto* field = dynamic_cast<QLineEdit*>(alert.accessoryView())) {
            field->setText(QString::fromStdString(answers.front()));
            answers.erase(answers.begin());
        } else {
            alerts.push_back(alert.messageText());
        }
        return 0;
    });
    mark();
    c().addProfileButton[1]->click();
    EXPECT_TRUE(waitFor([&] { return c().saveProfileButton[1]->isEnabled(); }));
    EXPECT_EQ(receivedSinceMark(),
              (Strings{"profile transmit create \"Night\"", "profile transmit load \"Night\""}));

    mark();
    c().addProfileButton[1]->click();  // "DX" exists
    c().addProfileButton[1]->click();  // a quote the command cannot carry
    EXPECT_EQ(receivedSinceMark(), Strings{});
    EXPECT_EQ(alerts, (Strings{"A Tx Profile with that name already exists",
                               "This profile name cannot be used"}));

    // Delete offers the pop-up's profiles; the first is chosen here.
    mark();
    c().deleteProfileButton[1]->click();
    EXPECT_EQ(receivedSinceMark(), Strings{"profile transmit delete \"Contest\""});
    Alert::setTestResponder(previous);
}

}  // namespace
}  // namespace vm::test
