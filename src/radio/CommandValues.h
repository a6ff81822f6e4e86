#pragma once
// How the command setters write their values into a command: integers in decimal (a text gives
// its leading integer, as the transmit filter edges do), flags as 1 or 0, texts through the
// command-text cleaning. A missing value sends 0 or the empty text.
#include "platform/core/TextValues.h"
#include "radio/CommandText.h"
#include "radio/RadioTypes.h"

#include <cmath>
#include <limits>

namespace vm {

inline int commandInteger(const Number& value) { return value.value_or(0); }
inline int commandInteger(const Text& value) { return value ? textIntValue(*value) : 0; }
inline int commandFlag(const Number& value) { return value.value_or(0) != 0 ? 1 : 0; }
inline std::string commandText(const Text& value) {
    return commandField(value.value_or(std::string()));
}
// A size in pixels truncated toward zero; what an int cannot hold (not a number, too large) is 0.
inline int commandPixels(double size) {
    const double whole = std::trunc(size);
    if (!std::isfinite(whole) || whole < std::numeric_limits<int>::min() ||
        whole > std::numeric_limits<int>::max()) {
        return 0;
    }
    return static_cast<int>(whole);
}

}  // namespace vm
