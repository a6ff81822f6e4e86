// The operator's changes of the radio's controls: each reads its control and calls one setter of
// the open radio, which stores the value and sends its command on the radio's queue. Without an
// open radio an action does nothing. The controls themselves follow the radio's answer through
// the observers.
#include "app/panels/RadioControlsController.h"

#include "platform/core/Defaults.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Slider.h"
#include "platform/ui/Stepper.h"
#include "platform/ui/TextField.h"
#include "radio/Radio.h"
#include "util/StringAdditions.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace vm {

namespace {

using namespace std::chrono_literals;
using Setter = void (Radio::*)(Number);

// The tune button goes off again this long after an automatic tune was started.
constexpr auto kAutoTuneButtonOff = 250ms;

template <class Control, class F>
void onAction(Control* control, const std::weak_ptr<RadioControlsController>& weak, F action) {
    QObject::connect(control, &Control::action, control, [weak, action] {
        if (const auto self = weak.lock()) {
            action(*self);
        }
    });
}

// The transmit filter's edges go in steps of 50 Hz: the stepper's value truncated toward zero.
int transmitFilterStep(double hz) {
    if (!std::isfinite(hz)) {
        return 0;
    }
    const double clamped = std::clamp(hz, -1.0e6, 1.0e6);
    return static_cast<int>(std::trunc(clamped / 50.0)) * 50;
}

}  // namespace

void RadioControlsController::connectActions() {
    connectSettingActions();
    connectTransmitActions();
    connectEqualizerActions();
    connectProfileActions();
}

