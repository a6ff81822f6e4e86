#include "util/HamStrings.h"

#include "util/TextUnits.h"
#include "util/Utf16.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace vm {

namespace {

using strings::units::upper;

Ordering order(double a, double b) {
    return a < b ? Ordering::Ascending : (a > b ? Ordering::Descending : Ordering::Same);
}

bool oneOf(const std::string& s, std::initializer_list<std::string_view> list) {
    return std::find(list.begin(), list.end(), s) != list.end();
}

bool beginsWithAny(const std::string& s, std::initializer_list<std::string_view> prefixes) {
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](std::string_view p) { return s.starts_with(p); });
}

// The parts of a compound call sign, "-" counting as "/"; empty parts are kept.
std::vector<std::string> callParts(const std::string& s) {
    return strings::units::split(strings::dashToSlash(s), '/');
}

// The index of the base call among the parts (at least two of them).
std::size_t baseCallIndex(const std::vector<std::string>& parts) {
    const std::size_t l0 = utf16::length(parts[0]);
    const std::size_t l1 = utf16::length(parts[1]);
    if (parts.size() >= 3) {
        const std::size_t l2 = utf16::length(parts[2]);
        if (l0 > l1 && l0 > l2) {
            return 0;
        }
        return (l2 > l1 && l2 > l0) ? 2 : 1;
    }
    if (l0 != l1) {
        return l0 > l1 ? 0 : 1;
    }
    return (strings::nonIdentifyingPrefix(parts[1]) && !strings::nonIdentifyingPrefix(parts[0]))
               ? 0
               : 1;
}

bool onlyCallSignCharacters(const std::string& s, std::u16string_view extra) {
    const auto text = utf16::fromUtf8(s);
    if (text.size() < 3 || text[0] == u'Q') {
        return false;
    }
    const auto allowed =
        strings::chars::either(strings::chars::alphanumerics(), strings::chars::anyOf(extra));
    return std::all_of(text.begin(), text.end(), allowed);
}

}  // namespace

double anyBandToFrequency(const std::string& band) {
    if (band.empty()) {
        return 0.0;
    }
    const double n = strings::doubleValue(
        strings::units::trim(band, strings::chars::inverted(strings::chars::decimalDigits())));
    if (n == 0.0) {
        return 0.0;
    }
    const double f = 299.792458 / n;
    return strings::containsString(band, "CM", true) ? f * 100.0 : f;
}

