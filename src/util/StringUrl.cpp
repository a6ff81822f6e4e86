// URL text: validity and percent-escaping.
#include "util/StringAdditions.h"

#include <cctype>
#include <string_view>

namespace vm::strings {

namespace {

bool isAsciiAlnum(unsigned char c) { return std::isalnum(c) && c < 0x80; }

bool isHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

// RFC 3986 scheme: a letter, then letters, digits, "+", "-" and ".".
bool isScheme(std::string_view s) {
    if (s.empty() || !std::isalpha(static_cast<unsigned char>(s[0]))) {
        return false;
    }
    for (unsigned char c : s) {
        if (!isAsciiAlnum(c) && c != '+' && c != '-' && c != '.') {
            return false;
        }
    }
    return true;
}

}  // namespace

bool isValidURL(const std::string& s) {
    if (s.empty()) {
        return false;
    }
    static constexpr std::string_view allowed = "-._~:/?#[]@!$&'()*+,;=";
    int fragments = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == '%') {
            if (i + 2 >= s.size() || !isHex(s[i + 1]) || !isHex(s[i + 2])) {
                return false;
            }
            i += 2;
        } else if (!isAsciiAlnum(c) &&
                   allowed.find(static_cast<char>(c)) == std::string_view::npos) {
            return false;
        } else if (c == '#' && ++fragments > 1) {
            return false;
        }
    }
    // A colon before the first "/", "?" or "#" must end a scheme.
    const std::size_t colon = s.find(':');
    const std::size_t delimiter = s.find_first_of("/?#");
    return colon == std::string::npos || colon > delimiter ||
           isScheme(std::string_view(s).substr(0, colon));
}

std::string stringByUrlEncoding(const std::string& s) {
    static constexpr char hex[] = "0123456789ABCDEF";
    static constexpr std::string_view unreserved = "-_.!~*'()";
    std::string out;
    for (unsigned char c : s) {
        if (isAsciiAlnum(c) || unreserved.find(static_cast<char>(c)) != std::string_view::npos) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0xF];
        }
    }
    return out;
}

}  // namespace vm::strings
