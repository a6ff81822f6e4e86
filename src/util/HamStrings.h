#pragma once
// Amateur-radio text rules: call-sign parts, mode classes, ADIF QSL letters, Maidenhead grid
// locators, band names as frequencies, and the characters allowed in call-sign fields. Lengths
// count UTF-16 code units.
#include "util/StringAdditions.h"

#include <string>

namespace vm {

// Mode classes of modeType().
enum ModeClass : int { kModeUnknown = 0, kModeCW = 1, kModePhone = 2, kModeData = 3 };

// The centre of a band named by its wavelength ("160M", "70CM") in MHz; 0 for a name without a
// (non-zero) number.
double anyBandToFrequency(const std::string& band);

namespace strings {

// --- call signs
std::string cleanUpCall(const std::string& s);
std::string cleanUpSkimmer(const std::string& s);
bool hasPrefixOrSuffix(const std::string& s);
bool nonIdentifyingPrefix(const std::string& s);
bool voidPrefix(const std::string& s);
std::string getBaseCall(const std::string& s);
std::string getPrefixOrSuffixCall(const std::string& s);
bool legalCountrySuffixFor(const std::string& suffix, const std::string& prefix);
bool legalZoneModifierFor(const std::string& digit, const std::string& prefix);
bool legalTRVLCallSignString(const std::string& s);
bool legalKVSPCallSignString(const std::string& s);

// --- modes and reports
int modeType(const std::string& s);
bool isRSTMode(const std::string& s);

// --- QSL letters
bool validQSLSentEnumeration(const std::string& s);
bool validQSLReceivedEnumeration(const std::string& s);
bool qslStatus(const std::string& s);
bool ignoreQsl(const std::string& s);

// --- grid locators
bool zeroGrid(const std::string& s);
bool sameGrid4Chars(const std::string& s, const std::string& grid);
std::string formattedGrid(const std::string& s);

// --- bands and sorting
Ordering compareBand(const std::string& s, const std::string& band);
Ordering compareNumeric(const std::string& s, const std::string& other);
Ordering compareNumberCommas(const std::string& s, const std::string& other);

}  // namespace strings
}  // namespace vm
