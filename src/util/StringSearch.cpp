// Searching, counting, lines and ranges.
#include "platform/core/Scanner.h"
#include "util/StringAdditions.h"
#include "util/TextUnits.h"
#include "util/Utf16.h"

#include <algorithm>

namespace vm::strings {

using utf16::fromUtf8;

bool containsString(const std::string& s, const std::string& part, bool ignoringCase) {
    return units::find(fromUtf8(s), fromUtf8(part), 0, ignoringCase) != std::u16string::npos;
}

bool containsString(const std::string& s, const std::string& part) {
    return containsString(s, part, false);
}

bool beginsWithString(const std::string& s, const std::string& part, bool ignoringCase) {
    return units::find(fromUtf8(s), fromUtf8(part), 0, ignoringCase) == 0;
}

unsigned occurencesOfSubstring(const std::string& s, const std::string& part) {
    return occurencesOfSubstring(s, part, true);
}

unsigned occurencesOfSubstring(const std::string& s, const std::string& part, bool ignoringCase) {
    const auto hay = fromUtf8(s);
    const auto needle = fromUtf8(part);
    unsigned count = 0;
    for (std::size_t at = units::find(hay, needle, 0, ignoringCase); at != std::u16string::npos;
         at = units::find(hay, needle, at + needle.size(), ignoringCase)) {
        ++count;
    }
    return count;
}

bool containsCharacterFromSet(const std::string& s, const CharacterClass& set) {
    const auto text = fromUtf8(s);
    return std::any_of(text.begin(), text.end(), set);
}

bool matchesWildcard(const std::string& s, const std::string& pattern) {
    if (pattern.empty()) {
        return false;
    }
    const auto text = fromUtf8(s);
    const auto pat = fromUtf8(pattern);
    // Greedy match that backtracks to the last '*' on a mismatch.
    std::size_t t = 0, p = 0;
    std::size_t star = std::u16string::npos, resume = 0;
    while (t < text.size()) {
        if (p < pat.size() && (pat[p] == u'?' || pat[p] == text[t])) {
            ++t;
            ++p;
        } else if (p < pat.size() && pat[p] == u'*') {
            star = p++;
            resume = t;
        } else if (star != std::u16string::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pat.size() && pat[p] == u'*') {
        ++p;
    }
    return p == pat.size();
}

bool hasPrefixCaseInsensitive(const std::string& s, const std::string& prefix) {
    if (s.empty() || prefix.empty()) {
        return false;
    }
    return beginsWithString(s, prefix, true);
}

bool hasSuffixCaseInsensitive(const std::string& s, const std::string& suffix) {
    if (s.empty() || suffix.empty()) {
        return false;
    }
    const auto text = fromUtf8(s);
    const auto tail = fromUtf8(suffix);
    return tail.size() <= text.size() &&
           units::equal(text.substr(text.size() - tail.size()), tail, true);
}

bool hasPrefixWildCard(const std::string& s, const std::string& pattern) {
    const auto text = fromUtf8(s);
    const auto pat = fromUtf8(pattern);
    if (text.empty() || pat.empty() || pat.size() > text.size()) {
        return false;
    }
    for (std::size_t i = 0; i < pat.size(); ++i) {
        if (pat[i] != u'*' && pat[i] != text[i]) {
            return false;
        }
    }
    return true;
}

std::uint32_t lineCount(const std::string& s) {
    const auto text = fromUtf8(s);
    std::uint32_t count = 0;
    for (std::size_t start = 0; start < text.size(); start = units::lineEnd(text, start)) {
        ++count;
    }
    return count;
}

Range rangeOfLine(const std::string& s, std::int32_t line) {
    const auto text = fromUtf8(s);
    std::int32_t index = 0;
    for (std::size_t start = 0; line >= 0 && start < text.size(); ++index) {
        const std::size_t end = units::lineEnd(text, start);
        if (index == line) {
            return Range{start, end - start};
        }
        start = end;
    }
    return Range{kNotFound, 0};
}

Range whitespaceRangeForRange(const std::string& s, Range range) {
    const auto text = fromUtf8(s);
    const auto blank = chars::whitespaceAndNewline();
    const std::size_t from = std::min(range.location, text.size());
    const std::size_t to = std::min(from + std::min(range.length, text.size()), text.size());
    std::size_t start = from;
    while (start > 0 && !blank(text[start - 1])) {
        --start;
    }
    std::size_t end = to;
    while (end < text.size() && !blank(text[end])) {
        ++end;
    }
    return Range{start, end - start};
}

Ordering compareLength(const std::string& s, const std::string& other) {
    const auto a = fromUtf8(s);
    const auto b = fromUtf8(other);
    if (a.size() != b.size()) {
        return a.size() < b.size() ? Ordering::Ascending : Ordering::Descending;
    }
    const int c = a.compare(b);
    return c < 0 ? Ordering::Ascending : (c > 0 ? Ordering::Descending : Ordering::Same);
}

double doubleValue(const std::string& s) {
    static const CharacterSet blanks = CharacterSet::whitespaceAndNewline();
    Scanner scanner(s);
    scanner.setCharactersToBeSkipped(blanks);
    double value = 0;
    return scanner.scanDouble(&value) ? value : 0.0;
}

}  // namespace vm::strings
