#pragma once
// The query of a URL as a dictionary, for the handler of the program's own URL scheme, which
// reads "freq" and "mode" from it.
#include <map>
#include <optional>
#include <string>

namespace vm::url {

using Parameters = std::map<std::string, std::string>;

// The "key=value" pairs behind the first "?", separated by "&", keys and values percent-decoded.
// A pair without "=" is ignored, as is one whose escapes do not decode; anything after a second
// "=" is dropped; a later pair replaces an earlier one of the same key; a fragment stays part of
// the last value. No "?" gives an empty dictionary; a file URL gives none (nullopt).
std::optional<Parameters> parameters(const std::string& url);
std::optional<std::string> parameterForKey(const std::string& url, const std::string& key);

// What a link of the program's scheme asks to tune: "kbrx://tune" (in lower case) with "freq"
// (MHz, as text) and "mode" ("USB" when absent or empty). nullopt for any other text, and for a
// link without a frequency.
struct TuneLink {
    std::string freq;
    std::string mode;
};
std::optional<TuneLink> tuneLink(const std::string& url);

}  // namespace vm::url
