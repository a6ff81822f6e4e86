#pragma once
// A set of byte values for scanning ASCII protocol text. Bytes of multi-byte UTF-8 characters
// (0x80 and above) belong only to inverted sets.
#include <bitset>
#include <string_view>

namespace vm {

class CharacterSet {
public:
    CharacterSet() = default;
    static CharacterSet fromString(std::string_view characters);
    static CharacterSet whitespace();  // space and tab
    static CharacterSet newline();     // LF, CR, VT, FF
    static CharacterSet whitespaceAndNewline();
    static CharacterSet decimalDigits();
    static CharacterSet letters();
    static CharacterSet alphanumerics();

    CharacterSet inverted() const;
    CharacterSet operator|(const CharacterSet& other) const;
    bool contains(char c) const { return bits_[static_cast<unsigned char>(c)]; }

private:
    std::bitset<256> bits_;
};

}  // namespace vm