void RadioControlsController::connectSettingActions() {
    const std::weak_ptr<RadioControlsController> weak = weak_from_this();
    RadioControls& c = controls_;
    // A check box sends its state; a box that shows the opposite of the radio's flag (the
    // radio's speaker and headphones "on" while not muted, transmit allowed while not
    // inhibited) sends the opposite, so that a click never turns into its own reverse.
    auto box = [&](CheckBox* control, Setter setter, bool inverted = false) {
        onAction(control, weak, [control, setter, inverted](RadioControlsController& self) {
            if (const auto radio = self.radio()) {
                ((*radio).*setter)(control->state() != inverted ? 1 : 0);
            }
        });
    };
    auto slider = [&](Slider* control, Setter setter) {
        onAction(control, weak, [control, setter](RadioControlsController& self) {
            if (const auto radio = self.radio()) {
                ((*radio).*setter)(std::max(0, static_cast<int>(control->doubleValue())));
            }
        });
    };
    auto field = [&](TextField* control, Setter setter) {
        onAction(control, weak, [control, setter](RadioControlsController& self) {
            if (const auto radio = self.radio()) {
                ((*radio).*setter)(control->intValue());
            }
        });
    };

    box(c.radioPhoneMonitorCheckBox, &Radio::setPhMonitor);
    box(c.radioTxEnabledCheckBox[0], &Radio::setTx1Enabled);
    box(c.radioTxEnabledCheckBox[1], &Radio::setTx2Enabled);
    box(c.radioTxEnabledCheckBox[2], &Radio::setTx3Enabled);
    box(c.radioAccTxDelayCheckBox, &Radio::setAccTxEnabled);
    box(c.radioSpeakerMuteCheckBox, &Radio::setMasterSpeakerMute, true);
    box(c.radioHeadsetMuteCheckBox, &Radio::setMasterHeadsetMute, true);
    box(c.radioCompanderEnabledCheckBox, &Radio::setCompanderEnabled);
    box(c.radioMicBiasEnabledCheckBox, &Radio::setMicBias);
    box(c.radioMicBoostEnabledCheckBox, &Radio::setMicBoost);
    box(c.atuCheckBox, &Radio::setAtuMemoriesEnabled);
    box(c.txInWaterfallCheckBox, &Radio::setTxInWaterfall);
    box(c.txCheckBox, &Radio::setTxInhibit, true);
    box(c.fullDuplexEnabledCheckBox, &Radio::setFullDuplexEnabled);
    box(c.txDaxEnabledCheckBox, &Radio::setTxDaxEnabled);
    box(c.radioSpeechProcCheckBox, &Radio::setSpeechProcEnabled);
    box(c.radioVoxEnabledCheckBox, &Radio::setVoxEnabled);
    box(c.radioCwIambicEnabledCheckBox, &Radio::setCwIambicEnabled);
    box(c.radioCwSwapPaddlesCheckBox, &Radio::setCwSwapPaddles);
    box(c.radioCwBreakInCheckBox, &Radio::setCwBreakinEnabled);
    box(c.radioBinauralRxCheckBox, &Radio::setBinauralRx);
    box(c.radioCwSideToneEnabledCheckBox, &Radio::setSidetone);

    slider(c.radioPhoneMonitorGainSlider, &Radio::setMonitorPHGain);
    slider(c.radioHeadsetVolumeSlider, &Radio::setMasterHeadsetAfGain);
    slider(c.radioMicLevelSlider, &Radio::setMicLevel);
    slider(c.radioCompanderLevelSlider, &Radio::setCompanderLevel);
    slider(c.atuPowerSlider, &Radio::setTunePowerLevel);
    slider(c.powerSlider, &Radio::setRfPowerLevel);
    slider(c.amCarrierSlider, &Radio::setAmCarrierLevel);
    slider(c.radioVoxLevelSlider, &Radio::setVoxLevel);
    slider(c.radioVoxDelaySlider, &Radio::setVoxDelay);
    slider(c.radioCwPitchSlider, &Radio::setCwPitch);
    slider(c.radioCwSpeedSlider, &Radio::setCwSpeed);
    slider(c.radioCwBreakInDelaySlider, &Radio::setCwBreakinDelay);
    slider(c.radioCwSideToneGainSlider, &Radio::setSidetoneGain);
    slider(c.radioCwSideTonePanSlider, &Radio::setSidetonePan);
    for (Slider* control :
         {c.radioCwPitchSlider, c.radioCwSpeedSlider, c.radioCwSideToneGainSlider}) {
        onAction(control, weak, [](RadioControlsController& self) {
            const auto h = self.host();
            if (h && self.controls_.remoteAudioCheckBox->state()) {
                h->sideToneParametersChanged();
            }
        });
    }

    field(c.radioTxDelayTexts[0], &Radio::setTx1Delay);
    field(c.radioTxDelayTexts[1], &Radio::setTx2Delay);
    field(c.radioTxDelayTexts[2], &Radio::setTx3Delay);
    field(c.radioTxDelayText, &Radio::setTxDelay);
    field(c.radioAccTxDelayText, &Radio::setAccTxDelay);

    onAction(c.radioSyncCWXCheckBox, weak, [](RadioControlsController& self) {
        if (const auto radio = self.radio()) {
            radio->syncCWX.set(self.controls_.radioSyncCWXCheckBox->state() ? 1 : 0);
        }
    });
    onAction(c.radioSpeechProcPopup, weak, [](RadioControlsController& self) {
        if (const auto radio = self.radio()) {
            radio->setSpeechProcLevel(self.controls_.radioSpeechProcPopup->indexOfSelectedItem());
        }
    });
    onAction(c.radioCwIambicModePopup, weak, [](RadioControlsController& self) {
        if (const auto radio = self.radio()) {
            radio->setCwIambicMode(self.controls_.radioCwIambicModePopup->title());
        }
    });
    onAction(c.radioMaxPowerLevelText, weak,
             [](RadioControlsController& self) { self.radioMaxPowerLevelTextChanged(); });
    onAction(c.transmitFilterLoStepper, weak,
             [](RadioControlsController& self) { self.radioFilterStepperChanged(false); });
    onAction(c.transmitFilterHiStepper, weak,
             [](RadioControlsController& self) { self.radioFilterStepperChanged(true); });
    onAction(c.micListPopup, weak,
             [](RadioControlsController& self) { self.micListPopupChanged(); });
    onAction(c.amplifierInterlockPopup, weak,
             [](RadioControlsController& self) { self.amplifierInterlockPopupChanged(); });
    onAction(c.radioSpeakerVolumeSlider, weak,
             [](RadioControlsController& self) { self.radioSpeakerVolumeSliderChanged(); });
    onAction(c.stationNameText, weak,
             [](RadioControlsController& self) { self.stationNameTextChanged(); });
    onAction(c.tuneModePopup, weak,
             [](RadioControlsController& self) { self.tuneModePopupChanged(); });
}

