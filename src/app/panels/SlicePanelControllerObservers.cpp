// The slice observers of one panel: the panel follows every change of its slice, and the host is
// told of what other windows show of it (the VFO fields and mode menus, the heads-up RIT and XIT
// switches, the memory window's antenna pop-ups). Each handler reads the value from the slice
// (never from the change record), runs on the main thread, and logs "<handler>:Error" and changes
// nothing when the value is missing. Three go beyond the screen: the repeater handlers send the
// slice's transmit offset, the playback handler keys the transmitter for a quick-record transmit,
// and the active-slice handler has the host mute the other slices when asked to.
#include "app/panels/SlicePanelController.h"

#include "app/control/SliceLookups.h"
#include "app/windows/SlicePanel.h"
#include "objects/Slice.h"
#include "platform/core/Log.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <type_traits>

namespace vm {

namespace {

template <class T>
using SliceValue = Observed<std::optional<T>> Slice::*;

// The slice's value, or none after the handler's error line when the slice or the value is
// missing.
template <class T>
std::optional<T> valueOf(const std::shared_ptr<Slice>& slice, SliceValue<T> property,
                         const char* handler) {
    std::optional<T> value;
    if (slice) {
        value = ((*slice).*property)();
    }
    if (!value) {
        log("{}:Error", handler);
    }
    return value;
}

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

double megahertz(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

// A pop-up without an item of the title keeps its selection.
void selectTitle(PopUpButton* popup, const std::string& title) {
    if (popup->indexOfItemWithTitle(title) >= 0) {
        popup->selectItemWithTitle(title);
    }
}

void showLevel(Slider* slider, TextField* text, std::int64_t level) {
    slider->setDoubleValue(static_cast<double>(level));
    text->setIntValue(static_cast<int>(level));
}

bool fineStepMode(const std::string& mode) {
    return mode == "CW" || mode == "RTTY" || mode == "DIGU";
}

// A level shown by a slider and its text field.
void showPanelLevel(SlicePanel& panel, const std::shared_ptr<Slice>& slice,
                    SliceValue<std::int64_t> property, const char* handler,
                    Slider* SlicePanel::*slider, TextField* SlicePanel::*text) {
    if (const auto level = valueOf(slice, property, handler)) {
        showLevel(panel.*slider, panel.*text, *level);
    }
}

// A switch shown by a check box; the radio writes some as flags and some as numbers.
template <class T>
void showPanelSwitch(SlicePanel& panel, const std::shared_ptr<Slice>& slice, SliceValue<T> property,
                     const char* handler, CheckBox* SlicePanel::*box) {
    if (const auto on = valueOf(slice, property, handler)) {
        (panel.*box)->setState(*on != 0);
    }
}

// A word shown by a pop-up, in upper case.
void showPanelWord(SlicePanel& panel, const std::shared_ptr<Slice>& slice,
                   SliceValue<std::string> property, const char* handler,
                   PopUpButton* SlicePanel::*popup) {
    if (const auto word = valueOf(slice, property, handler)) {
        selectTitle(panel.*popup, upper(*word));
    }
}

// A value only written to the debug log.
template <class T>
void logOnly(bool debug, const std::shared_ptr<Slice>& slice, SliceValue<T> property,
             const char* handler, const char* key) {
    const auto value = valueOf(slice, property, handler);
    if (value && debug) {
        if constexpr (std::is_same_v<T, TextList>) {
            log("{}:[{}] {}:[{}]", handler, slice->thisSliceNumber(), key, fmt::join(*value, ","));
        } else {
            log("{}:[{}] {}:[{}]", handler, slice->thisSliceNumber(), key, *value);
        }
    }
}

}  // namespace

const KeyTable<SlicePanelController, Slice>& SlicePanelController::sliceKeyTable() {
    using C = SlicePanelController;
    static const KeyTable<C, Slice> kTable = {
        {&Slice::sliceFrequency, &C::sliceFrequencyChanged},
        {&Slice::sliceMode, &C::sliceModeChanged},
        {&Slice::sliceActive, &C::sliceActiveChanged},
        {&Slice::sliceLocked, &C::sliceLockedChanged},
        {&Slice::panForSlice, &C::slicePanForSliceChanged},
        {&Slice::sliceAudioLevel, &C::sliceAudioLevelChanged},
        {&Slice::sliceMuteEnabled, &C::sliceMuteEnabledChanged},
        {&Slice::sliceNrLevel, &C::sliceNrLevelChanged},
        {&Slice::sliceNrEnabled, &C::sliceNrEnabledChanged},
        {&Slice::sliceNr2Enabled, &C::sliceNr2EnabledChanged},
        {&Slice::sliceNbLevel, &C::sliceNbLevelChanged},
        {&Slice::sliceNbEnabled, &C::sliceNbEnabledChanged},
        {&Slice::sliceAnfLevel, &C::sliceAnfLevelChanged},
        {&Slice::sliceAnfEnabled, &C::sliceAnfEnabledChanged},
        {&Slice::sliceApfLevel, &C::sliceApfLevelChanged},
        {&Slice::sliceApfEnabled, &C::sliceApfEnabledChanged},
        {&Slice::sliceWide, &C::sliceWideChanged},
        {&Slice::sliceAgcMode, &C::sliceAgcModeChanged},
        {&Slice::sliceFilterLo, &C::sliceFilterLoChanged},
        {&Slice::sliceFilterHi, &C::sliceFilterHiChanged},
        {&Slice::sliceRxAnt, &C::sliceRxAntChanged},
        {&Slice::sliceTxAnt, &C::sliceTxAntChanged},
        {&Slice::sliceAgcThreshold, &C::sliceAgcThresholdChanged},
        {&Slice::sliceAgcOffLevel, &C::sliceAgcOffLevelChanged},
        {&Slice::slicePanControl, &C::slicePanControlChanged},
        {&Slice::slicePlaybackEnabled, &C::slicePlaybackEnabledChanged},
        {&Slice::sliceRecordEnabled, &C::sliceRecordEnabledChanged},
        {&Slice::sliceQRlength, &C::sliceQRlengthChanged},
        {&Slice::sliceWnbEnabled, &C::sliceWnbEnabledChanged},
        {&Slice::sliceWnbLevel, &C::sliceWnbLevelChanged},
        {&Slice::stepList, &C::sliceStepListChanged},
        {&Slice::sliceRitEnabled, &C::sliceRitEnabledChanged},
        {&Slice::sliceRitOffset, &C::sliceRitOffsetChanged},
        {&Slice::sliceXitEnabled, &C::sliceXitEnabledChanged},
        {&Slice::sliceXitOffset, &C::sliceXitOffsetChanged},
        {&Slice::sliceTxEnabled, &C::sliceTxEnabledChanged},
        {&Slice::rfGain, &C::sliceRfGainChanged},
        {&Slice::squelchEnabled, &C::sliceSquelchEnabledChanged},
        {&Slice::squelchLevel, &C::sliceSquelchLevelChanged},
        {&Slice::fmToneMode, &C::sliceFmToneModeChanged},
        {&Slice::fmToneFreq, &C::sliceFmToneFreqChanged},
        {&Slice::fmRepeaterOffset, &C::sliceFmRepeaterOffsetChanged},
        {&Slice::txOffsetFreq, &C::sliceTxOffsetFreqChanged},
        {&Slice::repeaterOffsetDir, &C::sliceRepeaterOffsetDirChanged},
        {&Slice::fmToneBurstEnabled, &C::sliceFmToneBurstEnabledChanged},
        {&Slice::detached, &C::sliceDetachedChanged},
        {&Slice::sliceDax, &C::sliceDaxChanged},
        {&Slice::sliceDaxClients, &C::sliceDaxClientsChanged},
        {&Slice::txAntList, &C::txAntListChanged},
        {&Slice::sliceDaxTxEnabled, &C::sliceDaxTxEnabledChanged},
    };
    return kTable;
}

// --- Levels, switches and words of the panel

void SlicePanelController::sliceAudioLevelChanged(const std::shared_ptr<Slice>& slice,
                                                  const Change*) {
    showPanelLevel(*panel_, slice, &Slice::sliceAudioLevel, "sliceAudioLevelChanged",
                   &SlicePanel::volumeSlider, &SlicePanel::volumeText);
}
void SlicePanelController::sliceSquelchLevelChanged(const std::shared_ptr<Slice>& slice,
                                                    const Change*) {
    showPanelLevel(*panel_, slice, &Slice::squelchLevel, "sliceSquelchLevelChanged",
                   &SlicePanel::squelchSlider, &SlicePanel::squelchText);
}
void SlicePanelController::sliceNrLevelChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    showPanelLevel(*panel_, slice, &Slice::sliceNrLevel, "sliceNrLevelChanged",
                   &SlicePanel::nrSlider, &SlicePanel::nrText);
}
void SlicePanelController::sliceNbLevelChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    showPanelLevel(*panel_, slice, &Slice::sliceNbLevel, "sliceNbLevelChanged",
                   &SlicePanel::nbSlider, &SlicePanel::nbText);
}
void SlicePanelController::sliceAnfLevelChanged(const std::shared_ptr<Slice>& slice,
                                                const Change*) {
    showPanelLevel(*panel_, slice, &Slice::sliceAnfLevel, "sliceAnfLevelChanged",
                   &SlicePanel::anfSlider, &SlicePanel::anfText);
}
void SlicePanelController::sliceApfLevelChanged(const std::shared_ptr<Slice>& slice,
                                                const Change*) {
    showPanelLevel(*panel_, slice, &Slice::sliceApfLevel, "sliceApfLevelChanged",
                   &SlicePanel::apfSlider, &SlicePanel::apfText);
}

