#pragma once
// The values that other programs hand us (links of the program's scheme, the sibling
// applications' notifications) are checked here before anything of them reaches a slice: a
// frequency must be a plain decimal number of megahertz, a mode one that the slice offers.
#include "platform/core/PlistValue.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vm::sibling {

// A frequency written as a plain decimal number of megahertz above zero ("14.074", "7", ".5"):
// digits with at most one point, nothing else (no sign, exponent, blank, letter or line break),
// at most 16 characters. nullopt for anything else.
std::optional<double> plainMegahertz(std::string_view text);

// The mode is one of the slice's modes as the radio lists them (letter case counts). False
// while the radio has not listed them.
bool offeredMode(const std::string& mode, const std::optional<std::vector<std::string>>& modes);

// A number from a notification's dictionary: an integer, a finite real, or a text that
// `plainMegahertz` accepts. nullopt when the key is absent or holds anything else.
std::optional<double> payloadNumber(const PlistDict& payload, const std::string& key);
// A text from a notification's dictionary; "" when the key is absent or holds no text.
std::string payloadText(const PlistDict& payload, const std::string& key);
// A boolean (or a number, non-zero meaning yes); nullopt when absent or of another kind.
std::optional<bool> payloadFlag(const PlistDict& payload, const std::string& key);

// The text a slice is tuned with for a number of megahertz: the shortest form that reads back
// as the same number ("145.8", "437").
std::string megahertzText(double mhz);

}  // namespace vm::sibling
