#include "platform/core/Scanner.h"

#include <locale.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <string>

namespace vm {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

double parseDoubleC(const std::string& token) {
    // Independent of the process locale, which a GUI toolkit may have changed.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    return strtod_l(token.c_str(), nullptr, cLocale);
}

// Whether letter case can matter in a match of `s`: not for text without ASCII letters (blanks,
// "=", "|", digits), the separators the radio's lines are scanned for.
bool hasLetters(std::string_view s) {
    for (const char c : s) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
            static_cast<unsigned char>(c) >= 0x80) {
            return true;
        }
    }
    return false;
}

}  // namespace

void Scanner::skipIgnored() {
    if (!skip_) {
        return;
    }
    while (location_ < text_.size() && skip_->contains(text_[location_])) {
        ++location_;
    }
}

bool Scanner::isAtEnd() const {
    std::size_t pos = location_;
    if (skip_) {
        while (pos < text_.size() && skip_->contains(text_[pos])) {
            ++pos;
        }
    }
    return pos >= text_.size();
}

std::size_t Scanner::find(std::string_view s, std::size_t from) const {
    if (caseSensitive_ || !hasLetters(s)) {
        return text_.find(s, from);
    }
    if (s.empty()) {
        return from;
    }
    for (std::size_t i = from; i + s.size() <= text_.size(); ++i) {
        std::size_t k = 0;
        while (k < s.size() && std::tolower(static_cast<unsigned char>(text_[i + k])) ==
                                   std::tolower(static_cast<unsigned char>(s[k]))) {
            ++k;
        }
        if (k == s.size()) {
            return i;
        }
    }
    return std::string::npos;
}

bool Scanner::matchesAt(std::string_view s, std::size_t at) const {
    if (s.size() > text_.size() - std::min(at, text_.size())) {
        return false;
    }
    if (caseSensitive_ || !hasLetters(s)) {
        return std::string_view(text_).substr(at, s.size()) == s;
    }
    for (std::size_t k = 0; k < s.size(); ++k) {
        if (std::tolower(static_cast<unsigned char>(text_[at + k])) !=
            std::tolower(static_cast<unsigned char>(s[k]))) {
            return false;
        }
    }
    return true;
}

bool Scanner::scanString(std::string_view s, std::string* into) {
    const std::size_t saved = location_;
    skipIgnored();
    if (s.empty() || !matchesAt(s, location_)) {
        location_ = saved;
        return false;
    }
    if (into) {
        *into = text_.substr(location_, s.size());
    }
    location_ += s.size();
    return true;
}

bool Scanner::scanUpToString(std::string_view s, std::string* into) {
    const std::size_t saved = location_;
    skipIgnored();
    std::size_t end = find(s, location_);
    if (end == std::string::npos) {
        end = text_.size();
    }
    if (end == location_) {
        location_ = saved;
        return false;
    }
    if (into) {
        *into = text_.substr(location_, end - location_);
    }
    location_ = end;
    return true;
}

bool Scanner::scanCharactersFromSet(const CharacterSet& set, std::string* into) {
    const std::size_t saved = location_;
    skipIgnored();
    std::size_t end = location_;
    while (end < text_.size() && set.contains(text_[end])) {
        ++end;
    }
    if (end == location_) {
        location_ = saved;
        return false;
    }
    if (into) {
        *into = text_.substr(location_, end - location_);
    }
    location_ = end;
    return true;
}

bool Scanner::scanUpToCharactersFromSet(const CharacterSet& set, std::string* into) {
    return scanCharactersFromSet(set.inverted(), into);
}

bool Scanner::scanSigned(long long* value, long long min, long long max) {
    const std::size_t saved = location_;
    skipIgnored();
    std::size_t pos = location_;
    bool negative = false;
    if (pos < text_.size() && (text_[pos] == '+' || text_[pos] == '-')) {
        negative = text_[pos] == '-';
        ++pos;
    }
    if (pos >= text_.size() || !isDigit(text_[pos])) {
        location_ = saved;
        return false;
    }
    // Accumulate the magnitude, saturating once it passes what either limit can hold.
    const unsigned long long limit = negative ? static_cast<unsigned long long>(-(min + 1)) + 1
                                              : static_cast<unsigned long long>(max);
    unsigned long long magnitude = 0;
    bool overflow = false;
    while (pos < text_.size() && isDigit(text_[pos])) {
        const unsigned digit = static_cast<unsigned>(text_[pos] - '0');
        if (!overflow && (magnitude > (limit - digit) / 10)) {
            overflow = true;
        }
        if (!overflow) {
            magnitude = magnitude * 10 + digit;
        }
        ++pos;
    }
    long long result;
    if (overflow) {
        result = negative ? min : max;
    } else if (negative) {
        result = magnitude == 0 ? 0 : -static_cast<long long>(magnitude - 1) - 1;
    } else {
        result = static_cast<long long>(magnitude);
    }
    if (value) {
        *value = result;
    }
    location_ = pos;
    return true;
}