void SlicePanelController::sliceSquelchEnabledChanged(const std::shared_ptr<Slice>& slice,
                                                      const Change*) {
    showPanelSwitch(*panel_, slice, &Slice::squelchEnabled, "sliceSquelchEnabledChanged",
                    &SlicePanel::squelchCheckBox);
}
void SlicePanelController::sliceFmToneBurstEnabledChanged(const std::shared_ptr<Slice>& slice,
                                                          const Change*) {
    showPanelSwitch(*panel_, slice, &Slice::fmToneBurstEnabled, "sliceFmToneBurstEnabledChanged",
                    &SlicePanel::fmToneBurstCheckBox);
}
void SlicePanelController::sliceNrEnabledChanged(const std::shared_ptr<Slice>& slice,
                                                 const Change*) {
    showPanelSwitch(*panel_, slice, &Slice::sliceNrEnabled, "sliceNrEnabledChanged",
                    &SlicePanel::nrCheckBox);
}
void SlicePanelController::sliceNbEnabledChanged(const std::shared_ptr<Slice>& slice,
                                                 const Change*) {
    showPanelSwitch(*panel_, slice, &Slice::sliceNbEnabled, "sliceNbEnabledChanged",
                    &SlicePanel::nbCheckBox);
}
void SlicePanelController::sliceAnfEnabledChanged(const std::shared_ptr<Slice>& slice,
                                                  const Change*) {
    showPanelSwitch(*panel_, slice, &Slice::sliceAnfEnabled, "sliceAnfEnabledChanged",
                    &SlicePanel::anfCheckBox);
}
void SlicePanelController::sliceApfEnabledChanged(const std::shared_ptr<Slice>& slice,
                                                  const Change*) {
    showPanelSwitch(*panel_, slice, &Slice::sliceApfEnabled, "sliceApfEnabledChanged",
                    &SlicePanel::apfCheckBox);
}
void SlicePanelController::sliceWideChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    showPanelSwitch(*panel_, slice, &Slice::sliceWide, "sliceWideChanged",
                    &SlicePanel::wideCheckBox);
}
void SlicePanelController::sliceLockedChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    showPanelSwitch(*panel_, slice, &Slice::sliceLocked, "sliceLockedChanged",
                    &SlicePanel::lockedCheckBox);
    if (const auto host = host_.lock()) {
        host->adjustVFOMenu();
    }
}