namespace strings {

std::string cleanUpCall(const std::string& s) {
    if (s.empty()) {
        return s;
    }
    return upper(units::trim(s, chars::inverted(chars::alphanumerics())));
}

std::string cleanUpSkimmer(const std::string& s) {
    if (s.empty()) {
        return s;
    }
    return units::trim(s, chars::anyOf(u"-#"));
}

bool hasPrefixOrSuffix(const std::string& s) {
    return s.find('/') != std::string::npos || s.find('-') != std::string::npos;
}

bool nonIdentifyingPrefix(const std::string& s) {
    if (s.empty() || s.find('?') != std::string::npos || s[0] == 'Q' || s[0] == 'q') {
        return true;
    }
    if (units::trim(s, chars::decimalDigits()).empty()) {
        return true;
    }
    return oneOf(upper(s),
                 {"B", "P", "PM", "M", "L1D", "L1DS", "P1RAT", "P1RATE", "P1RATS", "P1RATES"});
}

bool voidPrefix(const std::string& s) {
    const std::string u = upper(s);
    return u == "MM" || u == "AM";
}

std::string getBaseCall(const std::string& s) {
    if (!hasPrefixOrSuffix(s)) {
        return s;
    }
    const auto parts = callParts(s);
    return parts.size() < 2 ? s : parts[baseCallIndex(parts)];
}

std::string getPrefixOrSuffixCall(const std::string& s) {
    if (!hasPrefixOrSuffix(s)) {
        return {};
    }
    const auto parts = callParts(s);
    if (parts.size() < 2) {
        return {};
    }
    const std::size_t base = baseCallIndex(parts);
    if (parts.size() == 2) {
        return parts[1 - base];
    }
    std::vector<std::size_t> others;
    for (std::size_t i = 0; i < 3; ++i) {
        if (i != base) {
            others.push_back(i);
        }
    }
    const auto& earlier = parts[others[0]];
    const auto& later = parts[others[1]];
    return (nonIdentifyingPrefix(earlier) && !nonIdentifyingPrefix(later)) ? later : earlier;
}

bool legalCountrySuffixFor(const std::string& suffix, const std::string& prefix) {
    if (utf16::length(suffix) != 1) {
        return false;
    }
    const std::string u = upper(suffix);
    if (prefix.starts_with("SV")) return oneOf(u, {"A"});
    if (prefix.starts_with("FR")) return oneOf(u, {"G", "J", "E", "T"});
    if (prefix.starts_with("FT")) return oneOf(u, {"W", "X", "Z"});
    if (prefix.starts_with("ZK1")) return oneOf(u, {"N", "S"});
    return false;
}

bool legalZoneModifierFor(const std::string& digit, const std::string& prefix) {
    return oneOf(digit, {"1", "3", "4", "6"}) &&
           beginsWithAny(prefix,
                         {"R2", "RA", "RD", "RM", "RT", "RU", "RV", "RW", "RX", "RZ", "UA"});
}

bool legalTRVLCallSignString(const std::string& s) { return onlyCallSignCharacters(s, u"-/"); }

bool legalKVSPCallSignString(const std::string& s) { return onlyCallSignCharacters(s, u"-/ @."); }

int modeType(const std::string& s) {
    if (s.empty()) {
        return kModeUnknown;
    }
    if (s == "CW") return kModeCW;
    if (s == "USB" || s == "LSB") return kModePhone;
    if (s == "RTTY" || s == "PSK31") return kModeData;
    struct Rule {
        std::initializer_list<const char*> parts;
        int mode;
    };
    static const std::array<Rule, 9> rules{{
        {{"CW"}, kModeCW},
        {{"USB", "LSB", "SSB"}, kModePhone},
        {{"PSK", "RTT", "FSK", "DIG", "FMH"}, kModeData},
        {{"FM"}, kModePhone},
        {{"AMT"}, kModeData},
        {{"AM"}, kModePhone},
        {{"DAT", "PKT", "PAC", "PAX", "JT", "HEL", "OLI", "SST"}, kModeData},
        {{"PH", "VOI"}, kModePhone},
        {{"Q15", "ROS", "CHI", "DST", "DOM", "GTO", "CLO", "ATV", "ASC", "TOR", "THR", "THO",
          "MT63", "V4", "WSP", "WIN", "FAX", "ISC"},
         kModeData},
    }};
    for (const auto& rule : rules) {
        for (const char* part : rule.parts) {
            if (containsString(s, part, true)) {
                return rule.mode;
            }
        }
    }
    return kModeUnknown;
}

bool isRSTMode(const std::string& s) {
    return s.empty() || (s.find("SB") == std::string::npos && s.find("FM") == std::string::npos &&
                         s.find("AM") == std::string::npos);
}

bool validQSLSentEnumeration(const std::string& s) {
    return oneOf(s, {"Y", "y", "N", "n", "R", "r", "Q", "q", "I", "i"});
}

bool validQSLReceivedEnumeration(const std::string& s) {
    return oneOf(s, {"Y", "y", "N", "n", "R", "r", "I", "i", "V", "v"});
}

bool qslStatus(const std::string& s) {
    return !s.empty() && !beginsWithAny(s, {"N", "n", "I", "i"});
}

bool ignoreQsl(const std::string& s) { return s == "I" || s == "i"; }

bool zeroGrid(const std::string& s) {
    const std::string u = upper(s);
    return u == "JJ00AA" || u == "AA00AA";
}

bool sameGrid4Chars(const std::string& s, const std::string& grid) {
    const auto a = utf16::fromUtf8(s);
    const auto b = utf16::fromUtf8(grid);
    return a.size() >= 4 && b.size() >= 4 && a.compare(0, 4, b, 0, 4) == 0;
}

std::string formattedGrid(const std::string& s) {
    const auto text = utf16::fromUtf8(s);
    if (text.size() == 6) {
        return utf16::toUtf8(units::upper(text.substr(0, 4)) + units::lower(text.substr(4)));
    }
    return upper(s);
}

Ordering compareBand(const std::string& s, const std::string& band) {
    return order(anyBandToFrequency(s), anyBandToFrequency(band));
}

Ordering compareNumeric(const std::string& s, const std::string& other) {
    return order(doubleValue(s), doubleValue(other));
}

Ordering compareNumberCommas(const std::string& s, const std::string& other) {
    const auto parts = [](const std::string& t) { return std::count(t.begin(), t.end(), ',') + 1; };
    return order(static_cast<double>(parts(s)), static_cast<double>(parts(other)));
}

}  // namespace strings
}  // namespace vm
