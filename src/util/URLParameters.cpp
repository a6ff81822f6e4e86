#include "util/URLParameters.h"

#include "util/StringAdditions.h"
#include "util/TextUnits.h"
#include "util/Utf16.h"

#include <cctype>
#include <vector>

namespace vm::url {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// nullopt when an escape is malformed or the result is not UTF-8.
std::optional<std::string> percentDecoded(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out += s[i];
            continue;
        }
        if (i + 2 >= s.size() || hexValue(s[i + 1]) < 0 || hexValue(s[i + 2]) < 0) {
            return std::nullopt;
        }
        out += static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
        i += 2;
    }
    if (!utf16::isValidUtf8(out)) {
        return std::nullopt;
    }
    return out;
}

}  // namespace

std::optional<Parameters> parameters(const std::string& url) {
    if (strings::hasPrefixCaseInsensitive(url, "file:")) {
        return std::nullopt;
    }
    Parameters result;
    const std::size_t question = url.find('?');
    if (question == std::string::npos) {
        return result;
    }
    for (std::string pair : strings::units::split(url.substr(question + 1), '&')) {
        pair.erase(0, pair.find_first_not_of('?'));
        const auto parts = strings::units::split(pair, '=');
        if (pair.empty() || parts.size() < 2) {
            continue;
        }
        auto key = percentDecoded(parts[0]);
        auto value = percentDecoded(parts[1]);
        if (key && value) {
            result[*key] = std::move(*value);
        }
    }
    return result;
}

std::optional<std::string> parameterForKey(const std::string& url, const std::string& key) {
    auto all = parameters(url);
    if (!all) {
        return std::nullopt;
    }
    auto it = all->find(key);
    if (it == all->end()) {
        return std::nullopt;
    }
    return it->second;
}

std::optional<TuneLink> tuneLink(const std::string& url) {
    if (!url.starts_with("kbrx://tune")) {
        return std::nullopt;
    }
    TuneLink link{parameterForKey(url, "freq").value_or(""),
                  parameterForKey(url, "mode").value_or("")};
    if (link.freq.empty()) {
        return std::nullopt;
    }
    if (link.mode.empty()) {
        link.mode = "USB";
    }
    return link;
}

}  // namespace vm::url
