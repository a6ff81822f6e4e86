// The slice panels' actions: the user's change of a control of panel A to D becomes the matching
// setter of slice 0 to 3, which stores the value and sends the radio's command. Each action is
// written once with the panel's index; connectSlicePanelActions ties it to the four panels.
//
// Check boxes and pop-ups call their setter at once. The level sliders, the filter, RIT and XIT
// steppers, the squelch slider and the AGC-T slider of panels B to D queue their setter on the
// main queue and read the control when it runs, so a quick drag sends the position the control
// has reached by then. Nothing sets a control from the slice here: the slice observers do that.
#include "app/shell/AppDelegate.h"

#include "app/control/SliceEntries.h"
#include "app/windows/SlicePanel.h"
#include "objects/Slice.h"
#include "platform/core/Defaults.h"
#include "radio/Radio.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace vm {

namespace {

const char* const kQrTransmitKeys[4] = {
    "transmit_A_while_recording_playback", "transmit_B_while_recording_playback",
    "transmit_C_while_recording_playback", "transmit_D_while_recording_playback"};
Date AppDelegate::*const kRecordingStarted[4] = {
    &AppDelegate::recordingAStarted, &AppDelegate::recordingBStarted,
    &AppDelegate::recordingCStarted, &AppDelegate::recordingDStarted};
Date AppDelegate::*const kPlaybackStarted[4] = {
    &AppDelegate::playbackAStarted, &AppDelegate::playbackBStarted, &AppDelegate::playbackCStarted,
    &AppDelegate::playbackDStarted};

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

using Apply = std::function<void(SlicePanel&, Slice&)>;

// The panel's slice: slices 0 to 3 are panels A to D.
std::shared_ptr<Slice> sliceOfPanel(const AppDelegate& self, int panel) {
    switch (panel) {
        case 0: return self.getSliceA();
        case 1: return self.getSliceB();
        case 2: return self.getSliceC();
        case 3: return self.getSliceD();
        default: return nullptr;
    }
}

// Calls `apply` with the panel and its slice now; nothing without the slice.
void atOnce(AppDelegate& self, int panel, const Apply& apply) {
    if (const auto slice = sliceOfPanel(self, panel)) {
        apply(*self.slicePanels[panel], *slice);
    }
}

// Looks the slice up now and calls `apply` with it later on the main queue, where it reads the
// control as it is then; nothing without the slice, or once the controller is gone.
void deferred(AppDelegate& self, int panel, Apply apply) {
    const auto slice = sliceOfPanel(self, panel);
    if (!slice) {
        return;
    }
    DispatchQueue::main()->async(
        [weak = self.weak_from_this(), slice, panel, apply = std::move(apply)] {
            if (const auto controller = weak.lock()) {
                apply(*controller->slicePanels[panel], *slice);
            }
        });
}

// A pop-up whose title is sent as the radio's word; nothing while no item is chosen.
void sendLowerTitle(AppDelegate& self, int panel, PopUpButton* SlicePanel::*popup,
                    void (Slice::*setter)(const std::string&)) {
    atOnce(self, panel, [popup, setter](SlicePanel& p, Slice& slice) {
        const std::string word = lowerTitle(*(p.*popup));
        if (!word.empty()) {
            (slice.*setter)(word);
        }
    });
}

// The RIT and XIT pairs: a lamp button that switches the offset on or off and a stepper for it.
struct OffsetControls {
    ImageButton* SlicePanel::*button;
    Stepper* SlicePanel::*stepper;
    Observed<Flag> Slice::*enabled;
    void (Slice::*setEnabled)(bool);
    void (Slice::*setOffset)(std::int64_t);
};
const OffsetControls kRit{&SlicePanel::ritButton, &SlicePanel::ritStepper, &Slice::sliceRitEnabled,
                          &Slice::setSliceRitEnabled, &Slice::setSliceRitOffset};
const OffsetControls kXit{&SlicePanel::xitButton, &SlicePanel::xitStepper, &Slice::sliceXitEnabled,
                          &Slice::setSliceXitEnabled, &Slice::setSliceXitOffset};

// Switching off clears the offset first, so the radio never keeps a stale offset for later.
void offsetButtonChanged(AppDelegate& self, int panel, const OffsetControls& c) {
    atOnce(self, panel, [&c](SlicePanel& p, Slice& slice) {
        const bool on = (p.*c.button)->state();
        if (!on) {
            (slice.*c.setOffset)(0);
        }
        (slice.*c.setEnabled)(on);
    });
}

// Stepping the offset switches it on at once; the offset follows from the queue.
void offsetStepperChanged(AppDelegate& self, int panel, const OffsetControls& c) {
    if (const auto slice = sliceOfPanel(self, panel);
        slice && !(*slice.*c.enabled)().value_or(false)) {
        (*slice.*c.setEnabled)(true);
    }
    deferred(self, panel, [&c](SlicePanel& p, Slice& slice) {
        (slice.*c.setOffset)(signedValue((p.*c.stepper)->doubleValue()));
    });
}

template <class Control, class Signal>
void connectAction(AppDelegate& self, Control* control, Signal signal,
                   void (AppDelegate::*action)(int), int panel) {
    QObject::connect(control, signal, control, [weak = self.weak_from_this(), action, panel] {
        if (const auto controller = weak.lock()) {
            ((*controller).*action)(panel);
        }
    });
}

}  // namespace