// The mute box is ticked while the slice's audio is on, as its action reads it: a muted slice
// shows it clear.
void SlicePanelController::sliceMuteEnabledChanged(const std::shared_ptr<Slice>& slice,
                                                   const Change*) {
    if (const auto muted = valueOf(slice, &Slice::sliceMuteEnabled, "sliceMuteEnabledChanged")) {
        panel_->muteCheckBox->setState(!*muted);
    }
}

void SlicePanelController::sliceFmToneModeChanged(const std::shared_ptr<Slice>& slice,
                                                  const Change*) {
    showPanelWord(*panel_, slice, &Slice::fmToneMode, "sliceFmToneModeChanged",
                  &SlicePanel::fmToneModePopup);
}
void SlicePanelController::sliceAgcModeChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    showPanelWord(*panel_, slice, &Slice::sliceAgcMode, "sliceAgcModeChanged",
                  &SlicePanel::agcModePopup);
}

// The memory window's antenna pop-ups follow the panel's.
void SlicePanelController::sliceRxAntChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    if (const auto antenna = valueOf(slice, &Slice::sliceRxAnt, "sliceRxAntChanged")) {
        selectTitle(panel_->rxAntPopup, upper(*antenna));
        if (const auto host = host_.lock()) {
            host->showMemoryRxAnt(index_, upper(*antenna));
        }
    }
}
void SlicePanelController::sliceTxAntChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    if (const auto antenna = valueOf(slice, &Slice::sliceTxAnt, "sliceTxAntChanged")) {
        selectTitle(panel_->txAntPopup, upper(*antenna));
        if (const auto host = host_.lock()) {
            host->showMemoryTxAnt(index_, upper(*antenna));
        }
    }
}

