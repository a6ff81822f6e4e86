#pragma once
// The values a slice panel hands to the radio from text: the FM tone frequency, the repeater
// offset and the DAX channel. Each reads the whole text (blanks around it allowed) as one number
// inside the range the radio works with; anything else (empty, words, trailing characters, not a
// number, out of range) gives nothing, and the slice is left as it is.
#include <cstdint>
#include <optional>
#include <string_view>

namespace vm::entries {

// The CTCSS tones the panels offer run from 67.0 to 254.1 Hz.
inline constexpr double kLowestToneHz = 67.0;
inline constexpr double kHighestToneHz = 254.1;
// A repeater offset is a distance in MHz; its direction is a setting of its own.
inline constexpr double kHighestRepeaterOffsetMHz = 100.0;
inline constexpr int kHighestDaxChannel = 8;

std::optional<float> toneFrequency(std::string_view text);
std::optional<float> repeaterOffset(std::string_view text);
// "None" is channel 0; otherwise a whole number from 0 to 8.
std::optional<std::int64_t> daxChannel(std::string_view text);

}  // namespace vm::entries
