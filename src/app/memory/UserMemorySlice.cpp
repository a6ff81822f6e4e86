#include "app/memory/UserMemorySlice.h"

#include "app/control/SliceLookups.h"
#include "app/memory/BandStack.h"
#include "objects/Slice.h"
#include "util/StringAdditions.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>

namespace vm {

namespace {

template <class T>
MemorySlot::Text textOf(const std::optional<T>& value) {
    if (!value) {
        return std::nullopt;
    }
    if constexpr (std::is_same_v<T, bool>) {
        return *value ? "1" : "0";
    } else {
        return fmt::format("{}", *value);
    }
}

double numberOf(const MemorySlot::Text& text) { return text ? strings::doubleValue(*text) : 0.0; }

// Hertz as a whole number; a text beyond any offset the radio knows (or no number) is held
// within +-1 GHz so the conversion stays defined.
std::int64_t hertzOf(const MemorySlot::Text& text) {
    const double hertz = numberOf(text);
    return std::isfinite(hertz) ? static_cast<std::int64_t>(std::clamp(hertz, -1e9, 1e9)) : 0;
}

}  // namespace

double memoryMegahertz(const MemorySlot& memory) { return numberOf(memory.freq); }

std::shared_ptr<MemorySlot> newUserMemory(const Slice& slice, const Text& callsign,
                                          const Number& rfPower) {
    auto memory = std::make_shared<MemorySlot>();
    const double megahertz = strings::doubleValue(slice.sliceFrequency().value_or(""));
    memory->owner = callsign;
    memory->group = "";
    memory->freq = fmt::format("{:.5f}", megahertz);
    memory->name = bandMetersFromMHz(megahertz);
    memory->mode = slice.sliceMode();
    memory->step = "100";
    if (memory->mode == "FM") {
        memory->offset_direction = slice.repeaterOffsetDir();
        memory->repeater_offset = fmt::format("{:.3f}", slice.fmRepeaterOffset().value_or(0));
        memory->tone_mode = slice.fmToneMode();
        memory->tone_value = textOf(slice.fmToneFreq());
        memory->squelch = textOf(slice.squelchEnabled());
        memory->squelch_level = textOf(slice.squelchLevel());
    } else {
        memory->offset_direction = "SIMPLEX";
        memory->repeater_offset = "0.000";
        memory->tone_mode = "NONE";
        memory->tone_value = "67.0";
        memory->squelch = "0";
        memory->squelch_level = "0";
    }
    memory->rx_filter_low = textOf(slice.sliceFilterLo());
    memory->rx_filter_high = textOf(slice.sliceFilterHi());
    memory->rtty_mark = textOf(slice.rttyMark());
    memory->rtty_shift = textOf(slice.rttyShift());
    memory->digl_offset = textOf(slice.diglOffset());
    memory->digu_offset = textOf(slice.diguOffset());
    memory->rf_power = textOf(rfPower);
    memory->highlight = "0";
    memory->highlight_color = "0";
    return memory;
}

void applyMemoryModeAndFrequency(const MemorySlot& memory, Slice& slice) {
    slice.setSliceMode(memory.mode.value_or(""));
    slice.setSliceFrequency(memory.freq.value_or(""));
}

void applyMemoryRest(const MemorySlot& memory, Slice& slice) {
    slice.setRepeaterOffsetDir(memory.offset_direction.value_or(""));
    slice.setFmRepeaterOffset(static_cast<float>(numberOf(memory.repeater_offset)));
    slice.setTxOffsetFreq(static_cast<float>(lookups::transmitOffset(slice)));
    slice.setFmToneFreq(static_cast<float>(numberOf(memory.tone_value)));
    slice.setFmToneMode(memory.tone_mode.value_or(""));
    slice.setSliceFilterLo(hertzOf(memory.rx_filter_low));
    slice.setSliceFilterHi(hertzOf(memory.rx_filter_high));
    slice.setRttyMark(hertzOf(memory.rtty_mark));
    slice.setRttyShift(hertzOf(memory.rtty_shift));
    slice.setDiglOffset(hertzOf(memory.digl_offset));
    slice.setDiguOffset(hertzOf(memory.digu_offset));
}

}  // namespace vm
