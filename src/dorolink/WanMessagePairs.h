#pragma once
// The key=value words of a DoroLink server message. The message is split into words at blanks;
// a word holding "=" gives its key (the text before the first "=") and its value (the text up to a
// second "=", or to the end of the word); words without "=" are ignored, and a later word with the
// same key replaces an earlier one.
#include <map>
#include <string>
#include <string_view>

namespace vm::wan {

using MessagePairs = std::map<std::string, std::string>;

// `skipFirstWord`: the first word names the message ("radio", "application") and is not a pair.
MessagePairs messagePairs(std::string_view message, bool skipFirstWord);

// The value of `key`, empty when the message has none.
std::string pairValue(const MessagePairs& pairs, const std::string& key);

// "key=value" of each pair, in key order, separated by blanks, for the log.
std::string describePairs(const MessagePairs& pairs);

}  // namespace vm::wan