void AppDelegate::connectSlicePanelActions() {
    for (int panel = 0; panel < 4; ++panel) {
        SlicePanel& p = *slicePanels[panel];
        auto on = [&](auto* control, auto signal, void (AppDelegate::*action)(int)) {
            connectAction(*this, control, signal, action, panel);
        };
        on(p.muteCheckBox, &CheckBox::action, &AppDelegate::sliceMuteCheckBoxChanged);
        on(p.volumeSlider, &Slider::action, &AppDelegate::volumeSliderChanged);
        on(p.nrCheckBox, &CheckBox::action, &AppDelegate::nrCheckBoxChanged);
        on(p.nrSlider, &Slider::action, &AppDelegate::nrSliderChanged);
        on(p.nbCheckBox, &CheckBox::action, &AppDelegate::nbCheckBoxChanged);
        on(p.nbSlider, &Slider::action, &AppDelegate::nbSliderChanged);
        on(p.anfCheckBox, &CheckBox::action, &AppDelegate::anfCheckBoxChanged);
        on(p.anfSlider, &Slider::action, &AppDelegate::anfSliderChanged);
        on(p.apfCheckBox, &CheckBox::action, &AppDelegate::apfCheckBoxChanged);
        on(p.apfSlider, &Slider::action, &AppDelegate::apfSliderChanged);
        on(p.agcModePopup, &PopUpButton::action, &AppDelegate::agcPopupChanged);
        on(p.agctSlider, &Slider::action, &AppDelegate::agctSliderChanged);
        on(p.panSlider, &Slider::action, &AppDelegate::panSliderChanged);
        on(p.wideCheckBox, &CheckBox::action, &AppDelegate::wideBoxChanged);
        on(p.filterHiStepper, &Stepper::action, &AppDelegate::filterHiStepperChanged);
        on(p.filterLoStepper, &Stepper::action, &AppDelegate::filterLoStepperChanged);
        on(p.rxAntPopup, &PopUpButton::action, &AppDelegate::rxPopupChanged);
        on(p.txAntPopup, &PopUpButton::action, &AppDelegate::txPopupChanged);
        on(p.recordButton, &ImageButton::action, &AppDelegate::recordEnabledButtonChanged);
        on(p.playbackButton, &ImageButton::action, &AppDelegate::playBackEnabledButtonChanged);
        on(p.qrTransmitButton, &CheckBox::action, &AppDelegate::qrTransmitButtonChanged);
        on(p.filterPresetPopup, &PopUpButton::action, &AppDelegate::filterPresetPopupChanged);
        on(p.ritButton, &ImageButton::action, &AppDelegate::ritButtonChanged);
        on(p.ritStepper, &Stepper::action, &AppDelegate::ritStepperChanged);
        on(p.xitButton, &ImageButton::action, &AppDelegate::xitButtonChanged);
        on(p.xitStepper, &Stepper::action, &AppDelegate::xitStepperChanged);
        on(p.lockedCheckBox, &CheckBox::action, &AppDelegate::sliceLockedCheckBoxChanged);
        on(p.squelchCheckBox, &CheckBox::action, &AppDelegate::squelchCheckBoxChanged);
        on(p.squelchSlider, &Slider::action, &AppDelegate::squelchSliderChanged);
        on(p.fmToneBurstCheckBox, &CheckBox::action,
           &AppDelegate::fmToneBurstEnabledCheckBoxChanged);
        on(p.fmToneModePopup, &PopUpButton::action, &AppDelegate::fmToneModePopupChanged);
        on(p.fmToneFreqPopup, &PopUpButton::action, &AppDelegate::fmToneFreqPopupChanged);
        on(p.repeaterOffsetDirPopup, &PopUpButton::action,
           &AppDelegate::repeaterOffsetDirPopupChanged);
        // The field's action is the end of an edit (Return, Tab or leaving the field).
        on(p.fmRepeaterOffsetText, &TextField::endEditing,
           &AppDelegate::fmRepeaterOffsetTextChanged);
        on(p.daxPopup, &PopUpButton::action, &AppDelegate::daxPopupChanged);
    }
}

