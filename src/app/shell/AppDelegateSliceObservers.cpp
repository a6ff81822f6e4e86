// The slice observers: slice panels A to D (slices 0 to 3), the VFO controls of the main window,
// the heads-up RIT and XIT switches and the memory window's antenna pop-ups follow every change
// of this client's slices. Each handler reads the value from the slice (never from the change
// record), runs on the main thread, and logs "<handler>:Error" and changes nothing when the value
// is missing. Three go beyond the screen: the repeater handlers send the slice's transmit offset,
// the playback handler keys the transmitter for a quick-record transmit, and the active-slice
// handler mutes the other slices when asked to.
#include "app/shell/AppDelegate.h"

#include "app/control/BandNames.h"
#include "app/control/SliceLookups.h"
#include "app/windows/HudWindow.h"
#include "app/windows/MainControlsBar.h"
#include "app/windows/MainMenus.h"
#include "app/windows/MemoryPanel.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/SlicePanel.h"
#include "display/Panafall.h"
#include "objects/Slice.h"
#include "platform/core/Log.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "radio/Radio.h"
#include "radio/Xvtr.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

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
    if (popup && popup->indexOfItemWithTitle(title) >= 0) {
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

// Panels A to D are slices 0 to 3; other slices have none.
SlicePanel* panelOf(const AppDelegate& app, const Slice& slice) {
    const int number = slice.thisSliceNumber();
    return number >= 0 && number <= 3 ? app.slicePanels[static_cast<std::size_t>(number)] : nullptr;
}

// A level shown by a slider and its text field.
void showPanelLevel(const AppDelegate& app, const std::shared_ptr<Slice>& slice,
                    SliceValue<std::int64_t> property, const char* handler,
                    Slider* SlicePanel::*slider, TextField* SlicePanel::*text) {
    const auto level = valueOf(slice, property, handler);
    if (SlicePanel* panel = level ? panelOf(app, *slice) : nullptr) {
        showLevel(panel->*slider, panel->*text, *level);
    }
}

// A switch shown by a check box; the radio writes some as flags and some as numbers.
template <class T>
void showPanelSwitch(const AppDelegate& app, const std::shared_ptr<Slice>& slice,
                     SliceValue<T> property, const char* handler, CheckBox* SlicePanel::*box) {
    const auto on = valueOf(slice, property, handler);
    if (SlicePanel* panel = on ? panelOf(app, *slice) : nullptr) {
        (panel->*box)->setState(*on != 0);
    }
}

// A word shown by a pop-up, in upper case.
void showPanelWord(const AppDelegate& app, const std::shared_ptr<Slice>& slice,
                   SliceValue<std::string> property, const char* handler,
                   PopUpButton* SlicePanel::*popup) {
    const auto word = valueOf(slice, property, handler);
    if (SlicePanel* panel = word ? panelOf(app, *slice) : nullptr) {
        selectTitle(panel->*popup, upper(*word));
    }
}

// A value only written to the debug log.
template <class T>
void logOnly(const AppDelegate& app, const std::shared_ptr<Slice>& slice, SliceValue<T> property,
             const char* handler, const char* key) {
    const auto value = valueOf(slice, property, handler);
    if (value && app.prefsWindow->debug_enabled->state()) {
        if constexpr (std::is_same_v<T, TextList>) {
            log("{}:[{}] {}:[{}]", handler, slice->thisSliceNumber(), key, fmt::join(*value, ","));
        } else {
            log("{}:[{}] {}:[{}]", handler, slice->thisSliceNumber(), key, *value);
        }
    }
}

}  // namespace

