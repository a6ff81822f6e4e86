// What the transverter editor's controls do: a field's entry or a check box sent to the radio as
// its "xvtr set" command, creating and deleting a transverter, and moving the active slice onto
// a transverter (or its antennas back).
#include "app/control/SliceLookups.h"
#include "app/memory/TransverterEditor.h"
#include "app/windows/TransverterPrefsPage.h"
#include "display/Panafall.h"
#include "objects/Slice.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"
#include "platform/ui/Alert.h"
#include "platform/ui/MenuItem.h"
#include "radio/Radio.h"
#include "radio/Xvtr.h"
#include "util/StringAdditions.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <chrono>

namespace vm {

namespace {

std::string lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// A transverter's RF frequency as the text a slice is tuned to.
std::string frequencyText(const Xvtr& xvtr) { return fmt::format("{}", xvtr.rf_freq.value_or(0)); }

}  // namespace

void TransverterEditor::xvtrAdd() {
    if (const std::shared_ptr<Radio> open = radio()) {
        open->cmdCreateXvtr();
    }
}

void TransverterEditor::xvtrDelete() {
    const std::shared_ptr<Xvtr> xvtr = selectedTransverter();
    if (!xvtr) {
        return;
    }
    const auto h = host();
    if (!confirmDeletion(fmt::format("Are you sure you want to delete the {} Transverter ?",
                                     xvtr->name.value_or("")),
                         h ? h->alertAppearance() : std::nullopt)) {
        return;
    }
    // The radio may have closed while the alert was open.
    if (const std::shared_ptr<Radio> open = radio()) {
        open->cmdRemoveXvtr(xvtr->key.value_or(""));
    }
}

// The record is changed at once; the radio's status line confirms or corrects it.
void TransverterEditor::xvtrValueChanged(int tag, const std::string& text) {
    const int index = page_ ? page_->selectedTransverterTab() : -1;
    const std::shared_ptr<Xvtr> xvtr = selectedTransverter();
    const std::shared_ptr<Radio> open = radio();
    if (!xvtr || !open) {
        return;
    }
    const std::string key = xvtr->key.value_or("");
    auto changed = std::make_shared<Xvtr>(*xvtr);
    // A frequency below zero is sent as 0; the other numbers go as typed.
    auto frequency = [&](const char* param, std::optional<double>& field) {
        const std::string value = strings::doubleValue(text) < 0 ? "0" : text;
        open->cmdSetXvtr(key, param, value);
        field = strings::doubleValue(value);
    };
    switch (tag) {
        case kXvtrNameTag: {
            std::string name = text;
            std::replace_if(
                name.begin(), name.end(), [](unsigned char c) { return std::isblank(c); }, '_');
            open->cmdSetXvtr(key, "name", name);
            changed->name = name;
            page_->setTransverterTabLabel(index, name);
            break;
        }
        case kXvtrRfFreqTag: frequency("rf_freq", changed->rf_freq); break;
        case kXvtrIfFreqTag: frequency("if_freq", changed->if_freq); break;
        case kXvtrLoErrorTag: {
            // The field shows hertz; the radio reports and takes megahertz.
            const double hz = strings::doubleValue(text);
            open->cmdSetXvtr(key, "lo_error", fmt::format("{:.6f}", hz / 1e6));
            changed->lo_error = hz;
            break;
        }
        case kXvtrMaxPowerTag:
            open->cmdSetXvtr(key, "max_power", text);
            changed->max_power = strings::doubleValue(text);
            break;
        case kXvtrRxGainTag:
            open->cmdSetXvtr(key, "rx_gain", text);
            changed->rx_gain = strings::doubleValue(text);
            break;
        default: break;
    }
    storeLocally(xvtr, changed);
    reloadAt(index);
}

void TransverterEditor::xvtrButtonChanged(int tag, bool on) {
    const int index = page_ ? page_->selectedTransverterTab() : -1;
    const std::shared_ptr<Xvtr> xvtr = selectedTransverter();
    const std::shared_ptr<Radio> open = radio();
    if (!xvtr || !open) {
        return;
    }
    auto changed = std::make_shared<Xvtr>(*xvtr);
    const char* param = nullptr;
    switch (tag) {
        case kXvtrRxOnlyTag:
            param = "rx_only";
            changed->rx_only = int(on);
            break;
        case kXvtrPreferredTag:
            param = "preferred";
            changed->preferred = int(on);
            break;
        case kXvtrTwoMeterIntTag:
            param = "two_meter_int";
            changed->two_meter_int = int(on);
            break;
        default: break;
    }
    if (param) {
        open->cmdSetXvtr(xvtr->key.value_or(""), param, on ? "1" : "0");
        storeLocally(xvtr, changed);
    }
    reloadAt(index);
}

void TransverterEditor::xvtrSelectButtonPressed() {
    const std::shared_ptr<Xvtr> xvtr = selectedTransverter();
    if (!xvtr) {
        return;
    }
    log("xvtrSelectButtonPressed:key:{} name:{}", xvtr->key.value_or(""), xvtr->name.value_or(""));
    activateXvtr(xvtr, frequencyText(*xvtr), "");
    lastTransverter = xvtr;
}

void TransverterEditor::xvtrMenuChanged(const MenuItem& item) {
    const auto* held = std::any_cast<std::shared_ptr<Xvtr>>(&item.representedObject());
    if (!held || !*held) {
        return;
    }
    const std::shared_ptr<Xvtr> xvtr = *held;
    log("xvtrMenuChanged:key:{} name:{}", xvtr->key.value_or(""), xvtr->name.value_or(""));
    activateXvtr(xvtr, frequencyText(*xvtr), "");
    lastTransverter = xvtr;
}

void TransverterEditor::activateXvtr(const std::shared_ptr<Xvtr>& xvtr,
                                     const std::string& frequency, const std::string& mode) {
    const auto h = host();
    if (!xvtr || !h) {
        return;
    }
    const std::shared_ptr<Slice> active = h->activeVFO();
    if (!active) {
        return;
    }
    if (const auto pan = h->panForFrequency(lookups::sliceMegahertz(*active))) {
        pan->setBand("X" + xvtr->key.value_or(""));
    }
    const bool rxOnly = xvtr->rx_only.value_or(0) != 0;
    std::weak_ptr<Slice> weak = active;
    DispatchQueue::main()->after(std::chrono::milliseconds(100), [weak, frequency, mode, rxOnly] {
        const std::shared_ptr<Slice> slice = weak.lock();
        if (!slice) {
            return;
        }
        slice->setSliceFrequency(frequency);
        if (!mode.empty()) {
            slice->setSliceMode(mode);
        }
        slice->setSliceRxAnt("xvtr");
        if (!rxOnly) {
            slice->setSliceTxAnt("xvtr");
        }
    });
}

// A slice's antenna goes back only to an antenna that was saved: an empty one would be no
// antenna at all.
void TransverterEditor::restoreHFAntennas() {
    const auto h = host();
    if (!h) {
        return;
    }
    const SavedAntennas saved = h->savedAntennas();
    auto restore = [](const std::shared_ptr<Slice>& slice, const std::string& rx,
                      const std::string& tx) {
        if (!slice) {
            return;
        }
        if (strings::containsString(slice->sliceRxAnt().value_or(""), "xvtr", true) &&
            !rx.empty()) {
            slice->setSliceRxAnt(lowercase(rx));
        }
        if (strings::containsString(slice->sliceTxAnt().value_or(""), "xvtr", true) &&
            !tx.empty()) {
            slice->setSliceTxAnt(lowercase(tx));
        }
    };
    restore(h->activeVFO(), saved.activeRx, saved.activeTx);
    restore(h->alternateVFO(), saved.alternateRx, saved.alternateTx);
}

}  // namespace vm