// --- Audio. A ticked mute box means the audio is on.
void AppDelegate::sliceMuteCheckBoxChanged(int panel) {
    atOnce(*this, panel,
           [](SlicePanel& p, Slice& s) { s.setSliceMuteEnabled(!p.muteCheckBox->state()); });
}
void AppDelegate::volumeSliderChanged(int panel) {
    atOnce(*this, panel, [](SlicePanel& p, Slice& s) {
        s.setSliceAudioLevel(unsignedValue(p.volumeSlider->doubleValue()));
    });
}
void AppDelegate::panSliderChanged(int panel) {
    atOnce(*this, panel, [](SlicePanel& p, Slice& s) {
        s.setSlicePanControl(unsignedValue(p.panSlider->doubleValue()));
    });
}

// --- Noise reduction, blanker, notch and peaking filters.
void AppDelegate::nrCheckBoxChanged(int panel) {
    atOnce(*this, panel,
           [](SlicePanel& p, Slice& s) { s.setSliceNrEnabled(p.nrCheckBox->state() ? 1 : 0); });
}
void AppDelegate::nrSliderChanged(int panel) {
    deferred(*this, panel, [](SlicePanel& p, Slice& s) {
        s.setSliceNrLevel(unsignedValue(p.nrSlider->doubleValue()));
    });
}
void AppDelegate::nbCheckBoxChanged(int panel) {
    atOnce(*this, panel,
           [](SlicePanel& p, Slice& s) { s.setSliceNbEnabled(p.nbCheckBox->state()); });
}
void AppDelegate::nbSliderChanged(int panel) {
    deferred(*this, panel, [](SlicePanel& p, Slice& s) {
        s.setSliceNbLevel(unsignedValue(p.nbSlider->doubleValue()));
    });
}
void AppDelegate::anfCheckBoxChanged(int panel) {
    atOnce(*this, panel,
           [](SlicePanel& p, Slice& s) { s.setSliceAnfEnabled(p.anfCheckBox->state() ? 1 : 0); });
}
void AppDelegate::anfSliderChanged(int panel) {
    deferred(*this, panel, [](SlicePanel& p, Slice& s) {
        s.setSliceAnfLevel(unsignedValue(p.anfSlider->doubleValue()));
    });
}
void AppDelegate::apfCheckBoxChanged(int panel) {
    atOnce(*this, panel,
           [](SlicePanel& p, Slice& s) { s.setSliceApfEnabled(p.apfCheckBox->state() ? 1 : 0); });
}
void AppDelegate::apfSliderChanged(int panel) {
    deferred(*this, panel, [](SlicePanel& p, Slice& s) {
        s.setSliceApfLevel(unsignedValue(p.apfSlider->doubleValue()));
    });
}
void AppDelegate::wideBoxChanged(int panel) {
    atOnce(*this, panel, [](SlicePanel& p, Slice& s) { s.setSliceWide(p.wideCheckBox->state()); });
}

// --- AGC. The AGC-T slider sets the off level while the AGC is off, else the threshold.
void AppDelegate::agcPopupChanged(int panel) {
    sendLowerTitle(*this, panel, &SlicePanel::agcModePopup, &Slice::setSliceAgcMode);
}
void AppDelegate::agctSliderChanged(int panel) {
    Apply apply = [](SlicePanel& p, Slice& s) {
        const std::int64_t level = unsignedValue(p.agctSlider->doubleValue());
        if (s.sliceAgcOff()) {
            s.setSliceAgcOffLevel(level);
        } else {
            s.setSliceAgcThreshold(level);
        }
    };
    // Panel A's slider sends at once, the other panels' through the queue.
    if (panel == 0) {
        atOnce(*this, panel, apply);
    } else {
        deferred(*this, panel, std::move(apply));
    }
}

// --- Filter: the edges one at a time, or both from a preset, low edge first.
void AppDelegate::filterHiStepperChanged(int panel) {
    deferred(*this, panel, [](SlicePanel& p, Slice& s) {
        s.setSliceFilterHi(signedValue(p.filterHiStepper->doubleValue()));
    });
}
void AppDelegate::filterLoStepperChanged(int panel) {
    deferred(*this, panel, [](SlicePanel& p, Slice& s) {
        s.setSliceFilterLo(signedValue(p.filterLoStepper->doubleValue()));
    });
}
void AppDelegate::filterPresetPopupChanged(int panel) {
    const auto slice = sliceOfPanel(*this, panel);
    if (!slice) {
        return;
    }
    const std::string title = slicePanels[panel]->filterPresetPopup->title();
    if (title.empty()) {
        return;
    }
    if (const auto preset = presetForTitle(title, slice->sliceMode().value_or(""))) {
        slice->setSliceFilterLo(preset->lo);
        slice->setSliceFilterHi(preset->hi);
    } else {
        // "Other" changes no filter: the pop-up shows again what the slice has.
        setPresetPopupBasedOnFilter(slice);
    }
}

