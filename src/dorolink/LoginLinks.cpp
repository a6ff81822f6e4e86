#include "dorolink/LoginLinks.h"

#include <sys/random.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <map>

namespace vm {

namespace {

void randomBytes(std::uint8_t* bytes, std::size_t count) {
    while (count > 0) {
        const ssize_t got = getrandom(bytes, count, 0);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            // The kernel's generator does not fail once seeded; there is no safe state without it.
            std::abort();
        }
        bytes += got;
        count -= static_cast<std::size_t>(got);
    }
}

}  // namespace

std::string makeLoginState() {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz";
    std::string state;
    while (state.size() < 16) {
        std::array<std::uint8_t, 32> bytes{};
        randomBytes(bytes.data(), bytes.size());
        for (const std::uint8_t byte : bytes) {
            // 234 = 9 * 26: larger bytes are dropped, so every letter is equally likely.
            if (byte < 234 && state.size() < 16) {
                state += kLetters[byte % 26];
            }
        }
    }
    return state;
}

std::string percentEncode(const std::string& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : text) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                                c == '~';
        if (unreserved) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    return out;
}

std::string authorizeUrl(const LoginEndpoints& endpoints, const std::string& clientId,
                         const std::string& state) {
    return endpoints.authorize() + "?client_id=" + percentEncode(clientId) +
           "&redirect_uri=" + percentEncode(endpoints.redirect()) +
           "&response_type=" + percentEncode("token") +
           "&scope=" + percentEncode("openid offline_access email given_name family_name picture") +
           "&state=" + percentEncode(state) + "&device=" + percentEncode("velmoraSDR");
}

TokenCapture captureTokens(const std::string& url, const std::string& expectedState) {
    TokenCapture result;
    if (url.empty()) {
        result.failure = CaptureFailure::missingUrl;
        return result;
    }
    const auto start = url.find("mobile#access_token=");
    if (start == std::string::npos) {
        result.failure = CaptureFailure::missingFragment;
        return result;
    }
    std::map<std::string, std::string> pairs;
    std::size_t from = start;
    while (from <= url.size()) {
        const auto end = std::min(url.find('&', from), url.size());
        const std::string piece = url.substr(from, end - from);
        const auto equals = piece.find('=');
        if (equals != std::string::npos && piece.find('=', equals + 1) == std::string::npos) {
            pairs[piece.substr(0, equals)] = piece.substr(equals + 1);
        }
        from = end + 1;
    }
    const auto state = pairs.find("state");
    if (expectedState.empty() || state == pairs.end() || state->second != expectedState) {
        result.failure = CaptureFailure::wrongState;
        return result;
    }
    const auto id = pairs.find("id_token");
    if (id == pairs.end() || id->second.empty()) {
        result.failure = CaptureFailure::missingIdToken;
        return result;
    }
    CapturedTokens tokens{id->second, {}};
    if (const auto refresh = pairs.find("refresh_token"); refresh != pairs.end()) {
        tokens.refreshToken = refresh->second;
    }
    result.tokens = std::move(tokens);
    return result;
}

std::string redactedUrl(const std::string& url) { return url.substr(0, url.find('#')); }

}  // namespace vm