const std::vector<std::pair<std::string, AppDelegate::SliceHandler>>& AppDelegate::sliceKeyTable() {
    static const std::vector<std::pair<std::string, SliceHandler>> kTable = {
        {"sliceFrequency", &AppDelegate::sliceFrequencyChanged},
        {"sliceMode", &AppDelegate::sliceModeChanged},
        {"sliceActive", &AppDelegate::sliceActiveChanged},
        {"sliceLocked", &AppDelegate::sliceLockedChanged},
        {"panForSlice", &AppDelegate::slicePanForSliceChanged},
        {"sliceAudioLevel", &AppDelegate::sliceAudioLevelChanged},
        {"sliceMuteEnabled", &AppDelegate::sliceMuteEnabledChanged},
        {"sliceNrLevel", &AppDelegate::sliceNrLevelChanged},
        {"sliceNrEnabled", &AppDelegate::sliceNrEnabledChanged},
        {"sliceNr2Enabled", &AppDelegate::sliceNr2EnabledChanged},
        {"sliceNbLevel", &AppDelegate::sliceNbLevelChanged},
        {"sliceNbEnabled", &AppDelegate::sliceNbEnabledChanged},
        {"sliceAnfLevel", &AppDelegate::sliceAnfLevelChanged},
        {"sliceAnfEnabled", &AppDelegate::sliceAnfEnabledChanged},
        {"sliceApfLevel", &AppDelegate::sliceApfLevelChanged},
        {"sliceApfEnabled", &AppDelegate::sliceApfEnabledChanged},
        {"sliceWide", &AppDelegate::sliceWideChanged},
        {"sliceAgcMode", &AppDelegate::sliceAgcModeChanged},
        {"sliceFilterLo", &AppDelegate::sliceFilterLoChanged},
        {"sliceFilterHi", &AppDelegate::sliceFilterHiChanged},
        {"sliceRxAnt", &AppDelegate::sliceRxAntChanged},
        {"sliceTxAnt", &AppDelegate::sliceTxAntChanged},
        {"sliceAgcThreshold", &AppDelegate::sliceAgcThresholdChanged},
        {"sliceAgcOffLevel", &AppDelegate::sliceAgcOffLevelChanged},
        {"slicePanControl", &AppDelegate::slicePanControlChanged},
        {"slicePlaybackEnabled", &AppDelegate::slicePlaybackEnabledChanged},
        {"sliceRecordEnabled", &AppDelegate::sliceRecordEnabledChanged},
        {"sliceQRlength", &AppDelegate::sliceQRlengthChanged},
        {"sliceWnbEnabled", &AppDelegate::sliceWnbEnabledChanged},
        {"sliceWnbLevel", &AppDelegate::sliceWnbLevelChanged},
        {"stepList", &AppDelegate::sliceStepListChanged},
        {"sliceRitEnabled", &AppDelegate::sliceRitEnabledChanged},
        {"sliceRitOffset", &AppDelegate::sliceRitOffsetChanged},
        {"sliceXitEnabled", &AppDelegate::sliceXitEnabledChanged},
        {"sliceXitOffset", &AppDelegate::sliceXitOffsetChanged},
        {"sliceTxEnabled", &AppDelegate::sliceTxEnabledChanged},
        {"rfGain", &AppDelegate::sliceRfGainChanged},
        {"squelchEnabled", &AppDelegate::sliceSquelchEnabledChanged},
        {"squelchLevel", &AppDelegate::sliceSquelchLevelChanged},
        {"fmToneMode", &AppDelegate::sliceFmToneModeChanged},
        {"fmToneFreq", &AppDelegate::sliceFmToneFreqChanged},
        {"fmRepeaterOffset", &AppDelegate::sliceFmRepeaterOffsetChanged},
        {"txOffsetFreq", &AppDelegate::sliceTxOffsetFreqChanged},
        {"repeaterOffsetDir", &AppDelegate::sliceRepeaterOffsetDirChanged},
        {"fmToneBurstEnabled", &AppDelegate::sliceFmToneBurstEnabledChanged},
        {"detached", &AppDelegate::sliceDetachedChanged},
        {"sliceDax", &AppDelegate::sliceDaxChanged},
        {"sliceDaxClients", &AppDelegate::sliceDaxClientsChanged},
        {"txAntList", &AppDelegate::txAntListChanged},
    };
    return kTable;
}

SlicePanel* AppDelegate::slicePanelFor(const Slice& slice) const { return panelOf(*this, slice); }

// --- Levels, switches and words of the panel

void AppDelegate::sliceAudioLevelChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    showPanelLevel(*this, slice, &Slice::sliceAudioLevel, "sliceAudioLevelChanged",
                   &SlicePanel::volumeSlider, &SlicePanel::volumeText);
}
void AppDelegate::sliceSquelchLevelChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    showPanelLevel(*this, slice, &Slice::squelchLevel, "sliceSquelchLevelChanged",
                   &SlicePanel::squelchSlider, &SlicePanel::squelchText);
}
void AppDelegate::sliceNrLevelChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    showPanelLevel(*this, slice, &Slice::sliceNrLevel, "sliceNrLevelChanged", &SlicePanel::nrSlider,
                   &SlicePanel::nrText);
}
void AppDelegate::sliceNbLevelChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    showPanelLevel(*this, slice, &Slice::sliceNbLevel, "sliceNbLevelChanged", &SlicePanel::nbSlider,
                   &SlicePanel::nbText);
}
void AppDelegate::sliceAnfLevelChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    showPanelLevel(*this, slice, &Slice::sliceAnfLevel, "sliceAnfLevelChanged",
                   &SlicePanel::anfSlider, &SlicePanel::anfText);
}
void AppDelegate::sliceApfLevelChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    showPanelLevel(*this, slice, &Slice::sliceApfLevel, "sliceApfLevelChanged",
                   &SlicePanel::apfSlider, &SlicePanel::apfText);
}

