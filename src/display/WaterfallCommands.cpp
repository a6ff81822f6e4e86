// The waterfall's command setters: each stores and announces its property on the calling thread,
// then sends "display panafall set <waterfall id> <key>=<value>" from the waterfall's queue.
#include "display/Waterfall.h"

#include <fmt/format.h>

namespace vm {

template <class T>
void Waterfall::setAndSend(Observed<T>& property, T value, const std::string& pairs) {
    property.set(std::move(value));
    queueObjectCommand(runQueue(), weak_from_this(), radio_,
                       fmt::format("display panafall set {} {}", streamId(), pairs));
}

void Waterfall::setLineDuration(int duration) {
    setAndSend(lineDuration, Number(duration), fmt::format("line_duration={}", duration));
}
void Waterfall::setAutoBlack(bool on) {
    setAndSend(autoBlack, Flag(on), fmt::format("auto_black={}", on ? 1 : 0));
}
void Waterfall::setColorGain(int gain) {
    setAndSend(colorGain, Number(gain), fmt::format("color_gain={}", gain));
}
void Waterfall::setBlackLevel(int level) {
    setAndSend(blackLevel, Number(level), fmt::format("black_level={}", level));
}
void Waterfall::setGradientIndex(int index) {
    setAndSend(gradientIndex, Number(index), fmt::format("gradient_index={}", index));
}

}  // namespace vm
