#pragma once
// International Morse code for the local side tone: 128 entries indexed by the low seven bits of
// the character code. An entry is a pattern byte and an element count (0 to 7); element i is a
// dah when bit 7 - i of the pattern is set, else a dit, so the most significant bit is keyed
// first. Lower-case letters sound like upper case; the space and every character without a code
// have no elements.
#include <cstdint>

namespace vm {

struct MorseCode {
    std::uint8_t pattern = 0;
    std::uint8_t length = 0;

    bool isDah(int element) const { return (pattern >> (7 - element)) & 1; }
};

MorseCode morseCode(char c);

}  // namespace vm