void AppDelegate::sliceSquelchEnabledChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    showPanelSwitch(*this, slice, &Slice::squelchEnabled, "sliceSquelchEnabledChanged",
                    &SlicePanel::squelchCheckBox);
}
void AppDelegate::sliceMuteEnabledChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    showPanelSwitch(*this, slice, &Slice::sliceMuteEnabled, "sliceMuteEnabledChanged",
                    &SlicePanel::muteCheckBox);
}
void AppDelegate::sliceFmToneBurstEnabledChanged(const std::shared_ptr<Slice>& slice,
                                                 const Change*) {
    showPanelSwitch(*this, slice, &Slice::fmToneBurstEnabled, "sliceFmToneBurstEnabledChanged",
                    &SlicePanel::fmToneBurstCheckBox);
}
void AppDelegate::sliceNrEnabledChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    showPanelSwitch(*this, slice, &Slice::sliceNrEnabled, "sliceNrEnabledChanged",
                    &SlicePanel::nrCheckBox);
}
void AppDelegate::sliceNbEnabledChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    showPanelSwitch(*this, slice, &Slice::sliceNbEnabled, "sliceNbEnabledChanged",
                    &SlicePanel::nbCheckBox);
}
void AppDelegate::sliceAnfEnabledChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    showPanelSwitch(*this, slice, &Slice::sliceAnfEnabled, "sliceAnfEnabledChanged",
                    &SlicePanel::anfCheckBox);
}
void AppDelegate::sliceApfEnabledChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    showPanelSwitch(*this, slice, &Slice::sliceApfEnabled, "sliceApfEnabledChanged",
                    &SlicePanel::apfCheckBox);
}
void AppDelegate::sliceWideChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    showPanelSwitch(*this, slice, &Slice::sliceWide, "sliceWideChanged", &SlicePanel::wideCheckBox);
}
void AppDelegate::sliceLockedChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    showPanelSwitch(*this, slice, &Slice::sliceLocked, "sliceLockedChanged",
                    &SlicePanel::lockedCheckBox);
}

void AppDelegate::sliceFmToneModeChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    showPanelWord(*this, slice, &Slice::fmToneMode, "sliceFmToneModeChanged",
                  &SlicePanel::fmToneModePopup);
}
void AppDelegate::sliceAgcModeChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    showPanelWord(*this, slice, &Slice::sliceAgcMode, "sliceAgcModeChanged",
                  &SlicePanel::agcModePopup);
}

// The memory window's antenna pop-ups follow the panel's.
void AppDelegate::sliceRxAntChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    const auto antenna = valueOf(slice, &Slice::sliceRxAnt, "sliceRxAntChanged");
    if (SlicePanel* panel = antenna ? slicePanelFor(*slice) : nullptr) {
        selectTitle(panel->rxAntPopup, upper(*antenna));
        selectTitle(memoryPanel->rxAntPopups[std::size_t(slice->thisSliceNumber())],
                    upper(*antenna));
    }
}
void AppDelegate::sliceTxAntChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    const auto antenna = valueOf(slice, &Slice::sliceTxAnt, "sliceTxAntChanged");
    if (SlicePanel* panel = antenna ? slicePanelFor(*slice) : nullptr) {
        selectTitle(panel->txAntPopup, upper(*antenna));
        selectTitle(memoryPanel->txAntPopups[std::size_t(slice->thisSliceNumber())],
                    upper(*antenna));
    }
}

void AppDelegate::sliceFmToneFreqChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    const auto tone = valueOf(slice, &Slice::fmToneFreq, "sliceFmToneFreqChanged");
    if (SlicePanel* panel = tone ? slicePanelFor(*slice) : nullptr) {
        selectTitle(panel->fmToneFreqPopup, fmt::format("{:0.1f}", *tone));
    }
}

void AppDelegate::sliceTxOffsetFreqChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    const auto offset = valueOf(slice, &Slice::txOffsetFreq, "sliceTxOffsetFreqChanged");
    if (SlicePanel* panel = offset ? slicePanelFor(*slice) : nullptr) {
        panel->txOffsetText->setStringValue(fmt::format("{:g} MHz", *offset));
    }
}

void AppDelegate::slicePanControlChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    const auto pan = valueOf(slice, &Slice::slicePanControl, "slicePanControlChanged");
    if (SlicePanel* panel = pan ? slicePanelFor(*slice) : nullptr) {
        panel->panSlider->setIntValue(static_cast<int>(*pan));
    }
}

void AppDelegate::sliceRitOffsetChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    const auto offset = valueOf(slice, &Slice::sliceRitOffset, "sliceRitOffsetChanged");
    if (!offset) {
        return;
    }
    if (debugEnabled()) {
        log("sliceRitOffsetChanged:[{}] sliceRitOffset:[{}]", slice->thisSliceNumber(), *offset);
    }
    if (SlicePanel* panel = slicePanelFor(*slice)) {
        panel->ritStepper->setDoubleValue(static_cast<double>(*offset));
        panel->ritText->setStringValue(std::to_string(*offset));
    }
}
void AppDelegate::sliceXitOffsetChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    const auto offset = valueOf(slice, &Slice::sliceXitOffset, "sliceXitOffsetChanged");
    if (!offset) {
        return;
    }
    if (debugEnabled()) {
        log("sliceXitOffsetChanged:[{}] sliceXitOffset:[{}]", slice->thisSliceNumber(), *offset);
    }
    if (SlicePanel* panel = slicePanelFor(*slice)) {
        panel->xitStepper->setDoubleValue(static_cast<double>(*offset));
        panel->xitText->setStringValue(std::to_string(*offset));
    }
}

void AppDelegate::sliceDaxChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    const auto channel = valueOf(slice, &Slice::sliceDax, "sliceDaxChanged");
    if (SlicePanel* panel = channel ? slicePanelFor(*slice) : nullptr) {
        selectTitle(panel->daxPopup, *channel == 0 ? "None" : std::to_string(*channel));
    }
}
void AppDelegate::sliceDaxClientsChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    const auto clients = valueOf(slice, &Slice::sliceDaxClients, "sliceDaxClientsChanged");
    if (SlicePanel* panel = clients ? slicePanelFor(*slice) : nullptr) {
        panel->daxClientsText->setStringValue(std::to_string(*clients));
    }
}

// --- Values the panels do not show

void AppDelegate::sliceNr2EnabledChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    logOnly(*this, slice, &Slice::sliceNr2Enabled, "sliceNr2EnabledChanged", "sliceNr2Enabled");
}
void AppDelegate::sliceWnbEnabledChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    logOnly(*this, slice, &Slice::sliceWnbEnabled, "sliceWnbEnabledChanged", "sliceWnbEnabled");
}
void AppDelegate::sliceWnbLevelChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    logOnly(*this, slice, &Slice::sliceWnbLevel, "sliceWnbLevelChanged", "sliceWnbLevel");
}
void AppDelegate::sliceStepListChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    logOnly(*this, slice, &Slice::stepList, "sliceStepListChanged", "stepList");
}
void AppDelegate::txAntListChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    logOnly(*this, slice, &Slice::txAntList, "txAntListChanged", "txAntList");
}
void AppDelegate::sliceRfGainChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    logOnly(*this, slice, &Slice::rfGain, "sliceRfGainChanged", "rfGain");
}
void AppDelegate::sliceDetachedChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    if (slice && debugEnabled()) {
        log("Slice {} {} MHz detached changed: {}", slice->sliceTitle().value_or(""),
            slice->sliceFrequency().value_or(""), slice->detached().value_or(0));
    }
}

// --- Frequency, mode and the active slice

