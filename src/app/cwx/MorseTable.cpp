#include "app/cwx/MorseTable.h"

#include <array>

namespace vm {
namespace {

// Written as dits and dahs, turned into pattern bytes when the table is made.
struct Written {
    char c;
    const char* code;
};

constexpr Written kWritten[] = {
    {'A', ".-"},     {'B', "-..."},   {'C', "-.-."},    {'D', "-.."},     {'E', "."},
    {'F', "..-."},   {'G', "--."},    {'H', "...."},    {'I', ".."},      {'J', ".---"},
    {'K', "-.-"},    {'L', ".-.."},   {'M', "--"},      {'N', "-."},      {'O', "---"},
    {'P', ".--."},   {'Q', "--.-"},   {'R', ".-."},     {'S', "..."},     {'T', "-"},
    {'U', "..-"},    {'V', "...-"},   {'W', ".--"},     {'X', "-..-"},    {'Y', "-.--"},
    {'Z', "--.."},   {'0', "-----"},  {'1', ".----"},   {'2', "..---"},   {'3', "...--"},
    {'4', "....-"},  {'5', "....."},  {'6', "-...."},   {'7', "--..."},   {'8', "---.."},
    {'9', "----."},  {'"', ".-..-."}, {'$', "...-..-"}, {'\'', ".----."}, {'(', "-.--."},
    {')', "-.--.-"}, {'+', ".-.-."},  {',', "--..--"},  {'-', "-....-"},  {'.', ".-.-.-"},
    {'/', "-..-."},  {':', "---..."}, {';', "-.-.-."},  {'=', "-...-"},   {'?', "..--.."},
    {'@', ".-.-."},  {'_', "..--.-"},
};

constexpr std::array<MorseCode, 128> makeTable() {
    std::array<MorseCode, 128> table{};
    for (const Written& w : kWritten) {
        MorseCode code;
        for (const char* e = w.code; *e; ++e, ++code.length) {
            if (*e == '-') {
                code.pattern |= std::uint8_t(0x80 >> code.length);
            }
        }
        table[std::size_t(w.c)] = code;
        if (w.c >= 'A' && w.c <= 'Z') {
            table[std::size_t(w.c - 'A' + 'a')] = code;
        }
    }
    return table;
}

constexpr std::array<MorseCode, 128> kTable = makeTable();

}  // namespace

MorseCode morseCode(char c) { return kTable[static_cast<unsigned char>(c) & 0x7F]; }

}  // namespace vm