void RadioControlsController::connectTransmitActions() {
    const std::weak_ptr<RadioControlsController> weak = weak_from_this();
    onAction(controls_.transmitButton, weak,
             [](RadioControlsController& self) { self.transmitButtonPressed(); });
    onAction(controls_.tuneButton, weak,
             [](RadioControlsController& self) { self.tuneButtonPressed(); });
    auto menu = [weak](void (RadioControlsController::*action)()) {
        return [weak, action](MenuItem&) {
            if (const auto self = weak.lock()) {
                ((*self).*action)();
            }
        };
    };
    controls_.moxMenuItem->setAction(menu(&RadioControlsController::moxMenuSelected));
    controls_.voxMenuItem->setAction(menu(&RadioControlsController::voxMenuItemSelected));
    controls_.tuneMenuItem->setAction(menu(&RadioControlsController::tuneMenuSelected));
}

// The highest power the radio may send, in percent.
void RadioControlsController::radioMaxPowerLevelTextChanged() {
    if (const auto radio = this->radio()) {
        radio->setMaxPowerLevel(std::clamp(controls_.radioMaxPowerLevelText->intValue(), 0, 100));
    }
}

void RadioControlsController::radioFilterStepperChanged(bool high) {
    const auto radio = this->radio();
    if (!radio) {
        return;
    }
    const Stepper* stepper =
        high ? controls_.transmitFilterHiStepper : controls_.transmitFilterLoStepper;
    const std::string hz = std::to_string(transmitFilterStep(stepper->doubleValue()));
    if (high) {
        radio->setTransmitFilterHi(hz);
    } else {
        radio->setTransmitFilterLo(hz);
    }
}

// The microphone input of the radio; the choice is kept for the kind of audio in use.
void RadioControlsController::micListPopupChanged() {
    const auto radio = this->radio();
    const std::string title = controls_.micListPopup->title();
    if (!radio || title.empty()) {
        return;
    }
    radio->setMicSelection(title);
    adjustRemoteAudioControls();
    Defaults::standard().set(
        controls_.remoteAudioCheckBox->state() ? "mac_mic_source" : "radio_mic_source", title);
}

void RadioControlsController::amplifierInterlockPopupChanged() {
    const std::string title = controls_.amplifierInterlockPopup->title();
    log("amplifierInterlockPopupChanged:[{}]", title);
    if (const auto radio = this->radio()) {
        radio->cmdSetAmplifier(title == "Operate");
    }
}

// With remote audio on, the speaker level is the computer's playback volume, and the radio is
// told nothing; otherwise it is the radio's speaker gain.
void RadioControlsController::radioSpeakerVolumeSliderChanged() {
    const auto radio = this->radio();
    if (!radio) {
        return;
    }
    const int volume = static_cast<int>(controls_.radioSpeakerVolumeSlider->doubleValue());
    if (controls_.remoteAudioCheckBox->state()) {
        if (const auto h = host()) {
            h->setRemoteAudioVolume(volume);
        }
        return;
    }
    radio->setMasterSpeakerAfGain(volume);
    Defaults::standard().set("local_audio_volume", PlistValue(std::int64_t{volume}));
}