void SlicePanelController::sliceFmToneFreqChanged(const std::shared_ptr<Slice>& slice,
                                                  const Change*) {
    if (const auto tone = valueOf(slice, &Slice::fmToneFreq, "sliceFmToneFreqChanged")) {
        selectTitle(panel_->fmToneFreqPopup, fmt::format("{:0.1f}", *tone));
    }
}

void SlicePanelController::sliceTxOffsetFreqChanged(const std::shared_ptr<Slice>& slice,
                                                    const Change*) {
    if (const auto offset = valueOf(slice, &Slice::txOffsetFreq, "sliceTxOffsetFreqChanged")) {
        panel_->txOffsetText->setStringValue(fmt::format("{:g} MHz", *offset));
    }
}

void SlicePanelController::slicePanControlChanged(const std::shared_ptr<Slice>& slice,
                                                  const Change*) {
    if (const auto pan = valueOf(slice, &Slice::slicePanControl, "slicePanControlChanged")) {
        panel_->panSlider->setIntValue(static_cast<int>(*pan));
    }
}

void SlicePanelController::sliceRitOffsetChanged(const std::shared_ptr<Slice>& slice,
                                                 const Change*) {
    const auto offset = valueOf(slice, &Slice::sliceRitOffset, "sliceRitOffsetChanged");
    if (!offset) {
        return;
    }
    if (debugEnabled()) {
        log("sliceRitOffsetChanged:[{}] sliceRitOffset:[{}]", slice->thisSliceNumber(), *offset);
    }
    panel_->ritStepper->setDoubleValue(static_cast<double>(*offset));
    panel_->ritText->setStringValue(std::to_string(*offset));
}
void SlicePanelController::sliceXitOffsetChanged(const std::shared_ptr<Slice>& slice,
                                                 const Change*) {
    const auto offset = valueOf(slice, &Slice::sliceXitOffset, "sliceXitOffsetChanged");
    if (!offset) {
        return;
    }
    if (debugEnabled()) {
        log("sliceXitOffsetChanged:[{}] sliceXitOffset:[{}]", slice->thisSliceNumber(), *offset);
    }
    panel_->xitStepper->setDoubleValue(static_cast<double>(*offset));
    panel_->xitText->setStringValue(std::to_string(*offset));
}

