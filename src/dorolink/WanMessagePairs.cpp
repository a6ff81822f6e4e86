#include "dorolink/WanMessagePairs.h"

#include <utility>

namespace vm::wan {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

MessagePairs messagePairs(std::string_view message, bool skipFirstWord) {
    MessagePairs pairs;
    bool first = true;
    std::size_t at = 0;
    while (at < message.size()) {
        while (at < message.size() && isBlank(message[at])) {
            ++at;
        }
        std::size_t end = at;
        while (end < message.size() && !isBlank(message[end])) {
            ++end;
        }
        const std::string_view word = message.substr(at, end - at);
        at = end;
        const bool nameWord = std::exchange(first, false) && skipFirstWord;
        if (word.empty() || nameWord) {
            continue;
        }
        const std::size_t equals = word.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        const std::string_view rest = word.substr(equals + 1);
        pairs[std::string(word.substr(0, equals))] = std::string(rest.substr(0, rest.find('=')));
    }
    return pairs;
}

std::string pairValue(const MessagePairs& pairs, const std::string& key) {
    const auto found = pairs.find(key);
    return found == pairs.end() ? std::string() : found->second;
}

std::string describePairs(const MessagePairs& pairs) {
    std::string text;
    for (const auto& [key, value] : pairs) {
        if (!text.empty()) {
            text += ' ';
        }
        text.append(key).append("=").append(value);
    }
    return text;
}

}  // namespace vm::wan
