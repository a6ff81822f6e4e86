#pragma once
// How the radio's texts read as numbers and flags: the leading integer of a text (blanks first,
// an optional sign, digits; no digits read 0, values beyond int are clamped), and a flag that is
// true when the text begins, after blanks, with Y, y, T, t or a digit 1 to 9.
#include <string_view>

namespace vm::textvalues {

int intValue(std::string_view text);
bool boolValue(std::string_view text);

}  // namespace vm::textvalues
