#include "platform/core/TextValues.h"

#include <climits>
#include <cstddef>

namespace vm {

namespace {

std::size_t afterBlanks(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\n' ||
                                 text[pos] == '\r' || text[pos] == '\v' || text[pos] == '\f')) {
        ++pos;
    }
    return pos;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int textIntValue(std::string_view text) {
    std::size_t pos = afterBlanks(text);
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    long long value = 0;
    for (; pos < text.size() && isDigit(text[pos]); ++pos) {
        if (value <= static_cast<long long>(INT_MAX) + 1) {
            value = value * 10 + (text[pos] - '0');
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

bool textBoolValue(std::string_view text) {
    std::size_t pos = afterBlanks(text);
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        ++pos;
    }
    while (pos < text.size() && text[pos] == '0') {
        ++pos;
    }
    if (pos >= text.size()) {
        return false;
    }
    const char c = text[pos];
    return (c >= '1' && c <= '9') || c == 'Y' || c == 'y' || c == 'T' || c == 't';
}

}  // namespace vm
