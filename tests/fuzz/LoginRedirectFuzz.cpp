// Arbitrary text as the address of the login provider's redirect page (the first line is the
// state the login page was opened with): tokens come back only with that state and a non-empty
// identity token, and the address logged never keeps its fragment.
#include "dorolink/LoginLinks.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const auto newline = input.find('\n');
    const std::string state = newline == std::string::npos ? "" : input.substr(0, newline);
    const std::string url = newline == std::string::npos ? input : input.substr(newline + 1);
    const vm::TokenCapture capture = vm::captureTokens(url, state);
    if (capture.tokens) {
        if (state.empty() || capture.tokens->idToken.empty() ||
            url.find("state=" + state) == std::string::npos) {
            std::abort();
        }
    }
    if (vm::redactedUrl(url).find('#') != std::string::npos) {
        std::abort();
    }
    return 0;
}
