// The DoroLink login: the refresh of the identity token from the stored refresh token against the
// provider's HTTPS stand-in, the tokens taken from the login page, where they are kept, and the
// registration on the DoroLink server that follows.
#include "app/dorolink/DoroLinkAuthFixture.h"

#include "platform/core/Defaults.h"
#include "support/QueueBarrier.h"

namespace vm::test {
namespace {

using namespace std::chrono_literals;

class DoroLinkAuthTest : public DoroLinkAuthFixture {
protected:
    // No log line holds a token.
    void expectNoTokenLogged() {
        for (const std::string& line : logs.lines()) {
            EXPECT_EQ(line.find(kIdToken), std::string::npos) << line;
            EXPECT_EQ(line.find(kRefreshToken), std::string::npos) << line;
        }
    }
    // The login page opened, and the state it was opened with.
    std::string openLogin() {
        controller->openLoginWindow();
        EXPECT_FALSE(view->loads.empty());
        const std::string url = view->loads.empty() ? "" : view->loads.back();
        const auto at = url.find("&state=");
        return at == std::string::npos ? "" : url.substr(at + 7, 16);
    }
    // The provider's redirect page says "OK"; its address is read 2 s later, when the login
    // window goes.
    void redirect(const std::string& fragment) {
        ASSERT_TRUE(view->shown);
        view->finish(provider.baseUrl() + "/mobile#access_token=A1" + fragment, "OK");
        DispatchClock::advance(DoroLinkAuthWebController::kCaptureDelay);
        ASSERT_TRUE(runQtUntil([&] { return !view->shown; }));
    }
};

TEST_F(DoroLinkAuthTest, StoredRefreshTokenBringsANewIdTokenAndARegistration) {
    start();
    tokens->save(kRefreshTokenItem, kRefreshToken);
    provider.answer(200, QByteArray::fromStdString(R"({"access_token":"A2","id_token":")" +
                                                   kIdToken + R"(","token_type":"Bearer"})"));
    controller->listRemoteRadios();
    ASSERT_TRUE(registered(kIdToken));

