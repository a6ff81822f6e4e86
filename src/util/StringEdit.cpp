// Tokens, pieces, replacing and cleaning.
#include "platform/core/Log.h"
#include "util/StringAdditions.h"
#include "util/TextUnits.h"
#include "util/Utf16.h"

#include <algorithm>

namespace vm::strings {

using utf16::fromUtf8;
using utf16::toUtf8;

namespace {

// The text without any of the given ASCII bytes.
std::string withoutBytes(const std::string& s, std::string_view bytes) {
    std::string out;
    std::copy_if(s.begin(), s.end(), std::back_inserter(out),
                 [&](char c) { return bytes.find(c) == std::string_view::npos; });
    return out;
}

}  // namespace

std::vector<std::string> tokensSeparatedByCharactersFromSet(const std::string& s,
                                                            const CharacterClass& separators) {
    const auto text = fromUtf8(s);
    std::vector<std::string> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && separators(text[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < text.size() && !separators(text[i])) {
            ++i;
        }
        if (i > start) {
            tokens.push_back(toUtf8(std::u16string_view(text).substr(start, i - start)));
        }
    }
    return tokens;
}

std::vector<std::string> objCTokens(const std::string& s) {
    return tokensSeparatedByCharactersFromSet(
        s, chars::inverted(chars::either(chars::alphanumerics(), chars::anyOf(u"_:"))));
}

std::vector<std::string> words(const std::string& s) {
    return tokensSeparatedByCharactersFromSet(
        s, chars::inverted(chars::either(chars::letters(), chars::anyOf(u"-"))));
}

std::vector<std::string> splitToSize(const std::string& s, std::uint32_t size) {
    const auto text = fromUtf8(s);
    const std::size_t n = std::max<std::uint32_t>(size, 1);
    std::vector<std::string> pieces;
    std::size_t at = 0;
    for (; at + n <= text.size(); at += n) {
        pieces.push_back(toUtf8(std::u16string_view(text).substr(at, n)));
    }
    pieces.push_back(toUtf8(std::u16string_view(text).substr(at)));
    return pieces;
}

std::vector<std::string> linesSortedByLength(const std::string& s) {
    auto lines = units::split(s, '\n');
    std::stable_sort(lines.begin(), lines.end(), [](const std::string& a, const std::string& b) {
        return compareLength(a, b) == Ordering::Ascending;
    });
    return lines;
}

std::string returnStringAfterTag(const std::string& s, const std::string& tag) {
    if (s.empty()) {
        return s;
    }
    const std::size_t at = tag.empty() ? std::string::npos : s.find(tag);
    if (at == std::string::npos) {
        return {};
    }
    const std::size_t from = at + tag.size();
    const std::size_t stop = s.find_first_of(" \t\n\r,.;", from);
    return s.substr(from, stop == std::string::npos ? std::string::npos : stop - from);
}

std::string substringBeforeRange(const std::string& s, Range range) {
    const auto text = fromUtf8(s);
    return toUtf8(std::u16string_view(text).substr(0, std::min(range.location, text.size())));
}

std::string substringAfterRange(const std::string& s, Range range) {
    const auto text = fromUtf8(s);
    const std::size_t end = range.location >= text.size()
                                ? text.size()
                                : range.location + std::min(range.length, text.size());
    return toUtf8(std::u16string_view(text).substr(std::min(end, text.size())));
}

std::string substringWithRangeAndTrim(const std::string& s, Range range) {
    const auto text = fromUtf8(s);
    if (range.length == 0 || range.location >= text.size() ||
        range.length > text.size() - range.location) {
        log("substringWithRangeAndTrim:length:[{}] location:[{}] length:[{}]", text.size(),
            range.location, range.length);
        return {};
    }
    return toUtf8(units::trim(text.substr(range.location, range.length), chars::whitespace()));
}

std::string sanitize(const std::string& s) {
    const auto keep = chars::either(chars::alphanumerics(), chars::anyOf(u".,/-"));
    return units::trim(s, chars::inverted(keep));
}

std::string stripLeadingAndTrailingBlanks(const std::string& s) {
    return units::trim(s, chars::whitespace());
}

std::string stripAsterisk(const std::string& s) { return removeString(s, "*"); }

std::string padTo(const std::string& s, std::int32_t width) {
    const std::size_t length = utf16::length(s);
    if (width <= 0 || length >= static_cast<std::size_t>(width)) {
        return s;
    }
    return s + std::string(static_cast<std::size_t>(width) - length, ' ');
}

std::string removeLineControls(const std::string& s) { return withoutBytes(s, "\r\n"); }

std::string stringWithSubstitute(const std::string& s, const std::string& substitute,
                                 const CharacterClass& set) {
    // One pass: a substitute that itself holds a character of the set is inserted as it is.
    const auto text = fromUtf8(s);
    if (std::none_of(text.begin(), text.end(), set)) {
        return s;
    }
    const auto sub = fromUtf8(substitute);
    std::u16string out;
    for (char16_t c : text) {
        if (set(c)) {
            out += sub;
        } else {
            out += c;
        }
    }
    return toUtf8(out);
}

std::string removeQuotes(const std::string& s) { return removeString(s, "\""); }

std::string removeString(const std::string& s, const std::string& part) {
    return units::replaceAll(s, part, "");
}

std::string newlineToCR(const std::string& s) { return units::replaceAll(s, "\n", "\r"); }

std::string dashToSlash(const std::string& s) { return units::replaceAll(s, "-", "/"); }

std::string fixAmpersand(const std::string& s) { return units::replaceAll(s, "&", "And"); }

std::string expandMeters(const std::string& s) { return units::replaceAll(s, "M", " Meters"); }

std::string squashSpaces(const std::string& s) {
    return units::trim(collapseSpace(s), chars::whitespaceAndNewline());
}

std::string collapseSpace(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c != ' ' || out.empty() || out.back() != ' ') {
            out += c;
        }
    }
    return out;
}

std::string removeBadControls(const std::string& s) {
    const auto bad = chars::controls();
    return toUtf8(units::removeAll(
        fromUtf8(s), [&](char16_t c) { return c != u'\t' && c != u'\n' && c != u'\r' && bad(c); }));
}

std::string removeTabsAndReturns(const std::string& s) { return withoutBytes(s, "\r\n\t"); }

std::string stringSafeForXML(const std::string& s) {
    std::string out = units::replaceAll(s, "&", "&amp;");
    out = units::replaceAll(out, "<", "&lt;");
    out = units::replaceAll(out, ">", "&gt;");
    out = units::replaceAll(out, "\"", "&quot;");
    return units::replaceAll(out, "'", "&apos;");
}

std::string addWithOptionalComma(const std::string& s, const std::string& other) {
    if (other.empty()) {
        return s;
    }
    if (s.empty()) {
        return other;
    }
    return s + ", " + other;
}

std::string addWithOptionalCommaIfNotRedundant(const std::string& s, const std::string& other) {
    if (containsString(s, other)) {
        return s;
    }
    return addWithOptionalComma(s, other);
}

}  // namespace vm::strings
