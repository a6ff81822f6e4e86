// The panel's actions: the operator's change of a control becomes the matching setter of the
// panel's slice, which stores the value and sends the radio's command.
//
// Check boxes and pop-ups call their setter at once. The level sliders, the filter, RIT and XIT
// steppers, the squelch slider and the AGC-T slider of panels B to D queue their setter on the
// main queue and read the control when it runs, so a quick drag sends the position the control
// has reached by then. Nothing sets a control from the slice here: the slice observers do that.
#include "app/panels/SlicePanelController.h"

#include "app/control/SliceEntries.h"
#include "app/memory/FilterPresets.h"
#include "app/panels/TypedFrequency.h"
#include "app/windows/SlicePanel.h"
#include "objects/Slice.h"
#include "platform/core/Defaults.h"
#include "platform/core/DispatchQueue.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace vm {

namespace {

// A slider's or stepper's position as the whole number the radio takes.
std::int64_t signedValue(double position) { return std::llround(position); }
// Levels, volume and pan are never below 0.
std::int64_t unsignedValue(double position) {
    return std::max<std::int64_t>(0, std::llround(position));
}

// The radio's word for a pop-up's title: the titles are its values in upper case.
std::string lowerTitle(const PopUpButton& popup) {
    std::string title = popup.title();
    std::transform(title.begin(), title.end(), title.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return title;
}

}  // namespace

// The RIT and XIT pairs: a lamp button that switches the offset on or off and a stepper for it.
struct SlicePanelController::OffsetControls {
    ImageButton* SlicePanel::*button;
    Stepper* SlicePanel::*stepper;
    Observed<Flag> Slice::*enabled;
    void (Slice::*setEnabled)(bool);
    void (Slice::*setOffset)(std::int64_t);
};

const SlicePanelController::OffsetControls SlicePanelController::kRit{
    &SlicePanel::ritButton, &SlicePanel::ritStepper, &Slice::sliceRitEnabled,
    &Slice::setSliceRitEnabled, &Slice::setSliceRitOffset};
const SlicePanelController::OffsetControls SlicePanelController::kXit{
    &SlicePanel::xitButton, &SlicePanel::xitStepper, &Slice::sliceXitEnabled,
    &Slice::setSliceXitEnabled, &Slice::setSliceXitOffset};

namespace {

template <class Control, class Signal>
void connectAction(const std::shared_ptr<SlicePanelController>& controller, Control* control,
                   Signal signal, void (SlicePanelController::*action)()) {
    QObject::connect(control, signal, control,
                     [weak = std::weak_ptr<SlicePanelController>(controller), action] {
                         if (const auto self = weak.lock()) {
                             ((*self).*action)();
                         }
                     });
}

}  // namespace

void SlicePanelController::connectActions() {
    using C = SlicePanelController;
    SlicePanel& p = *panel_;
    auto on = [self = shared_from_this()](auto* control, auto signal, void (C::*action)()) {
        connectAction(self, control, signal, action);
    };
    on(p.muteCheckBox, &CheckBox::action, &C::sliceMuteCheckBoxChanged);
    on(p.volumeSlider, &Slider::action, &C::volumeSliderChanged);
    on(p.nrCheckBox, &CheckBox::action, &C::nrCheckBoxChanged);
    on(p.nrSlider, &Slider::action, &C::nrSliderChanged);
    on(p.nbCheckBox, &CheckBox::action, &C::nbCheckBoxChanged);
    on(p.nbSlider, &Slider::action, &C::nbSliderChanged);
    on(p.anfCheckBox, &CheckBox::action, &C::anfCheckBoxChanged);
    on(p.anfSlider, &Slider::action, &C::anfSliderChanged);
    on(p.apfCheckBox, &CheckBox::action, &C::apfCheckBoxChanged);
    on(p.apfSlider, &Slider::action, &C::apfSliderChanged);
    on(p.agcModePopup, &PopUpButton::action, &C::agcPopupChanged);
    on(p.agctSlider, &Slider::action, &C::agctSliderChanged);
    on(p.panSlider, &Slider::action, &C::panSliderChanged);
    on(p.wideCheckBox, &CheckBox::action, &C::wideBoxChanged);
    on(p.filterHiStepper, &Stepper::action, &C::filterHiStepperChanged);
    on(p.filterLoStepper, &Stepper::action, &C::filterLoStepperChanged);
    on(p.rxAntPopup, &PopUpButton::action, &C::rxPopupChanged);
    on(p.txAntPopup, &PopUpButton::action, &C::txPopupChanged);
    on(p.recordButton, &ImageButton::action, &C::recordEnabledButtonChanged);
    on(p.playbackButton, &ImageButton::action, &C::playBackEnabledButtonChanged);
    on(p.qrTransmitButton, &CheckBox::action, &C::qrTransmitButtonChanged);
    on(p.filterPresetPopup, &PopUpButton::action, &C::filterPresetPopupChanged);
    on(p.ritButton, &ImageButton::action, &C::ritButtonChanged);
    on(p.ritStepper, &Stepper::action, &C::ritStepperChanged);
    on(p.xitButton, &ImageButton::action, &C::xitButtonChanged);
    on(p.xitStepper, &Stepper::action, &C::xitStepperChanged);
    on(p.lockedCheckBox, &CheckBox::action, &C::sliceLockedCheckBoxChanged);
    on(p.squelchCheckBox, &CheckBox::action, &C::squelchCheckBoxChanged);
    on(p.squelchSlider, &Slider::action, &C::squelchSliderChanged);
    on(p.fmToneBurstCheckBox, &CheckBox::action, &C::fmToneBurstEnabledCheckBoxChanged);
    on(p.fmToneModePopup, &PopUpButton::action, &C::fmToneModePopupChanged);
    on(p.fmToneFreqPopup, &PopUpButton::action, &C::fmToneFreqPopupChanged);
    on(p.repeaterOffsetDirPopup, &PopUpButton::action, &C::repeaterOffsetDirPopupChanged);
    // The field's action is the end of an edit (Return, Tab or leaving the field).
    on(p.fmRepeaterOffsetText, &TextField::endEditing, &C::fmRepeaterOffsetTextChanged);
    on(p.daxPopup, &PopUpButton::action, &C::daxPopupChanged);
    on(p.freqText, &TextField::endEditing, &C::freqTextChanged);
}

void SlicePanelController::atOnce(const Apply& apply) {
    if (const auto slice = panelSlice()) {
        apply(*panel_, *slice);
    }
}

void SlicePanelController::deferred(Apply apply) {
    const auto slice = panelSlice();
    if (!slice) {
        return;
    }
    DispatchQueue::main()->async([weak = weak_from_this(), slice, apply = std::move(apply)] {
        if (const auto self = weak.lock()) {
            apply(*self->panel_, *slice);
        }
    });
}

// A pop-up whose title is sent as the radio's word; nothing while no item is chosen.
void SlicePanelController::sendLowerTitle(PopUpButton* SlicePanel::*popup,
                                          void (Slice::*setter)(const std::string&)) {
    atOnce([popup, setter](SlicePanel& p, Slice& slice) {
        const std::string word = lowerTitle(*(p.*popup));
        if (!word.empty()) {
            (slice.*setter)(word);
        }
    });
}

// Switching off clears the offset first, so the radio never keeps a stale offset for later.
void SlicePanelController::offsetButtonChanged(const OffsetControls& c) {
    atOnce([&c](SlicePanel& p, Slice& slice) {
        const bool on = (p.*c.button)->state();
        if (!on) {
            (slice.*c.setOffset)(0);
        }
        (slice.*c.setEnabled)(on);
    });
}

// Stepping the offset switches it on at once; the offset follows from the queue.
void SlicePanelController::offsetStepperChanged(const OffsetControls& c) {
    if (const auto slice = panelSlice(); slice && !(*slice.*c.enabled)().value_or(false)) {
        (*slice.*c.setEnabled)(true);
    }
    deferred([&c](SlicePanel& p, Slice& slice) {
        (slice.*c.setOffset)(signedValue((p.*c.stepper)->doubleValue()));
    });
}

// --- Audio. A ticked mute box means the audio is on.
void SlicePanelController::sliceMuteCheckBoxChanged() {
    atOnce([](SlicePanel& p, Slice& s) { s.setSliceMuteEnabled(!p.muteCheckBox->state()); });
}
void SlicePanelController::volumeSliderChanged() {
    atOnce([](SlicePanel& p, Slice& s) {
        s.setSliceAudioLevel(unsignedValue(p.volumeSlider->doubleValue()));
    });
}
void SlicePanelController::panSliderChanged() {
    atOnce([](SlicePanel& p, Slice& s) {
        s.setSlicePanControl(unsignedValue(p.panSlider->doubleValue()));
    });
}

// --- Noise reduction, blanker, notch and peaking filters.
void SlicePanelController::nrCheckBoxChanged() {
    atOnce([](SlicePanel& p, Slice& s) { s.setSliceNrEnabled(p.nrCheckBox->state() ? 1 : 0); });
}
void SlicePanelController::nrSliderChanged() {
    deferred([](SlicePanel& p, Slice& s) {
        s.setSliceNrLevel(unsignedValue(p.nrSlider->doubleValue()));
    });
}
void SlicePanelController::nbCheckBoxChanged() {
    atOnce([](SlicePanel& p, Slice& s) { s.setSliceNbEnabled(p.nbCheckBox->state()); });
}
void SlicePanelController::nbSliderChanged() {
    deferred([](SlicePanel& p, Slice& s) {
        s.setSliceNbLevel(unsignedValue(p.nbSlider->doubleValue()));
    });
}
void SlicePanelController::anfCheckBoxChanged() {
    atOnce([](SlicePanel& p, Slice& s) { s.setSliceAnfEnabled(p.anfCheckBox->state() ? 1 : 0); });
}
void SlicePanelController::anfSliderChanged() {
    deferred([](SlicePanel& p, Slice& s) {
        s.setSliceAnfLevel(unsignedValue(p.anfSlider->doubleValue()));
    });
}
void SlicePanelController::apfCheckBoxChanged() {
    atOnce([](SlicePanel& p, Slice& s) { s.setSliceApfEnabled(p.apfCheckBox->state() ? 1 : 0); });
}
void SlicePanelController::apfSliderChanged() {
    deferred([](SlicePanel& p, Slice& s) {
        s.setSliceApfLevel(unsignedValue(p.apfSlider->doubleValue()));
    });
}
void SlicePanelController::wideBoxChanged() {
    atOnce([](SlicePanel& p, Slice& s) { s.setSliceWide(p.wideCheckBox->state()); });
}

// --- AGC. The AGC-T slider sets the off level while the AGC is off, else the threshold.
void SlicePanelController::agcPopupChanged() {
    sendLowerTitle(&SlicePanel::agcModePopup, &Slice::setSliceAgcMode);
}
void SlicePanelController::agctSliderChanged() {
    Apply apply = [](SlicePanel& p, Slice& s) {
        const std::int64_t level = unsignedValue(p.agctSlider->doubleValue());
        if (s.sliceAgcOff()) {
            s.setSliceAgcOffLevel(level);
        } else {
            s.setSliceAgcThreshold(level);
        }
    };
    // Panel A's slider sends at once, the other panels' through the queue.
    if (index_ == 0) {
        atOnce(apply);
    } else {
        deferred(std::move(apply));
    }
}

// --- Filter: the edges one at a time, or both from a preset, low edge first.
void SlicePanelController::filterHiStepperChanged() {
    deferred([](SlicePanel& p, Slice& s) {
        s.setSliceFilterHi(signedValue(p.filterHiStepper->doubleValue()));
    });
}
void SlicePanelController::filterLoStepperChanged() {
    deferred([](SlicePanel& p, Slice& s) {
        s.setSliceFilterLo(signedValue(p.filterLoStepper->doubleValue()));
    });
}
void SlicePanelController::filterPresetPopupChanged() {
    const auto slice = panelSlice();
    if (!slice) {
        return;
    }
    const std::string title = panel_->filterPresetPopup->title();
    if (title.empty()) {
        return;
    }
    if (const auto preset = presets_.presetForTitle(title, slice->sliceMode().value_or(""))) {
        slice->setSliceFilterLo(preset->lo);
        slice->setSliceFilterHi(preset->hi);
    } else {
        // "Other" changes no filter: the pop-up shows again what the slice has.
        setPresetPopupBasedOnFilter(slice);
    }
}

// --- Antennas.
void SlicePanelController::rxPopupChanged() {
    sendLowerTitle(&SlicePanel::rxAntPopup, &Slice::setSliceRxAnt);
}
void SlicePanelController::txPopupChanged() {
    sendLowerTitle(&SlicePanel::txAntPopup, &Slice::setSliceTxAnt);
}

// --- Quick record and playback. With the panel's QR transmit box on, recording makes the slice
// the transmit slice and keys the radio for as long as the recording runs.
void SlicePanelController::recordEnabledButtonChanged() {
    atOnce([this](SlicePanel& p, Slice& s) {
        const bool recording = p.recordButton->state();
        s.setSliceRecordEnabled(recording);
        if (recording) {
            recordingStarted_ = std::chrono::system_clock::now();
        }
        if (p.qrTransmitButton->state()) {
            if (recording) {
                s.setSliceTxEnabled(true);
            }
            if (const auto host = host_.lock()) {
                host->setTxState(recording);
            }
        }
    });
}
// The slice's own state decides, whatever the button shows.
void SlicePanelController::playBackEnabledButtonChanged() {
    atOnce([this](SlicePanel&, Slice& s) {
        s.setSlicePlaybackEnabled(!s.slicePlaybackEnabled().value_or(false));
        if (s.slicePlaybackEnabled().value_or(false)) {
            playbackStarted_ = std::chrono::system_clock::now();
        }
    });
}
void SlicePanelController::qrTransmitButtonChanged() {
    atOnce([this](SlicePanel& p, Slice&) {
        Defaults::standard().set(qrTransmitKey(), p.qrTransmitButton->state());
    });
}

// --- RIT and XIT.
void SlicePanelController::ritButtonChanged() { offsetButtonChanged(kRit); }
void SlicePanelController::ritStepperChanged() { offsetStepperChanged(kRit); }
void SlicePanelController::xitButtonChanged() { offsetButtonChanged(kXit); }
void SlicePanelController::xitStepperChanged() { offsetStepperChanged(kXit); }

// --- Lock and squelch.
void SlicePanelController::sliceLockedCheckBoxChanged() {
    atOnce([](SlicePanel& p, Slice& s) { s.setSliceLocked(p.lockedCheckBox->state()); });
}
void SlicePanelController::squelchCheckBoxChanged() {
    atOnce([](SlicePanel& p, Slice& s) { s.setSquelchEnabled(p.squelchCheckBox->state()); });
}
void SlicePanelController::squelchSliderChanged() {
    deferred([](SlicePanel& p, Slice& s) {
        s.setSquelchLevel(signedValue(p.squelchSlider->doubleValue()));
    });
}

// --- FM tone, repeater and DAX. A tone, offset or channel that does not read as a number in its
// range leaves the slice as it is.
void SlicePanelController::fmToneBurstEnabledCheckBoxChanged() {
    atOnce(
        [](SlicePanel& p, Slice& s) { s.setFmToneBurstEnabled(p.fmToneBurstCheckBox->state()); });
}
void SlicePanelController::fmToneModePopupChanged() {
    sendLowerTitle(&SlicePanel::fmToneModePopup, &Slice::setFmToneMode);
}
void SlicePanelController::fmToneFreqPopupChanged() {
    atOnce([](SlicePanel& p, Slice& s) {
        if (const auto hertz = entries::toneFrequency(p.fmToneFreqPopup->title())) {
            s.setFmToneFreq(*hertz);
        }
    });
}
void SlicePanelController::repeaterOffsetDirPopupChanged() {
    sendLowerTitle(&SlicePanel::repeaterOffsetDirPopup, &Slice::setRepeaterOffsetDir);
}
void SlicePanelController::fmRepeaterOffsetTextChanged() {
    atOnce([](SlicePanel& p, Slice& s) {
        if (const auto megahertz = entries::repeaterOffset(p.fmRepeaterOffsetText->stringValue())) {
            s.setFmRepeaterOffset(*megahertz);
        }
    });
}
void SlicePanelController::daxPopupChanged() {
    atOnce([](SlicePanel& p, Slice& s) {
        if (const auto channel = entries::daxChannel(p.daxPopup->title())) {
            s.setSliceDax(*channel);
        }
    });
}

void SlicePanelController::freqTextChanged() {
    atOnce([](SlicePanel& panel, Slice& slice) { tuneToTypedFrequency(slice, *panel.freqText); });
}

}  // namespace vm