void RadioControlsController::stationNameTextChanged() {
    const auto radio = this->radio();
    const auto instance = radio ? radio->radioInstance() : nullptr;
    if (!instance || !instance->supportsV3_API) {
        return;
    }
    const std::string name = strings::sanitize(controls_.stationNameText->stringValue());
    radio->cmdSetStationName(name);
    Defaults::standard().set("multidoro_station_name", name);
}

// No radio needed: the tune button's tool tip names the mode, which is kept.
void RadioControlsController::tuneModePopupChanged() {
    const std::string title = controls_.tuneModePopup->title();
    if (title.empty()) {
        return;
    }
    controls_.tuneButton->setToolTip(QString::fromStdString(title));
    Defaults::standard().set("tune_mode", title);
}

// The radio transmits while the transmit button is on; it is told only when that differs.
void RadioControlsController::transmitButtonPressed() {
    const auto radio = this->radio();
    if (!radio) {
        return;
    }
    const bool on = controls_.transmitButton->state();
    if (radio->txState().value_or(0) != int(on)) {
        radio->setTxState(on ? 1 : 0);
    }
}

// The tune button's state goes off again a little after an automatic tune was started.
void RadioControlsController::autoTuneStarted() {
    if (const auto radio = this->radio()) {
        radio->cmdSetAtuTune(1);
    }
    DispatchQueue::main()->after(kAutoTuneButtonOff, [weak = weak_from_this()] {
        if (const auto self = weak.lock()) {
            self->controls_.tuneButton->setState(false);
        }
    });
}

void RadioControlsController::tuneButtonPressed() {
    const auto radio = this->radio();
    if (!radio) {
        return;
    }
    const std::string mode = controls_.tuneModePopup->title();
    log("atuTuneButtonPressed tuneButtonPressed:[{}] [{}]", int(controls_.tuneButton->state()),
        mode);
    if (mode == "Auto Tune") {
        autoTuneStarted();
    } else if (mode == "Manual Tune") {
        if (radio->tuneEnabled().value_or(0) != 0) {
            doroManualTuneInProgress_ = false;
            controls_.tuneButton->setImage(greyBulb_);
            controls_.tuneButton->setToolTip(QStringLiteral("Manual Tune done"));
            radio->setTuneEnabled(0);
        } else {
            doroManualTuneInProgress_ = true;
            controls_.tuneButton->setImage(redBulb_);
            controls_.tuneButton->setToolTip(QStringLiteral("Manual Tune in progress"));
            radio->cmdSetBypass();
            radio->setTuneEnabled(1);
        }
    }
}

void RadioControlsController::moxMenuSelected() {
    if (const auto radio = this->radio()) {
        radio->setTxState(doroInTransmit_ ? 0 : 1);
    }
}

void RadioControlsController::voxMenuItemSelected() {
    if (const auto radio = this->radio()) {
        radio->setVoxEnabled(radio->voxEnabled().value_or(0) != 0 ? 0 : 1);
    }
}

// The tune menu starts an automatic tune only on a radio with an ATU; a manual tune ends while
// the radio transmits and starts otherwise.
void RadioControlsController::tuneMenuSelected() {
    const auto radio = this->radio();
    if (!radio) {
        return;
    }
    log("tuneMenuSelected");
    const std::string mode = controls_.tuneModePopup->title();
    if (mode == "Auto Tune") {
        if (radio->atuPresent().value_or(0) != 0) {
            autoTuneStarted();
        }
    } else if (mode == "Manual Tune") {
        if (doroInTransmit_) {
            controls_.tuneButton->setImage(greyBulb_);
            controls_.tuneButton->setToolTip(QStringLiteral("Manual Tune done"));
            radio->setTuneEnabled(0);
        } else {
            controls_.tuneButton->setImage(redBulb_);
            controls_.tuneButton->setToolTip(QStringLiteral("Manual Tune in progress"));
            radio->cmdSetBypass();
            radio->setTuneEnabled(1);
        }
    }
}

}  // namespace vm
