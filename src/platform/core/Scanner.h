#pragma once
// A scanner over one line of protocol text, as the status parsers walk it: a location that moves
// forward as values are scanned. Each scan first skips the characters to be skipped (none unless
// set); a scan that finds nothing returns false and leaves the location where it was. String
// matching ignores case unless setCaseSensitive(true). Locations count bytes.
#include "platform/core/CharacterSet.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vm {

class Scanner {
public:
    explicit Scanner(std::string text) : text_(std::move(text)) {}

    const std::string& string() const { return text_; }
    std::size_t location() const { return location_; }
    void setLocation(std::size_t location) { location_ = std::min(location, text_.size()); }
    // True when nothing but characters to be skipped is left.
    bool isAtEnd() const;
    // The text from the location to the end.
    std::string_view remainder() const { return std::string_view(text_).substr(location_); }

    void setCharactersToBeSkipped(std::optional<CharacterSet> set) { skip_ = std::move(set); }
    void setCaseSensitive(bool caseSensitive) { caseSensitive_ = caseSensitive; }

    bool scanString(std::string_view s, std::string* into = nullptr);
    bool scanUpToString(std::string_view s, std::string* into = nullptr);
    bool scanCharactersFromSet(const CharacterSet& set, std::string* into = nullptr);
    bool scanUpToCharactersFromSet(const CharacterSet& set, std::string* into = nullptr);

    // Decimal integers with an optional sign; a value out of range is clamped to the type's limit
    // and all its digits are consumed.
    bool scanInt(int* value = nullptr);
    bool scanInteger(long* value = nullptr);
    bool scanLongLong(long long* value = nullptr);
    bool scanUnsignedLongLong(unsigned long long* value = nullptr);
    // [sign] digits [. digits] [e [sign] digits], with at least one digit before the exponent.
    bool scanDouble(double* value = nullptr);
    bool scanFloat(float* value = nullptr);
    // Hexadecimal digits after an optional "0x" or "0X"; clamped at the type's limit.
    bool scanHexInt(unsigned* value = nullptr);
    bool scanHexLongLong(unsigned long long* value = nullptr);

private:
    void skipIgnored();
    std::size_t find(std::string_view s, std::size_t from) const;
    // Whether `s` stands at `at`, in the scanner's letter case rule.
    bool matchesAt(std::string_view s, std::size_t at) const;
    bool scanSigned(long long* value, long long min, long long max);
    bool scanHex(unsigned long long* value, unsigned long long max);

    std::string text_;
    std::size_t location_ = 0;
    std::optional<CharacterSet> skip_;
    bool caseSensitive_ = false;
};

}  // namespace vm
