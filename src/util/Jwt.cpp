// The claims of a JSON Web Token.
#include "util/SharedFunctions.h"
#include "util/Utf16.h"

#include <algorithm>
#include <string_view>

namespace vm {

namespace {

int base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// Strict RFC 4648 Base64: groups of four, "=" only as the padding of the last group.
std::optional<std::string> base64Decode(std::string_view text) {
    if (text.size() % 4 != 0) {
        return std::nullopt;
    }
    const std::size_t pad = text.size() - std::min(text.find_last_not_of('=') + 1, text.size());
    if (pad > 2) {
        return std::nullopt;
    }
    std::string out;
    unsigned bits = 0;
    int count = 0;
    for (char c : text.substr(0, text.size() - pad)) {
        const int v = base64Value(c);
        if (v < 0) {
            return std::nullopt;
        }
        bits = (bits << 6) | static_cast<unsigned>(v);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return out;
}

}  // namespace

std::optional<std::string> decodeJWT(const std::string& token) {
    const std::size_t dot = token.find('.');
    if (dot == std::string::npos) {
        return std::nullopt;
    }
    const std::size_t end = token.find('.', dot + 1);
    std::string claims =
        token.substr(dot + 1, end == std::string::npos ? std::string::npos : end - dot - 1);
    while (claims.size() % 4 != 0) {
        claims += '=';
    }
    std::replace(claims.begin(), claims.end(), '-', '+');
    std::replace(claims.begin(), claims.end(), '_', '/');
    auto bytes = base64Decode(claims);
    if (!bytes || !utf16::isValidUtf8(*bytes)) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace vm
