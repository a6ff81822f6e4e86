#pragma once
// Numbers and flags read from the text of a status value or a setter's string, the way the
// radio's texts are read everywhere: leading blanks skipped, an optional sign, decimal digits.
#include <string_view>

namespace vm {

// The leading decimal integer; 0 when the text does not begin with one. Values beyond the range of
// int are clamped.
int textIntValue(std::string_view text);
// True when the text, after leading blanks, an optional sign and leading zeros, begins with a
// digit 1 to 9 or with Y, y, T or t.
bool textBoolValue(std::string_view text);

}  // namespace vm
