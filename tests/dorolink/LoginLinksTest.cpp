// The login page's address and the tokens read back from the redirect page.
#include "dorolink/LoginLinks.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vm {
namespace {

TEST(LoginLinksTest, StateIsSixteenLettersAndFreshEachTime) {
    std::set<std::string> seen;
    for (int i = 0; i < 50; ++i) {
        const std::string state = makeLoginState();
        ASSERT_EQ(state.size(), 16u);
        EXPECT_EQ(state.find_first_not_of("abcdefghijklmnopqrstuvwxyz"), std::string::npos)
            << state;
        seen.insert(state);
    }
    EXPECT_EQ(seen.size(), 50u);
}

TEST(LoginLinksTest, AuthorizeUrlEncodesEveryValue) {
    LoginEndpoints endpoints{"https://id.example"};
    EXPECT_EQ(authorizeUrl(endpoints, "client&1", "abcdefghijklmnop"),
              "https://id.example/authorize?client_id=client%261"
              "&redirect_uri=https%3A%2F%2Fid.example%2Fmobile&response_type=token"
              "&scope=openid%20offline_access%20email%20given_name%20family_name%20picture"
              "&state=abcdefghijklmnop&device=velmoraSDR");
}

struct CaptureCase {
    const char* name;
    std::string url;
    std::string expectedState;
    std::optional<CapturedTokens> tokens;
    CaptureFailure failure = CaptureFailure::missingUrl;
};

void PrintTo(const CaptureCase& c, std::ostream* os) { *os << c.name; }

class TokenCaptureTest : public ::testing::TestWithParam<CaptureCase> {};

TEST_P(TokenCaptureTest, ReadsTheFragment) {
    const CaptureCase& c = GetParam();
    const TokenCapture capture = captureTokens(c.url, c.expectedState);
    ASSERT_EQ(capture.tokens.has_value(), c.tokens.has_value());
    if (c.tokens) {
        EXPECT_EQ(capture.tokens->idToken, c.tokens->idToken);
        EXPECT_EQ(capture.tokens->refreshToken, c.tokens->refreshToken);
    } else {
        EXPECT_EQ(capture.failure, c.failure);
    }
}

const std::string kPage = "https://id.example/mobile#access_token=A1";

INSTANTIATE_TEST_SUITE_P(
    Cases, TokenCaptureTest,
    ::testing::Values(
        CaptureCase{"both_tokens", kPage + "&id_token=x.y.z&refresh_token=R9&state=qwer", "qwer",
                    CapturedTokens{"x.y.z", "R9"}},
        CaptureCase{"no_refresh_token", kPage + "&state=qwer&id_token=x.y.z", "qwer",
                    CapturedTokens{"x.y.z", ""}},
        CaptureCase{"piece_with_second_equals_ignored",
                    kPage + "&id_token=x.y.z&refresh_token=R=9&state=qwer", "qwer",
                    CapturedTokens{"x.y.z", ""}},
        CaptureCase{"wrong_state", kPage + "&id_token=x.y.z&state=asdf", "qwer", std::nullopt,
                    CaptureFailure::wrongState},
        CaptureCase{"no_state", kPage + "&id_token=x.y.z", "qwer", std::nullopt,
                    CaptureFailure::wrongState},
        CaptureCase{"no_login_page_opened", kPage + "&id_token=x.y.z&state=", "", std::nullopt,
                    CaptureFailure::wrongState},
        CaptureCase{"empty_id_token", kPage + "&id_token=&state=qwer", "qwer", std::nullopt,
                    CaptureFailure::missingIdToken},
        CaptureCase{"no_fragment", "https://id.example/mobile?id_token=x.y.z&state=qwer", "qwer",
                    std::nullopt, CaptureFailure::missingFragment},
        CaptureCase{"empty_url", "", "qwer", std::nullopt, CaptureFailure::missingUrl}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(LoginLinksTest, RedactedUrlDropsTheFragment) {
    EXPECT_EQ(redactedUrl(kPage + "&id_token=x.y.z"), "https://id.example/mobile");
    EXPECT_EQ(redactedUrl("https://id.example/authorize?a=b"), "https://id.example/authorize?a=b");
}

}  // namespace
}  // namespace vm