void AppDelegate::sliceFrequencyChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    const auto frequency = valueOf(slice, &Slice::sliceFrequency, "sliceFrequencyChanged");
    if (!frequency) {
        return;
    }
    const std::shared_ptr<Slice> shown[] = {getSliceA(), getSliceB(), getSliceC(), getSliceD()};
    for (std::size_t panel = 0; panel < 4; ++panel) {
        if (shown[panel] == slice) {
            slicePanels[panel]->freqText->setDoubleValue(megahertz(*frequency));
            break;
        }
    }
    // The VFO fields follow once the handler has returned, with the slice's frequency then.
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    if (slice == activeVFO()) {
        DispatchQueue::main()->async([weak, slice] {
            if (const auto self = weak.lock()) {
                self->mainControls->vfo_mhz->setDoubleValue(lookups::sliceMegahertz(*slice));
            }
        });
    }
    if (slice == alternateVFO()) {
        DispatchQueue::main()->async([weak, slice] {
            if (const auto self = weak.lock()) {
                self->mainControls->vfo_alt_mhz->setDoubleValue(lookups::sliceMegahertz(*slice));
                self->mainControls->vfoAltText->setText(
                    QString::fromStdString(slice->sliceTitle().value_or("")));
            }
        });
    }
    lastTuningChange = std::chrono::system_clock::now();
    slicePanOwnerText(slice);
}

void AppDelegate::sliceModeChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    if (!valueOf(slice, &Slice::sliceMode, "sliceModeChanged")) {
        return;
    }
    updateModeMenus(slice);
    setPresetPopupBasedOnFilter(slice);
    if (const auto active = activeVFO()) {
        selectTitle(mainControls->vfo_mode, active->sliceMode().value_or(""));
    }
}

void AppDelegate::updateModeMenus(const std::shared_ptr<Slice>& slice) {
    SlicePanel* panel = slice ? slicePanelFor(*slice) : nullptr;
    if (!panel) {
        return;
    }
    const std::string mode = slice->sliceMode().value_or("");
    loadPresetFiltersForVFO(slice->thisSliceNumber(), mode);
    if (slice->sliceActive().value_or(false)) {
        selectTitle(mainControls->vfo_mode, mode);
    }
    if (Menu* modes =
            menus->contextModeSubMenuItems[std::size_t(slice->thisSliceNumber())]->submenu()) {
        for (int i = 0; i < modes->numberOfItems(); ++i) {
            if (MenuItem* item = modes->itemAtIndex(i)) {
                item->setState(item->title() == mode);
            }
        }
    }
    const double step = fineStepMode(mode) ? 1 : 10;
    panel->ritStepper->setIncrement(step);
    panel->xitStepper->setIncrement(step);
}

void AppDelegate::sliceActiveChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    if (!valueOf(slice, &Slice::sliceActive, "sliceActiveChanged")) {
        return;
    }
    const std::shared_ptr<Slice> alternate = alternateVFO();
    selectTitle(mainControls->vfo_number, slice->sliceTitle().value_or(""));
    mainControls->vfo_mhz->setDoubleValue(lookups::sliceMegahertz(*slice));
    mainControls->vfo_alt_mhz->setDoubleValue(alternate ? lookups::sliceMegahertz(*alternate) : 0);
    selectTitle(mainControls->vfo_mode, slice->sliceMode().value_or(""));
    mainControls->vfoAltText->setText(
        QString::fromStdString(alternate ? alternate->sliceTitle().value_or("") : ""));
    if (prefsWindow->muteAlternateVFOCheckBox->state()) {
        muteAllButActive(true);
    }
}

void AppDelegate::muteAllButActive(bool mute) {
    for (const auto& slice : doroSlices) {
        const bool muted = slice->sliceMuteEnabled().value_or(false);
        const bool wanted = mute && !slice->sliceActive().value_or(false);
        if (muted != wanted) {
            slice->setSliceMuteEnabled(wanted);
        }
    }
}

// --- The panadapter a slice sits in

std::shared_ptr<Panafall> AppDelegate::panForFrequency(double mhz) const {
    std::vector<lookups::PanSpan> spans;
    for (const auto& pan : doroPanafalls) {
        spans.push_back({pan->center().value_or(0), pan->bandwidth().value_or(0), pan->streamId()});
    }
    const auto index = lookups::panForFrequency(spans, mhz);
    return index ? doroPanafalls[*index] : nullptr;
}

std::string AppDelegate::panNameForPan(const std::shared_ptr<Panafall>& pan) const {
    if (!pan) {
        return "";
    }
    const std::string band = lookups::bandStringFromFrequency(
        pan->center().value_or(0), [this](double mhz) -> std::optional<std::string> {
            const auto xvtr = openRadio ? openRadio->xvtrForFrequency(mhz) : nullptr;
            return xvtr ? xvtr->key : std::nullopt;
        });
    if (band.empty()) {
        return "";
    }
    return band.front() == 'X' ? xvtrNameForXKey(band) : band + "M";
}

