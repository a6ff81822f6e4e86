#pragma once
// Text helpers used all over the client: searching, cleaning user input, padding, splitting,
// escaping, picking a free file name, and running a shell command line. Texts are UTF-8; every
// length, index and range counts UTF-16 code units, and a "character" is one code unit.
#include "util/CharacterClass.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vm {

// A location and a length in UTF-16 code units. A search that finds nothing gives location
// kNotFound and length 0.
struct Range {
    std::size_t location = 0;
    std::size_t length = 0;
    std::size_t end() const { return location + length; }
    bool operator==(const Range&) const = default;
};
inline constexpr std::size_t kNotFound = LONG_MAX;

// Three-valued comparison: ascending when the left side comes first.
enum class Ordering { Ascending = -1, Same = 0, Descending = 1 };

enum class TextEncoding { ASCII, UTF8, ISOLatin1 };

namespace strings {

// --- searching and counting
bool containsString(const std::string& s, const std::string& part, bool ignoringCase);
bool containsString(const std::string& s, const std::string& part);
bool beginsWithString(const std::string& s, const std::string& part, bool ignoringCase);
unsigned occurencesOfSubstring(const std::string& s, const std::string& part);  // case ignored
unsigned occurencesOfSubstring(const std::string& s, const std::string& part, bool ignoringCase);
bool containsCharacterFromSet(const std::string& s, const CharacterClass& set);
bool matchesWildcard(const std::string& s, const std::string& pattern);  // '*' and '?'
bool hasPrefixCaseInsensitive(const std::string& s, const std::string& prefix);
bool hasSuffixCaseInsensitive(const std::string& s, const std::string& suffix);
bool hasPrefixWildCard(const std::string& s, const std::string& pattern);  // '*' matches one unit
std::uint32_t lineCount(const std::string& s);
Range rangeOfLine(const std::string& s, std::int32_t line);
Range whitespaceRangeForRange(const std::string& s, Range range);
Ordering compareLength(const std::string& s, const std::string& other);
// The leading decimal number of the text (after leading blanks), 0 when there is none.
double doubleValue(const std::string& s);

// --- tokens and pieces
std::vector<std::string> tokensSeparatedByCharactersFromSet(const std::string& s,
                                                            const CharacterClass& separators);
std::vector<std::string> objCTokens(const std::string& s);
std::vector<std::string> words(const std::string& s);
std::vector<std::string> splitToSize(const std::string& s, std::uint32_t size);
std::vector<std::string> linesSortedByLength(const std::string& s);
std::string returnStringAfterTag(const std::string& s, const std::string& tag);
std::string substringBeforeRange(const std::string& s, Range range);
std::string substringAfterRange(const std::string& s, Range range);
std::string substringWithRangeAndTrim(const std::string& s, Range range);

// --- replacing and cleaning
std::string sanitize(const std::string& s);
std::string stripLeadingAndTrailingBlanks(const std::string& s);
std::string stripAsterisk(const std::string& s);
std::string padTo(const std::string& s, std::int32_t width);
std::string removeLineControls(const std::string& s);
std::string stringWithSubstitute(const std::string& s, const std::string& substitute,
                                 const CharacterClass& set);
std::string removeQuotes(const std::string& s);
std::string removeString(const std::string& s, const std::string& part);
std::string newlineToCR(const std::string& s);
std::string dashToSlash(const std::string& s);
std::string fixAmpersand(const std::string& s);
std::string expandMeters(const std::string& s);
std::string squashSpaces(const std::string& s);
std::string collapseSpace(const std::string& s);
std::string removeBadControls(const std::string& s);
std::string removeTabsAndReturns(const std::string& s);
std::string stringSafeForXML(const std::string& s);
std::string stringByUrlEncoding(const std::string& s);
std::string addWithOptionalComma(const std::string& s, const std::string& other);
std::string addWithOptionalCommaIfNotRedundant(const std::string& s, const std::string& other);

// --- files, URLs and byte strings
std::string safeFilePath(const std::string& path);
bool appendToFile(const std::string& s, const std::string& path, TextEncoding encoding);
bool isValidURL(const std::string& s);
std::optional<std::string> encode(const std::string& s, TextEncoding encoding);
std::optional<std::string> decode(const std::string& bytes, TextEncoding encoding);
// A length byte and the encoded text; the bytes used, 0 when the text does not fit or cannot be
// encoded.
std::uint32_t convertToPascalStringInBuffer(const std::string& s, std::uint8_t* buffer,
                                            std::int32_t size, TextEncoding encoding);
// From a length-prefixed byte string; nullopt when the length byte claims more bytes than there
// are, or the bytes cannot be decoded.
std::optional<std::string> stringWithPascalString(const std::string& bytes, TextEncoding encoding);

// --- shell command lines
// Runs "/bin/sh" "-c" with the command line and returns what it printed on standard output and
// standard error, nullopt when that is not UTF-8. After `timeout` seconds the command is killed
// and the text "runAsCommand timed out after <elapsed> seconds. [<command>]" comes back.
std::optional<std::string> runAsCommand(const std::string& commandLine, double timeout);

}  // namespace strings
}  // namespace vm