void SlicePanelController::sliceDaxChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    if (const auto channel = valueOf(slice, &Slice::sliceDax, "sliceDaxChanged")) {
        selectTitle(panel_->daxPopup, *channel == 0 ? "None" : std::to_string(*channel));
    }
}
void SlicePanelController::sliceDaxClientsChanged(const std::shared_ptr<Slice>& slice,
                                                  const Change*) {
    if (const auto clients = valueOf(slice, &Slice::sliceDaxClients, "sliceDaxClientsChanged")) {
        panel_->daxClientsText->setStringValue(std::to_string(*clients));
    }
}

// --- Values the panel does not show

void SlicePanelController::sliceNr2EnabledChanged(const std::shared_ptr<Slice>& slice,
                                                  const Change*) {
    logOnly(debugEnabled(), slice, &Slice::sliceNr2Enabled, "sliceNr2EnabledChanged",
            "sliceNr2Enabled");
}
void SlicePanelController::sliceWnbEnabledChanged(const std::shared_ptr<Slice>& slice,
                                                  const Change*) {
    logOnly(debugEnabled(), slice, &Slice::sliceWnbEnabled, "sliceWnbEnabledChanged",
            "sliceWnbEnabled");
}
void SlicePanelController::sliceWnbLevelChanged(const std::shared_ptr<Slice>& slice,
                                                const Change*) {
    logOnly(debugEnabled(), slice, &Slice::sliceWnbLevel, "sliceWnbLevelChanged", "sliceWnbLevel");
}
void SlicePanelController::sliceStepListChanged(const std::shared_ptr<Slice>& slice,
                                                const Change*) {
    logOnly(debugEnabled(), slice, &Slice::stepList, "sliceStepListChanged", "stepList");
}
void SlicePanelController::txAntListChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    logOnly(debugEnabled(), slice, &Slice::txAntList, "txAntListChanged", "txAntList");
}
void SlicePanelController::sliceRfGainChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    logOnly(debugEnabled(), slice, &Slice::rfGain, "sliceRfGainChanged", "rfGain");
}
void SlicePanelController::sliceDaxTxEnabledChanged(const std::shared_ptr<Slice>& slice,
                                                    const Change*) {
    logOnly(debugEnabled(), slice, &Slice::sliceDaxTxEnabled, "sliceDaxTxEnabledChanged",
            "sliceDaxTxEnabled");
}
void SlicePanelController::sliceDetachedChanged(const std::shared_ptr<Slice>& slice,
                                                const Change*) {
    if (slice && debugEnabled()) {
        log("Slice {} {} MHz detached changed: {}", slice->sliceTitle().value_or(""),
            slice->sliceFrequency().value_or(""), slice->detached().value_or(0));
    }
}

// --- Frequency, mode and the active slice

void SlicePanelController::sliceFrequencyChanged(const std::shared_ptr<Slice>& slice,
                                                 const Change*) {
    const auto frequency = valueOf(slice, &Slice::sliceFrequency, "sliceFrequencyChanged");
    if (!frequency) {
        return;
    }
    const auto host = host_.lock();
    if (host && host->sliceWithNumber(index_) == slice) {
        panel_->freqText->setDoubleValue(megahertz(*frequency));
    }
    if (host) {
        host->sliceTuned(slice);
    }
    slicePanOwnerText(slice);
}

void SlicePanelController::sliceModeChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    if (!valueOf(slice, &Slice::sliceMode, "sliceModeChanged")) {
        return;
    }
    updateModeMenus(slice);
    setPresetPopupBasedOnFilter(slice);
    if (const auto host = host_.lock()) {
        host->showActiveMode();
    }
    adjustModeControls();
}

void SlicePanelController::updateModeMenus(const std::shared_ptr<Slice>& slice) {
    if (!slice) {
        return;
    }
    const std::string mode = slice->sliceMode().value_or("");
    loadPresetFiltersForVFO(mode);
    if (const auto host = host_.lock()) {
        host->showModeMenus(index_, mode, slice->sliceActive().value_or(false));
    }
    const double step = fineStepMode(mode) ? 1 : 10;
    panel_->ritStepper->setIncrement(step);
    panel_->xitStepper->setIncrement(step);
}

