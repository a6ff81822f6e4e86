// The equalizer's setters: each stores and announces on the calling thread, then sends its command
// from `eqRunQueue` while the equalizer and its session live. No reply is awaited; the radio's next
// "eq" line confirms the value.
#include "objects/Equalizer.h"

#include <fmt/format.h>

namespace vm {

void Equalizer::setBand(std::size_t index, std::int64_t gain) {
    Observed<Integer>& property = band(index);
    if (property() == Integer(gain)) {
        return;
    }
    std::string command = fmt::format("eq {}sc {}={}", eqType(), bandCmdName()[index], gain);
    property.set(gain);
    queueObjectCommand(eqRunQueue(), weak_from_this(), radio_, std::move(command));
}

void Equalizer::setEqBand0Value(std::int64_t gain) { setBand(0, gain); }
void Equalizer::setEqBand1Value(std::int64_t gain) { setBand(1, gain); }
void Equalizer::setEqBand2Value(std::int64_t gain) { setBand(2, gain); }
void Equalizer::setEqBand3Value(std::int64_t gain) { setBand(3, gain); }
void Equalizer::setEqBand4Value(std::int64_t gain) { setBand(4, gain); }
void Equalizer::setEqBand5Value(std::int64_t gain) { setBand(5, gain); }
void Equalizer::setEqBand6Value(std::int64_t gain) { setBand(6, gain); }
void Equalizer::setEqBand7Value(std::int64_t gain) { setBand(7, gain); }

void Equalizer::setEqEnabled(bool on) {
    std::string command = fmt::format("eq {}sc mode={}", eqType(), on ? 1 : 0);
    eqEnabled.set(on);
    queueObjectCommand(eqRunQueue(), weak_from_this(), radio_, std::move(command));
}

}  // namespace vm
