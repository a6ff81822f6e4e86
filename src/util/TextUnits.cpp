#include "util/TextUnits.h"

#include "util/Utf16.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>

namespace vm::strings::units {

namespace {

UChar32 fold(char16_t c) { return U16_IS_SURROGATE(c) ? c : u_foldCase(c, U_FOLD_CASE_DEFAULT); }

bool sameUnit(char16_t a, char16_t b, bool ignoringCase) {
    return a == b || (ignoringCase && fold(a) == fold(b));
}

template <class Convert>
std::u16string mapCase(const std::u16string& s, Convert convert) {
    if (s.empty()) {
        return s;
    }
    UErrorCode status = U_ZERO_ERROR;
    const int32_t needed =
        convert(nullptr, 0, s.data(), static_cast<int32_t>(s.size()), "", &status);
    std::u16string out(static_cast<std::size_t>(needed), u'\0');
    status = U_ZERO_ERROR;
    convert(out.data(), needed, s.data(), static_cast<int32_t>(s.size()), "", &status);
    return U_SUCCESS(status) ? out : s;
}

template <class S>
S replaceIn(const S& s, const S& target, const S& replacement) {
    if (target.empty()) {
        return s;
    }
    S out;
    std::size_t at = 0;
    for (std::size_t hit; (hit = s.find(target, at)) != S::npos; at = hit + target.size()) {
        out.append(s, at, hit - at);
        out += replacement;
    }
    out.append(s, at);
    return out;
}

}  // namespace

std::size_t find(const std::u16string& hay, const std::u16string& needle, std::size_t from,
                 bool ignoringCase) {
    if (needle.empty() || needle.size() > hay.size()) {
        return std::u16string::npos;
    }
    for (std::size_t i = from; i + needle.size() <= hay.size(); ++i) {
        std::size_t k = 0;
        while (k < needle.size() && sameUnit(hay[i + k], needle[k], ignoringCase)) {
            ++k;
        }
        if (k == needle.size()) {
            return i;
        }
    }
    return std::u16string::npos;
}

bool equal(const std::u16string& a, const std::u16string& b, bool ignoringCase) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!sameUnit(a[i], b[i], ignoringCase)) {
            return false;
        }
    }
    return true;
}

std::u16string trim(const std::u16string& s, const CharacterClass& set) {
    std::size_t begin = 0;
    std::size_t end = s.size();
    while (begin < end && set(s[begin])) {
        ++begin;
    }
    while (end > begin && set(s[end - 1])) {
        --end;
    }
    return s.substr(begin, end - begin);
}

std::u16string replaceAll(const std::u16string& s, const std::u16string& target,
                          const std::u16string& replacement) {
    return replaceIn(s, target, replacement);
}

std::u16string removeAll(const std::u16string& s, const CharacterClass& set) {
    std::u16string out;
    for (char16_t c : s) {
        if (!set(c)) {
            out += c;
        }
    }
    return out;
}

std::u16string upper(const std::u16string& s) { return mapCase(s, u_strToUpper); }
std::u16string lower(const std::u16string& s) { return mapCase(s, u_strToLower); }

std::size_t lineEnd(const std::u16string& s, std::size_t start) {
    for (std::size_t i = start; i < s.size(); ++i) {
        const char16_t c = s[i];
        if (c == u'\r') {
            return (i + 1 < s.size() && s[i + 1] == u'\n') ? i + 2 : i + 1;
        }
        if (c == u'\n' || c == 0x85 || c == 0x2028 || c == 0x2029) {
            return i + 1;
        }
    }
    return s.size();
}

std::string trim(const std::string& s, const CharacterClass& set) {
    return utf16::toUtf8(trim(utf16::fromUtf8(s), set));
}

std::string replaceAll(const std::string& s, const std::string& target,
                       const std::string& replacement) {
    // A whole UTF-8 sequence only ever matches whole sequences, so the bytes are replaced directly.
    return replaceIn(s, target, replacement);
}

std::string upper(const std::string& s) { return utf16::toUtf8(upper(utf16::fromUtf8(s))); }

std::vector<std::string> split(const std::string& s, char separator) {
    std::vector<std::string> parts;
    std::size_t at = 0;
    for (std::size_t hit; (hit = s.find(separator, at)) != std::string::npos; at = hit + 1) {
        parts.push_back(s.substr(at, hit - at));
    }
    parts.push_back(s.substr(at));
    return parts;
}

}  // namespace vm::strings::units