void SlicePanelController::sliceActiveChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    if (!valueOf(slice, &Slice::sliceActive, "sliceActiveChanged")) {
        return;
    }
    if (const auto host = host_.lock()) {
        host->activeSliceChanged(slice);
    }
}

// --- The panadapter the slice sits in

void SlicePanelController::slicePanOwnerText(const std::shared_ptr<Slice>& slice) {
    if (!slice) {
        return;
    }
    const auto host = host_.lock();
    std::string text = host ? host->panNameForFrequency(lookups::sliceMegahertz(*slice)) : "";
    if (slice->detached().value_or(0) != 0) {
        text += " \u00D8";
    }
    panel_->detachedText->setText(QString::fromStdString(text));
}

void SlicePanelController::slicePanForSliceChanged(const std::shared_ptr<Slice>& slice,
                                                   const Change*) {
    if (valueOf(slice, &Slice::panForSlice, "slicePanForSliceChanged")) {
        slicePanOwnerText(slice);
    }
}

// --- Repeater offsets: the slice's transmit offset follows its direction and offset

void SlicePanelController::writeTransmitOffset(Slice& slice) {
    slice.setTxOffsetFreq(static_cast<float>(lookups::transmitOffset(slice)));
}

void SlicePanelController::sliceRepeaterOffsetDirChanged(const std::shared_ptr<Slice>& slice,
                                                         const Change*) {
    if (const auto direction =
            valueOf(slice, &Slice::repeaterOffsetDir, "sliceRepeaterOffsetDirChanged")) {
        selectTitle(panel_->repeaterOffsetDirPopup, upper(*direction));
        writeTransmitOffset(*slice);
    }
}

void SlicePanelController::sliceFmRepeaterOffsetChanged(const std::shared_ptr<Slice>& slice,
                                                        const Change*) {
    if (const auto offset =
            valueOf(slice, &Slice::fmRepeaterOffset, "sliceFmRepeaterOffsetChanged")) {
        panel_->fmRepeaterOffsetText->setStringValue(fmt::format("{:0.3f}", *offset));
        writeTransmitOffset(*slice);
    }
}

// --- AGC threshold and AGC-off level share the panel's AGC-T slider

void SlicePanelController::sliceAgcThresholdChanged(const std::shared_ptr<Slice>& slice,
                                                    const Change*) {
    const auto level = valueOf(slice, &Slice::sliceAgcThreshold, "sliceAgcThresholdChanged");
    if (level && !slice->sliceAgcOff()) {
        showLevel(panel_->agctSlider, panel_->agctText, *level);
    }
}
void SlicePanelController::sliceAgcOffLevelChanged(const std::shared_ptr<Slice>& slice,
                                                   const Change*) {
    const auto level = valueOf(slice, &Slice::sliceAgcOffLevel, "sliceAgcOffLevelChanged");
    if (level && slice->sliceAgcOff()) {
        showLevel(panel_->agctSlider, panel_->agctText, *level);
    }
}

// --- The quick recorder

void SlicePanelController::sliceRecordEnabledChanged(const std::shared_ptr<Slice>& slice,
                                                     const Change*) {
    const auto recording = valueOf(slice, &Slice::sliceRecordEnabled, "sliceRecordEnabledChanged");
    if (!recording) {
        return;
    }
    if (debugEnabled()) {
        log("sliceRecordEnabledChanged:slice:[{}] state:[{}]", slice->thisSliceNumber(),
            int(*recording));
    }
    panel_->recordButton->setImage(*recording ? redBulb_ : greyBulb_);
}

void SlicePanelController::slicePlaybackEnabledChanged(const std::shared_ptr<Slice>& slice,
                                                       const Change*) {
    const auto playing =
        valueOf(slice, &Slice::slicePlaybackEnabled, "slicePlaybackEnabledChanged");
    if (!playing) {
        return;
    }
    if (debugEnabled()) {
        log("slicePlaybackEnabledChanged:slice:[{}] state:[{}]", slice->thisSliceNumber(),
            int(*playing));
    }
    // A quick recording played on the air keys the transmitter for as long as it plays.
    if (panel_->qrTransmitButton->state() && !slice->sliceRecordEnabled().value_or(false)) {
        if (const auto host = host_.lock()) {
            host->setTxState(*playing);
        }
    }
    flashPlayBack_ = *playing;
    const bool recordingKept = slice->sliceQRlength().value_or(0) != 0;
    panel_->playbackButton->setImage(*playing || recordingKept ? play_button_green_
                                                               : play_button_black_);
}