bool Scanner::scanInt(int* value) {
    long long v = 0;
    if (!scanSigned(&v, INT_MIN, INT_MAX)) {
        return false;
    }
    if (value) {
        *value = static_cast<int>(v);
    }
    return true;
}

bool Scanner::scanInteger(long* value) {
    long long v = 0;
    if (!scanSigned(&v, LONG_MIN, LONG_MAX)) {
        return false;
    }
    if (value) {
        *value = static_cast<long>(v);
    }
    return true;
}

bool Scanner::scanLongLong(long long* value) { return scanSigned(value, LLONG_MIN, LLONG_MAX); }

bool Scanner::scanUnsignedLongLong(unsigned long long* value) {
    const std::size_t saved = location_;
    skipIgnored();
    std::size_t pos = location_;
    if (pos < text_.size() && text_[pos] == '+') {
        ++pos;
    }
    if (pos >= text_.size() || !isDigit(text_[pos])) {
        location_ = saved;
        return false;
    }
    unsigned long long result = 0;
    bool overflow = false;
    while (pos < text_.size() && isDigit(text_[pos])) {
        const unsigned digit = static_cast<unsigned>(text_[pos] - '0');
        if (!overflow && result > (ULLONG_MAX - digit) / 10) {
            overflow = true;
        }
        if (!overflow) {
            result = result * 10 + digit;
        }
        ++pos;
    }
    if (value) {
        *value = overflow ? ULLONG_MAX : result;
    }
    location_ = pos;
    return true;
}

bool Scanner::scanDouble(double* value) {
    const std::size_t saved = location_;
    skipIgnored();
    std::size_t pos = location_;
    if (pos < text_.size() && (text_[pos] == '+' || text_[pos] == '-')) {
        ++pos;
    }
    std::size_t digits = 0;
    while (pos < text_.size() && isDigit(text_[pos])) {
        ++pos;
        ++digits;
    }
    if (pos < text_.size() && text_[pos] == '.') {
        std::size_t after = pos + 1;
        while (after < text_.size() && isDigit(text_[after])) {
            ++after;
            ++digits;
        }
        pos = after;
    }
    if (digits == 0) {
        location_ = saved;
        return false;
    }
    if (pos < text_.size() && (text_[pos] == 'e' || text_[pos] == 'E')) {
        std::size_t exp = pos + 1;
        if (exp < text_.size() && (text_[exp] == '+' || text_[exp] == '-')) {
            ++exp;
        }
        if (exp < text_.size() && isDigit(text_[exp])) {
            while (exp < text_.size() && isDigit(text_[exp])) {
                ++exp;
            }
            pos = exp;
        }
    }
    if (value) {
        *value = parseDoubleC(text_.substr(location_, pos - location_));
    }
    location_ = pos;
    return true;
}

bool Scanner::scanFloat(float* value) {
    double v = 0;
    if (!scanDouble(&v)) {
        return false;
    }
    if (value) {
        *value = static_cast<float>(v);
    }
    return true;
}

bool Scanner::scanHex(unsigned long long* value, unsigned long long max) {
    const std::size_t saved = location_;
    skipIgnored();
    std::size_t pos = location_;
    if (pos + 2 < text_.size() && text_[pos] == '0' &&
        (text_[pos + 1] == 'x' || text_[pos + 1] == 'X') && hexValue(text_[pos + 2]) >= 0) {
        pos += 2;
    }
    if (pos >= text_.size() || hexValue(text_[pos]) < 0) {
        location_ = saved;
        return false;
    }
    unsigned long long result = 0;
    bool overflow = false;
    while (pos < text_.size() && hexValue(text_[pos]) >= 0) {
        const auto digit = static_cast<unsigned long long>(hexValue(text_[pos]));
        if (!overflow && result > (max - digit) / 16) {
            overflow = true;
        }
        if (!overflow) {
            result = result * 16 + digit;
        }
        ++pos;
    }
    if (value) {
        *value = overflow ? max : result;
    }
    location_ = pos;
    return true;
}

bool Scanner::scanHexInt(unsigned* value) {
    unsigned long long v = 0;
    if (!scanHex(&v, UINT_MAX)) {
        return false;
    }
    if (value) {
        *value = static_cast<unsigned>(v);
    }
    return true;
}

bool Scanner::scanHexLongLong(unsigned long long* value) { return scanHex(value, ULLONG_MAX); }

}  // namespace vm