void AppDelegate::slicePanOwnerText(const std::shared_ptr<Slice>& slice) {
    SlicePanel* panel = slice ? slicePanelFor(*slice) : nullptr;
    if (!panel) {
        return;
    }
    std::string text = panNameForPan(panForFrequency(lookups::sliceMegahertz(*slice)));
    if (slice->detached().value_or(0) != 0) {
        text += " \u00D8";
    }
    panel->detachedText->setText(QString::fromStdString(text));
}

void AppDelegate::slicePanForSliceChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    if (valueOf(slice, &Slice::panForSlice, "slicePanForSliceChanged")) {
        slicePanOwnerText(slice);
    }
}

// --- Repeater offsets: the slice's transmit offset follows its direction and offset

double AppDelegate::transmitOffset(const Slice& slice) const {
    // The radio reports and takes the direction in lower case ("up"), the pop-up shows it in
    // upper case: either form counts.
    const std::string direction = upper(slice.repeaterOffsetDir().value_or(""));
    const double offset = slice.fmRepeaterOffset().value_or(0);
    if (direction == "UP") {
        return offset;
    }
    if (direction == "DOWN") {
        return -offset;
    }
    return 0;
}

void AppDelegate::sliceRepeaterOffsetDirChanged(const std::shared_ptr<Slice>& slice,
                                                const Change*) {
    const auto direction =
        valueOf(slice, &Slice::repeaterOffsetDir, "sliceRepeaterOffsetDirChanged");
    if (!direction) {
        return;
    }
    if (SlicePanel* panel = slicePanelFor(*slice)) {
        selectTitle(panel->repeaterOffsetDirPopup, upper(*direction));
    }
    slice->setTxOffsetFreq(static_cast<float>(transmitOffset(*slice)));
}

void AppDelegate::sliceFmRepeaterOffsetChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    const auto offset = valueOf(slice, &Slice::fmRepeaterOffset, "sliceFmRepeaterOffsetChanged");
    if (!offset) {
        return;
    }
    if (SlicePanel* panel = slicePanelFor(*slice)) {
        panel->fmRepeaterOffsetText->setStringValue(fmt::format("{:0.3f}", *offset));
    }
    slice->setTxOffsetFreq(static_cast<float>(transmitOffset(*slice)));
}

// --- AGC threshold and AGC-off level share the panel's AGC-T slider

void AppDelegate::sliceAgcThresholdChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    const auto level = valueOf(slice, &Slice::sliceAgcThreshold, "sliceAgcThresholdChanged");
    SlicePanel* panel = level ? slicePanelFor(*slice) : nullptr;
    if (panel && !slice->sliceAgcOff()) {
        showLevel(panel->agctSlider, panel->agctText, *level);
    }
}
void AppDelegate::sliceAgcOffLevelChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    const auto level = valueOf(slice, &Slice::sliceAgcOffLevel, "sliceAgcOffLevelChanged");
    SlicePanel* panel = level ? slicePanelFor(*slice) : nullptr;
    if (panel && slice->sliceAgcOff()) {
        showLevel(panel->agctSlider, panel->agctText, *level);
    }
}

// --- The quick recorder

void AppDelegate::sliceRecordEnabledChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    const auto recording = valueOf(slice, &Slice::sliceRecordEnabled, "sliceRecordEnabledChanged");
    if (!recording) {
        return;
    }
    if (debugEnabled()) {
        log("sliceRecordEnabledChanged:slice:[{}] state:[{}]", slice->thisSliceNumber(),
            int(*recording));
    }
    if (SlicePanel* panel = slicePanelFor(*slice)) {
        panel->recordButton->setImage(*recording ? redBulb : greyBulb);
    }
}

bool* AppDelegate::flashPlayBack(int sliceNumber) {
    switch (sliceNumber) {
        case 0: return &flashPlayBackA;
        case 1: return &flashPlayBackB;
        case 2: return &flashPlayBackC;
        case 3: return &flashPlayBackD;
        default: return nullptr;
    }
}

