// The main window's slice pop-up, band button lights and editor, the steppers and the heads-up
// RIT and XIT buttons.
#include "app/control/SliceLookups.h"
#include "app/panels/TuningController.h"
#include "app/panels/TuningHost.h"
#include "app/windows/HudWindow.h"
#include "app/windows/MainControlsBar.h"
#include "display/Panafall.h"
#include "objects/Slice.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"
#include "platform/ui/ImageButton.h"

#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace vm {

namespace {

// The stepper's value as the step of one click; the stepper goes back to 0 for the next one.
double takeClick(Stepper& stepper) {
    const double step = stepper.doubleValue();
    stepper.setDoubleValue(0);
    return step;
}

int clampVolume(double volume) { return int(std::clamp(volume, 0.0, 100.0)); }

}  // namespace

void TuningController::bandButtonEdit(const std::string& band) {
    log("bandButtonPressed:[{}]", band);
    if (const auto host = host_.lock()) {
        host->editBandStack(band + "M");
    }
}

void TuningController::adjustTuningControls(bool radioOpen) {
    MainControlsBar& c = controls_;
    for (QWidget* control : std::initializer_list<QWidget*>{
             c.vfo_number, c.vfo_mhz, c.vfoSteppir, c.vfo_mode, c.vfo_alt_mhz, c.vfoAltSteppir,
             c.split_popup, c.volumeStepper, c.panBandwidthStepper}) {
        control->setEnabled(radioOpen);
    }
    for (QPushButton* button : c.bandButtons) {
        button->setEnabled(radioOpen);
    }
    if (hud_) {
        hud_->hudRitButton->setEnabled(radioOpen);
        hud_->hudXitButton->setEnabled(radioOpen);
    }
}

void TuningController::adjustBandButtons(const std::string& band) {
    if (band.empty()) {
        return;
    }
    litBand_ = band;
    for (std::size_t i = 0; i < MainControlsBar::kBands.size(); ++i) {
        controls_.bandButtons[i]->setChecked(band == MainControlsBar::kBands[i]);
    }
}

void TuningController::loadSliceTitles() {
    const auto host = host_.lock();
    PopUpButton& popup = *controls_.vfo_number;
    const QSignalBlocker quiet(popup);
    popup.clear();
    if (!host) {
        return;
    }
    for (const auto& slice : host->clientSlices()) {
        popup.addItem(QString::fromStdString(slice->sliceTitle().value_or("")));
    }
    if (const auto active = host->activeVFO()) {
        popup.selectItemWithTitle(active->sliceTitle().value_or(""));
    }
}

void TuningController::vfoNumberChanged() {
    const auto host = host_.lock();
    if (!host || !host->radioSessionUp()) {
        return;
    }
    const std::string title = controls_.vfo_number->title();
    for (const auto& slice : host->clientSlices()) {
        if (title.empty() || slice->sliceTitle().value_or("") != title) {
            continue;
        }
        slice->setSliceActive(true);
        const double megahertz = lookups::sliceMegahertz(*slice);
        if (const auto pan = host->panForFrequency(megahertz)) {
            pan->setCenter(static_cast<float>(megahertz));
        }
        slice->setSliceTxEnabled(true);
        return;
    }
}

void TuningController::stepSlice(bool alternate) {
    const auto host = host_.lock();
    Stepper& stepper = alternate ? *controls_.vfoAltSteppir : *controls_.vfoSteppir;
    const double clicks = takeClick(stepper);
    if (!host || clicks == 0) {
        return;
    }
    // The modifier keys are those of the click, read before the step is queued.
    const double hertz = clicks * host->getFrequencyKeyModifier();
    DispatchQueue::main()->async([weak = host_, hertz, alternate] {
        if (const auto later = weak.lock()) {
            later->fineTuneHz(hertz, alternate ? later->alternateVFO() : later->activeVFO());
        }
    });
}

void TuningController::vfoSteppirChanged() { stepSlice(false); }

void TuningController::vfoAltSteppirChanged() { stepSlice(true); }

void TuningController::panBandwidthStepperPressed() {
    const double clicks = takeClick(*controls_.panBandwidthStepper);
    DispatchQueue::main()->async([weak = host_, clicks] {
        const auto host = weak.lock();
        const auto pan = host ? host->panUnderHud() : nullptr;
        if (!pan || clicks == 0) {
            return;
        }
        // A span of zero or less is no span: the pan keeps the one it has.
        const double span = pan->bandwidth().value_or(0) + clicks / 100.0;
        if (span > 0) {
            pan->setBandwidth(static_cast<float>(span));
        }
    });
}

void TuningController::volumeStepperChanged() {
    const double step = std::trunc(takeClick(*controls_.volumeStepper));
    DispatchQueue::main()->async([weak = host_, step] {
        const auto host = weak.lock();
        if (!host || step == 0) {
            return;
        }
        if (host->remoteAudioOn()) {
            if (const auto volume = host->remoteAudioVolume()) {
                host->setRemoteAudioVolume(clampVolume(*volume + step));
            }
            return;
        }
        if (!host->openedRadio()) {
            return;
        }
        if (const auto speaker = host->radioSpeakerVolume()) {
            host->setRadioSpeakerVolume(clampVolume(std::trunc(*speaker) + step));
        }
        if (const auto headset = host->radioHeadsetVolume()) {
            host->setRadioHeadsetVolume(clampVolume(std::trunc(*headset) + step));
        }
    });
}

void TuningController::hudRitButtonChanged() {
    const auto host = host_.lock();
    if (const auto active = host ? host->activeVFO() : nullptr) {
        const bool on = !active->sliceRitEnabled().value_or(false);
        active->setSliceRitEnabled(on);
        if (!on) {
            active->setSliceRitOffset(0);
        }
    }
}

void TuningController::hudXitButtonChanged() {
    const auto host = host_.lock();
    if (const auto active = host ? host->activeVFO() : nullptr) {
        const bool on = !active->sliceXitEnabled().value_or(false);
        active->setSliceXitEnabled(on);
        if (!on) {
            active->setSliceXitOffset(0);
        }
    }
}

}  // namespace vm