// --- Antennas.
void AppDelegate::rxPopupChanged(int panel) {
    sendLowerTitle(*this, panel, &SlicePanel::rxAntPopup, &Slice::setSliceRxAnt);
}
void AppDelegate::txPopupChanged(int panel) {
    sendLowerTitle(*this, panel, &SlicePanel::txAntPopup, &Slice::setSliceTxAnt);
}

// --- Quick record and playback. With the panel's QR transmit box on, recording makes the slice
// the transmit slice and keys the radio for as long as the recording runs.
void AppDelegate::recordEnabledButtonChanged(int panel) {
    atOnce(*this, panel, [this, panel](SlicePanel& p, Slice& s) {
        const bool recording = p.recordButton->state();
        s.setSliceRecordEnabled(recording);
        if (recording) {
            this->*kRecordingStarted[panel] = std::chrono::system_clock::now();
        }
        if (p.qrTransmitButton->state()) {
            if (recording) {
                s.setSliceTxEnabled(true);
            }
            if (openRadio) {
                openRadio->setTxState(recording ? 1 : 0);
            }
        }
    });
}
// The slice's own state decides, whatever the button shows.
void AppDelegate::playBackEnabledButtonChanged(int panel) {
    atOnce(*this, panel, [this, panel](SlicePanel&, Slice& s) {
        s.setSlicePlaybackEnabled(!s.slicePlaybackEnabled().value_or(false));
        if (s.slicePlaybackEnabled().value_or(false)) {
            this->*kPlaybackStarted[panel] = std::chrono::system_clock::now();
        }
    });
}
void AppDelegate::qrTransmitButtonChanged(int panel) {
    atOnce(*this, panel, [panel](SlicePanel& p, Slice&) {
        Defaults::standard().set(kQrTransmitKeys[panel], p.qrTransmitButton->state());
    });
}

// --- RIT and XIT.
void AppDelegate::ritButtonChanged(int panel) { offsetButtonChanged(*this, panel, kRit); }
void AppDelegate::ritStepperChanged(int panel) { offsetStepperChanged(*this, panel, kRit); }
void AppDelegate::xitButtonChanged(int panel) { offsetButtonChanged(*this, panel, kXit); }
void AppDelegate::xitStepperChanged(int panel) { offsetStepperChanged(*this, panel, kXit); }

// --- Lock and squelch.
void AppDelegate::sliceLockedCheckBoxChanged(int panel) {
    atOnce(*this, panel,
           [](SlicePanel& p, Slice& s) { s.setSliceLocked(p.lockedCheckBox->state()); });
}
void AppDelegate::squelchCheckBoxChanged(int panel) {
    atOnce(*this, panel,
           [](SlicePanel& p, Slice& s) { s.setSquelchEnabled(p.squelchCheckBox->state()); });
}
void AppDelegate::squelchSliderChanged(int panel) {
    deferred(*this, panel, [](SlicePanel& p, Slice& s) {
        s.setSquelchLevel(signedValue(p.squelchSlider->doubleValue()));
    });
}

// --- FM tone, repeater and DAX. A tone, offset or channel that does not read as a number in its
// range leaves the slice as it is.
void AppDelegate::fmToneBurstEnabledCheckBoxChanged(int panel) {
    atOnce(*this, panel, [](SlicePanel& p, Slice& s) {
        s.setFmToneBurstEnabled(p.fmToneBurstCheckBox->state());
    });
}
void AppDelegate::fmToneModePopupChanged(int panel) {
    sendLowerTitle(*this, panel, &SlicePanel::fmToneModePopup, &Slice::setFmToneMode);
}
void AppDelegate::fmToneFreqPopupChanged(int panel) {
    atOnce(*this, panel, [](SlicePanel& p, Slice& s) {
        if (const auto hertz = entries::toneFrequency(p.fmToneFreqPopup->title())) {
            s.setFmToneFreq(*hertz);
        }
    });
}
void AppDelegate::repeaterOffsetDirPopupChanged(int panel) {
    sendLowerTitle(*this, panel, &SlicePanel::repeaterOffsetDirPopup, &Slice::setRepeaterOffsetDir);
}
void AppDelegate::fmRepeaterOffsetTextChanged(int panel) {
    atOnce(*this, panel, [](SlicePanel& p, Slice& s) {
        if (const auto megahertz = entries::repeaterOffset(p.fmRepeaterOffsetText->stringValue())) {
            s.setFmRepeaterOffset(*megahertz);
        }
    });
}
void AppDelegate::daxPopupChanged(int panel) {
    atOnce(*this, panel, [](SlicePanel& p, Slice& s) {
        if (const auto channel = entries::daxChannel(p.daxPopup->title())) {
            s.setSliceDax(*channel);
        }
    });
}

}  // namespace vm