void SlicePanelController::sliceQRlengthChanged(const std::shared_ptr<Slice>& slice,
                                                const Change*) {
    const auto length = valueOf(slice, &Slice::sliceQRlength, "sliceQRlengthChanged");
    if (!length) {
        return;
    }
    panel_->qrLengthText->setIntValue(static_cast<int>(*length));
    if (*length != 0) {
        panel_->playbackButton->setImage(play_button_green_);
    }
}

// --- RIT, XIT and the transmit slice

void SlicePanelController::sliceRitEnabledChanged(const std::shared_ptr<Slice>& slice,
                                                  const Change*) {
    const auto on = valueOf(slice, &Slice::sliceRitEnabled, "sliceRitEnabledChanged");
    if (!on) {
        return;
    }
    if (debugEnabled()) {
        log("sliceRitEnabledChanged:[{}] sliceRitEnabled:[{}]", slice->thisSliceNumber(), int(*on));
    }
    panel_->ritButton->setState(*on);
    if (const auto host = host_.lock(); host && slice->sliceActive().value_or(false)) {
        host->showHudRit(*on);
    }
}

void SlicePanelController::sliceXitEnabledChanged(const std::shared_ptr<Slice>& slice,
                                                  const Change*) {
    const auto on = valueOf(slice, &Slice::sliceXitEnabled, "sliceXitEnabledChanged");
    if (!on) {
        return;
    }
    if (debugEnabled()) {
        log("sliceXitEnabledChanged:[{}] sliceXitEnabled:[{}]", slice->thisSliceNumber(), int(*on));
    }
    panel_->xitButton->setState(*on);
    if (const auto host = host_.lock(); host && slice->sliceActive().value_or(false)) {
        host->showHudXit(*on);
    }
}

void SlicePanelController::sliceTxEnabledChanged(const std::shared_ptr<Slice>& slice,
                                                 const Change*) {
    if (slice && debugEnabled()) {
        log("sliceTxEnabledChanged:[{}] sliceTxEnabled:[{}]", slice->thisSliceNumber(),
            int(slice->sliceTxEnabled().value_or(false)));
    }
    if (const auto host = host_.lock()) {
        host->adjustSplitControls();
        host->adjustVFOMenu();
    }
}

// --- Filter edges

void SlicePanelController::sliceFilterLoChanged(const std::shared_ptr<Slice>& slice,
                                                const Change*) {
    if (const auto edge = valueOf(slice, &Slice::sliceFilterLo, "sliceFilterLoChanged")) {
        panel_->filterLoStepper->setDoubleValue(static_cast<double>(*edge));
        panel_->filterLoText->setDoubleValue(static_cast<double>(*edge));
        showFilterWidth();
        setPresetPopupBasedOnFilter(slice);
    }
}

void SlicePanelController::sliceFilterHiChanged(const std::shared_ptr<Slice>& slice,
                                                const Change*) {
    if (const auto edge = valueOf(slice, &Slice::sliceFilterHi, "sliceFilterHiChanged")) {
        panel_->filterHiStepper->setDoubleValue(static_cast<double>(*edge));
        panel_->filterHiText->setDoubleValue(static_cast<double>(*edge));
        showFilterWidth();
        setPresetPopupBasedOnFilter(slice);
    }
}

// The width text of the panel's own slice, when it has one.
void SlicePanelController::showFilterWidth() {
    const auto slice = panelSlice();
    const std::string width = slice ? slice->formatSliceFilterBandwidth() : "";
    if (!width.empty()) {
        panel_->filterText->setStringValue(width);
    }
}

}  // namespace vm