void AppDelegate::slicePlaybackEnabledChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    const auto playing =
        valueOf(slice, &Slice::slicePlaybackEnabled, "slicePlaybackEnabledChanged");
    if (!playing) {
        return;
    }
    if (debugEnabled()) {
        log("slicePlaybackEnabledChanged:slice:[{}] state:[{}]", slice->thisSliceNumber(),
            int(*playing));
    }
    SlicePanel* panel = slicePanelFor(*slice);
    if (!panel) {
        return;
    }
    // A quick recording played on the air keys the transmitter for as long as it plays.
    if (panel->qrTransmitButton->state() && !slice->sliceRecordEnabled().value_or(false) &&
        openRadio) {
        openRadio->setTxState(*playing ? 1 : 0);
    }
    bool* flash = flashPlayBack(slice->thisSliceNumber());
    *flash = *playing;
    const bool recordingKept = slice->sliceQRlength().value_or(0) != 0;
    panel->playbackButton->setImage(*playing || recordingKept ? play_button_green
                                                              : play_button_black);
}

void AppDelegate::sliceQRlengthChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    const auto length = valueOf(slice, &Slice::sliceQRlength, "sliceQRlengthChanged");
    SlicePanel* panel = length ? slicePanelFor(*slice) : nullptr;
    if (!panel) {
        return;
    }
    panel->qrLengthText->setIntValue(static_cast<int>(*length));
    if (*length != 0) {
        panel->playbackButton->setImage(play_button_green);
    }
}

// --- RIT, XIT and the transmit slice

void AppDelegate::sliceRitEnabledChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    const auto on = valueOf(slice, &Slice::sliceRitEnabled, "sliceRitEnabledChanged");
    if (!on) {
        return;
    }
    if (debugEnabled()) {
        log("sliceRitEnabledChanged:[{}] sliceRitEnabled:[{}]", slice->thisSliceNumber(), int(*on));
    }
    if (SlicePanel* panel = slicePanelFor(*slice)) {
        panel->ritButton->setState(*on);
    }
    if (slice->sliceActive().value_or(false)) {
        hud->hudRitButton->setState(*on);
        hud->hudRitButton->setImage(*on ? blueBulb : greyBulb);
    }
}

void AppDelegate::sliceXitEnabledChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    const auto on = valueOf(slice, &Slice::sliceXitEnabled, "sliceXitEnabledChanged");
    if (!on) {
        return;
    }
    if (debugEnabled()) {
        log("sliceXitEnabledChanged:[{}] sliceXitEnabled:[{}]", slice->thisSliceNumber(), int(*on));
    }
    if (SlicePanel* panel = slicePanelFor(*slice)) {
        panel->xitButton->setState(*on);
    }
    if (slice->sliceActive().value_or(false)) {
        hud->hudXitButton->setState(*on);
        hud->hudXitButton->setImage(*on ? orangeBulb : greyBulb);
    }
}

void AppDelegate::sliceTxEnabledChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    if (slice && debugEnabled()) {
        log("sliceTxEnabledChanged:[{}] sliceTxEnabled:[{}]", slice->thisSliceNumber(),
            int(slice->sliceTxEnabled().value_or(false)));
    }
}

// --- Filter edges

void AppDelegate::sliceFilterLoChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    const auto edge = valueOf(slice, &Slice::sliceFilterLo, "sliceFilterLoChanged");
    if (SlicePanel* panel = edge ? slicePanelFor(*slice) : nullptr) {
        panel->filterLoStepper->setDoubleValue(static_cast<double>(*edge));
        panel->filterLoText->setDoubleValue(static_cast<double>(*edge));
        showFilterWidth(*panel);
        setPresetPopupBasedOnFilter(slice);
    }
}

void AppDelegate::sliceFilterHiChanged(const std::shared_ptr<Slice>& slice, const Change*) {
    const auto edge = valueOf(slice, &Slice::sliceFilterHi, "sliceFilterHiChanged");
    if (SlicePanel* panel = edge ? slicePanelFor(*slice) : nullptr) {
        panel->filterHiStepper->setDoubleValue(static_cast<double>(*edge));
        panel->filterHiText->setDoubleValue(static_cast<double>(*edge));
        showFilterWidth(*panel);
        setPresetPopupBasedOnFilter(slice);
    }
}

// The width text of the panel's own slice, when it has one.
void AppDelegate::showFilterWidth(SlicePanel& panel) {
    const auto slice = sliceWithNumber(panel.letter() - 'A');
    const std::string width = slice ? slice->formatSliceFilterBandwidth() : "";
    if (!width.empty()) {
        panel.filterText->setStringValue(width);
    }
}

}  // namespace vm
