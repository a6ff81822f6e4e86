#pragma once
// The amateur band of a frequency: its name in metres ("20"), its number in the band order of the
// controls (12), or the band string of a panadapter and the band stacks, which names a
// transverter band "X" followed by the transverter's key.
#include <functional>
#include <optional>
#include <string>

namespace vm::lookups {

// "160" to "6" for a frequency inside a band (both edges included), else the empty string.
std::string strippedBandMetersFromMHz(double mhz);
// 2 (160 m) to 22 (6 m) for a frequency inside a band, else 0.
int bandNumericFromMHz(double mhz);

// The key of the transverter that covers a frequency, if any.
using XvtrKeyForFrequency = std::function<std::optional<std::string>(double mhz)>;

// From 0.03 to 54 MHz the band in metres (empty between bands); above or below, "X" and the
// covering transverter's key, or the empty string when no transverter covers it.
std::string bandStringFromFrequency(double mhz, const XvtrKeyForFrequency& xvtrKeyForFrequency);

}  // namespace vm::lookups