    ASSERT_EQ(provider.requests().size(), 1u);
    const auto& request = provider.requests().front();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/delegation");
    EXPECT_EQ(request.headers.value("content-type"), "application/json");
    const QJsonObject body = QJsonDocument::fromJson(request.body).object();
    EXPECT_EQ(body, (QJsonObject{{"client_id", kDoroLinkClientId},
                                 {"target", kDoroLinkClientId},
                                 {"grant_type", "urn:ietf:params:oauth:grant-type:jwt-bearer"},
                                 {"refresh_token", QString::fromStdString(kRefreshToken)},
                                 {"scope", "openid email given_name family_name picture"}}));
    EXPECT_EQ(host.identities, std::vector<std::string>{kClaims});
    EXPECT_EQ(storedItem(kIdTokenItem), kClaims);
    EXPECT_EQ(storedItem(kRefreshTokenItem), kRefreshToken);
    EXPECT_TRUE(view->loads.empty()) << "no login page with a refresh token";
    expectNoTokenLogged();
}

struct ReplyCase {
    const char* name;
    std::string body;
    bool registers;
};

void PrintTo(const ReplyCase& c, std::ostream* os) { *os << c.name; }

class RefreshReplyTest : public DoroLinkAuthTest,
                         public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(RefreshReplyTest, TakesExactlyTheJsonIdToken) {
    start();
    tokens->save(kRefreshTokenItem, kRefreshToken);
    provider.answer(200, QByteArray::fromStdString(GetParam().body));
    controller->listRemoteRadios();
    if (GetParam().registers) {
        ASSERT_TRUE(registered(kIdToken));
        EXPECT_EQ(storedItem(kIdTokenItem), kClaims);
    } else {
        ASSERT_TRUE(runQtUntil([&] { return logs.contains("AuthWebController:refreshTokens:"); }));
        serverCaughtUp();
        EXPECT_EQ(server->accepted(), 0);
        EXPECT_EQ(storedItem(kIdTokenItem), "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Replies, RefreshReplyTest,
    ::testing::Values(ReplyCase{"white_space_around_the_token",
                                "{ \"token_type\" : \"Bearer\",\n  \"id_token\" :  \"  " +
                                    kIdToken + "\t\"\n }\n",
                                true},
                      ReplyCase{"member_after_the_token",
                                R"({"id_token":")" + kIdToken + R"(","expires_in":36000})", true},
                      ReplyCase{"not_json", R"({"token_type":"Bearer","id_token":")" + kIdToken,
                                false},
                      ReplyCase{"no_id_token", R"({"token_type":"Bearer"})", false},
                      ReplyCase{"id_token_not_text", R"({"id_token":42})", false}),
    [](const auto& c) { return std::string(c.param.name); });

TEST_F(DoroLinkAuthTest, RefreshErrorIsLoggedAndOpensNoLoginPage) {
    start();
    tokens->save(kRefreshTokenItem, kRefreshToken);
    provider.answer(403, R"({"error":"invalid_grant"})");
    controller->listRemoteRadios();
    ASSERT_TRUE(
        runQtUntil([&] { return logs.contains("AuthWebController:refreshTokens:error:"); }));
    EXPECT_TRUE(view->loads.empty());
    EXPECT_EQ(server->accepted(), 0);
}

TEST_F(DoroLinkAuthTest, LoginPageTokensAreStoredAndRegistered) {
    start();
    controller->listRemoteRadios();  // no refresh token: the login page
    const std::string state = openLogin();
    ASSERT_EQ(view->loads.size(), 1u) << "the page still shown is not loaded again";
    EXPECT_TRUE(view->shown);
    EXPECT_GE(view->cookieClears, 1);
    EXPECT_TRUE(view->loads.front().starts_with(provider.baseUrl() + "/authorize?client_id="));

    redirect("&id_token=" + kIdToken + "&refresh_token=" + kRefreshToken + "&state=" + state);
    EXPECT_TRUE(controller->loggedIn());
    EXPECT_FALSE(view->shown);
    ASSERT_TRUE(registered(kIdToken));
    EXPECT_EQ(storedItem(kIdTokenItem), kClaims);
    EXPECT_EQ(storedItem(kRefreshTokenItem), kRefreshToken);
    EXPECT_TRUE(host.warnings.empty());
    expectNoTokenLogged();
}

TEST_F(DoroLinkAuthTest, LoginWhileConnectedUsesTheSameConnection) {
    start();
    tokens->save(kRefreshTokenItem, kRefreshToken);
    provider.answer(200, QByteArray::fromStdString(R"({"id_token":")" + kIdToken + R"("})"));
    controller->listRemoteRadios();
    ASSERT_TRUE(registered(kIdToken));
    server->send("radio list radio_name=A serial=1111-2222-3333-4444 status=Available|\n");
    ASSERT_TRUE(runQtUntil([&] { return controller->wanServer()->remoteRadios().size() == 1; }));

    const std::string state = openLogin();
    redirect("&id_token=" + kIdToken + "&state=" + state);
    DispatchClock::advance(DoroLinkAuthWebController::kRegisterDelay);
    // The client refuses a second registration on the connection the server accepted.
    ASSERT_TRUE(
        runQtUntil([&] { return logs.contains("The register command has already been called"); }));
    serverCaughtUp();
    EXPECT_EQ(server->accepted(), 1);
    EXPECT_EQ(server->count(registrationWith(kIdToken)), 1u);
}

TEST_F(DoroLinkAuthTest, TokensWithAnotherStateAreRefused) {
    start();
    openLogin();
    redirect("&id_token=" + kIdToken + "&refresh_token=" + kRefreshToken +
             "&state=aaaaaaaaaaaaaaaa");
    EXPECT_FALSE(controller->loggedIn());
    EXPECT_EQ(host.warnings,
              std::vector<QString>{"Login Failed / could not extract tokens from URL"});
    EXPECT_EQ(storedItem(kRefreshTokenItem), "");
    EXPECT_TRUE(host.identities.empty());
    serverCaughtUp();
    EXPECT_EQ(server->accepted(), 0);
    expectNoTokenLogged();
}

TEST_F(DoroLinkAuthTest, TokensFromAnotherSiteAreRefused) {
    start();
    const std::string state = openLogin();
    view->finish(
        "https://elsewhere.example/mobile#access_token=A1&id_token=" + kIdToken + "&state=" + state,
        "OK");
    DispatchClock::advance(DoroLinkAuthWebController::kCaptureDelay);
    ASSERT_TRUE(runQtUntil([&] { return !view->shown; }));
    EXPECT_FALSE(controller->loggedIn());
    EXPECT_TRUE(host.identities.empty());
    EXPECT_EQ(host.warnings.size(), 1u);
    expectNoTokenLogged();
}

TEST_F(DoroLinkAuthTest, PagesOtherThanOkAreNotTheEndOfTheLogin) {
    start();
    const std::string state = openLogin();
    view->finish(
        provider.baseUrl() + "/mobile#access_token=A1&id_token=" + kIdToken + "&state=" + state,
        "Sign in");
    advanceBarrier(DispatchQueue::main(), DoroLinkAuthWebController::kCaptureDelay);
    EXPECT_TRUE(host.identities.empty());
    EXPECT_TRUE(view->shown);
}

TEST_F(DoroLinkAuthTest, WithoutSecretServiceTokensStayOutOfThePreferences) {
    start(false);
    const std::string state = openLogin();
    redirect("&id_token=" + kIdToken + "&refresh_token=" + kRefreshToken + "&state=" + state);
    ASSERT_TRUE(registered(kIdToken));
    EXPECT_FALSE(Defaults::standard().object(kRefreshTokenItem));
    EXPECT_FALSE(Defaults::standard().object(kIdTokenItem));
    EXPECT_EQ(host.notices, std::vector<std::string>{"DoroLink sign-in not saved"});
    // Kept for this run: the next start of DoroLink refreshes rather than asking for a login.
    EXPECT_EQ(tokens->load(kRefreshTokenItem), kRefreshToken);
}

TEST_F(DoroLinkAuthTest, SetUpShowsTheLastIdentity) {
    std::filesystem::create_directories(folder_);
    FileSecretStore(folder_ / "secrets.plist").add(newSearchDictionary(kIdTokenItem), kClaims);
    start();
    EXPECT_EQ(host.identities, std::vector<std::string>{kClaims});
    EXPECT_TRUE(host.networkTestEnabled);
}

TEST_F(DoroLinkAuthTest, ServerLightFlashesWhileTheLinkIsUp) {
    start();
    controller->displaySmartServerStatus(true);
    EXPECT_EQ(host.serverToolTip, "DoroLink secure server is connected");
    EXPECT_EQ(host.serverImage, statusImageNamed("gray_ball"));
    DispatchClock::advance(1s);
    EXPECT_TRUE(runQtUntil([&] { return host.serverImage == statusImageNamed("green_ball"); }));
    controller->displaySmartServerStatus(false);
    EXPECT_EQ(host.serverToolTip, "DoroLink secure server is not connected");
    EXPECT_EQ(host.serverImage, statusImageNamed("gray_ball"));
}

}  // namespace
}  // namespace vm::test
