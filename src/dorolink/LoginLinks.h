#pragma once
// The addresses of the DoroLink login and what comes back on them: the login page's address with
// its state value, and the tokens read from the page the identity provider sends the browser to.
#include <optional>
#include <string>

namespace vm {

inline constexpr const char* kDoroLinkClientId = "Qm7TzR2vLx9KpW4nYc8HbJ3sDf6GaE5u";
inline constexpr const char* kDoroLinkProvider =
    "https://dorolink-authprovider.velmorasoftware.com";

// The identity provider's endpoints, under one base address (scheme and host).
struct LoginEndpoints {
    std::string base = kDoroLinkProvider;

    std::string authorize() const { return base + "/authorize"; }
    std::string redirect() const { return base + "/mobile"; }
    std::string delegation() const { return base + "/delegation"; }
};

// Sixteen letters a to z from the system's cryptographic random source.
std::string makeLoginState();

// Every byte but the unreserved characters (letters, digits, "-", ".", "_", "~") as %XX.
std::string percentEncode(const std::string& text);

// The login page: the authorize endpoint with the client, the redirect page, the response type
// "token", the scopes, the state and the device, each value percent-encoded.
std::string authorizeUrl(const LoginEndpoints& endpoints, const std::string& clientId,
                         const std::string& state);

struct CapturedTokens {
    std::string idToken;
    std::string refreshToken;  // empty when the page brought none
};

enum class CaptureFailure { missingUrl, missingFragment, wrongState, missingIdToken };

struct TokenCapture {
    std::optional<CapturedTokens> tokens;
    CaptureFailure failure = CaptureFailure::missingUrl;  // when there are no tokens
};

// The tokens of the redirect page's address: its "mobile#access_token=..." part cut at "&" into
// key=value pairs (a piece with another "=" is ignored). Accepted only when its "state" equals
// `expectedState`, which must not be empty.
TokenCapture captureTokens(const std::string& url, const std::string& expectedState);

// The address without its fragment, for the log: the fragment carries the tokens.
std::string redactedUrl(const std::string& url);

}  // namespace vm
