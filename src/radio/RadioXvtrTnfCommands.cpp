// Creating, changing and removing tracking notch filters and transverters on the radio, and finding
// a transverter by key or by frequency. The records change only when the radio's status comes
// back. Commands are sent at once on the calling thread.
#include "platform/core/Log.h"
#include "platform/core/TextValues.h"
#include "radio/CommandText.h"
#include "radio/Radio.h"
#include "radio/TNF.h"
#include "radio/Xvtr.h"

#include <fmt/format.h>

#include <cmath>

namespace vm {

// Frequencies and widths go out with six significant digits, in exponent form below 0.0001.
void Radio::createTNF(double frequency) {
    commandToRadio(fmt::format("tnf create freq={:g}", frequency));
}

void Radio::removeTNF(std::int32_t tnfId) { commandToRadio(fmt::format("tnf remove {}", tnfId)); }

// A width outside 5 Hz to 6 kHz is left out; the other three settings still go.
void Radio::saveTNF(const TNF& tnf) {
    commandToRadio(fmt::format("tnf set {} freq={:g}", tnf.tnf_id, tnf.frequency));
    commandToRadio(fmt::format("tnf set {} depth={}", tnf.tnf_id, tnf.depth));
    if (tnf.width > kTnfMaxWidth || tnf.width < kTnfMinWidth) {
        log("saveTNF:width:[{:f}] out of limits", tnf.width);
    } else {
        commandToRadio(fmt::format("tnf set {} width={:g}", tnf.tnf_id, tnf.width));
    }
    commandToRadio(fmt::format("tnf set {} permanent={}", tnf.tnf_id, tnf.permanent));
}

void Radio::cmdCreateXvtr() { commandToRadio("xvtr create", &Radio::xvtrChangeCallback); }

void Radio::cmdRemoveXvtr(const std::string& key) {
    commandToRadio("xvtr remove " + commandField(key), &Radio::xvtrChangeCallback);
}

void Radio::cmdSetXvtr(const std::string& key, const std::string& param, const std::string& value) {
    commandToRadio(fmt::format("xvtr set {} {} {}", commandField(key), commandField(param),
                               commandField(value)),
                   &Radio::xvtrChangeCallback);
}

// Keys compare by their integer value: "03" finds the record keyed "3", and a key without leading
// digits the one keyed "0".
std::shared_ptr<Xvtr> Radio::xvtrForKey(const std::string& key) const {
    const int wanted = textIntValue(key);
    return xvtrs()->with([&](const auto& list) -> std::shared_ptr<Xvtr> {
        for (const auto& xvtr : list) {
            if (textIntValue(xvtr->key.value_or("")) == wanted) {
                return xvtr;
            }
        }
        return nullptr;
    });
}

// The transverter whose RF frequency is nearest (the earlier one on a tie), whatever its IF range
// or validity; none without transverters.
std::shared_ptr<Xvtr> Radio::xvtrForFrequency(double frequency) const {
    return xvtrs()->with([&](const auto& list) {
        std::shared_ptr<Xvtr> nearest;
        double best = 100000.0;
        for (const auto& xvtr : list) {
            const double distance = std::fabs(frequency - xvtr->rf_freq.value_or(0));
            if (best > distance) {
                nearest = xvtr;
                best = distance;
            }
        }
        return nearest;
    });
}

}  // namespace vm
