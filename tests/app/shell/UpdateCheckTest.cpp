// The update check against a version file served over HTTPS on loopback by a server whose
// authority only the test trusts. Each case ends in the alert it should (or in none), answered
// by the test, and never waits longer than the check's time-out.
#include "app/shell/UpdateCheck.h"

#include "platform/ui/Alert.h"
#include "support/LogCapture.h"
#include "support/QtEvents.h"
#include "support/StandInCommand.h"
#include "support/dorolink/LoginProviderStandIn.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <algorithm>

namespace vm {
namespace {

using namespace std::chrono_literals;

struct Shown {
    std::string message, informative;
    std::vector<std::string> buttons;
};

class UpdateCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        Alert::setTestResponder([this](Alert& alert) {
            shown.push_back({alert.messageText(), alert.informativeText(), alert.buttonTitles()});
            return std::min(pressed, int(alert.buttonTitles().size()) - 1);
        });
    }
    void TearDown() override { Alert::setTestResponder({}); }

    UpdateCheckOptions options(const std::string& running, const std::string& build) const {
        UpdateCheckOptions o;
        o.versionFileUrl = server.baseUrl() + "/vmsdr_data_files/vmsdr_version.dat";
        o.downloadPageUrl = "https://localhost/velmoraSDR.html";
        o.shortVersion = running;
        o.buildVersion = build;
        o.trustedAuthorities = server.authority();
        return o;
    }
    // Runs one check to its end: its version line, or its line for an unreachable server.
    void check(const UpdateCheckOptions& o, bool fromMenu) {
        const auto ends = [this] {
            std::size_t n = 0;
            for (const std::string& line : log.lines()) {
                n += line.starts_with("checkForUpdates:Version:") ||
                     line.starts_with("checkForUpdates:error:");
            }
            return n;
        };
        const std::size_t before = ends();
        UpdateCheck updates(o, [] { return std::nullopt; });
        updates.checkForUpdates(fromMenu);
        ASSERT_TRUE(test::runQtUntil([&] { return ends() > before; }));
    }

    test::LoginProviderStandIn server;
    test::LogCapture log;
    std::vector<Shown> shown;
    int pressed = 0;  // the button the test presses (the last one when the alert has fewer)
};

struct VersionCase {
    const char* name;
    const char* file;  // what the server answers
    const char* running;
    const char* build;
    bool fromMenu;
    const char* alert;  // "" for none
};

class UpdateCheckVersions : public UpdateCheckTest,
                            public ::testing::WithParamInterface<VersionCase> {};

TEST_P(UpdateCheckVersions, EndInTheirAlert) {
    const VersionCase& c = GetParam();
    pressed = 1;  // "Later": nothing is opened
    server.answer(200, c.file);
    check(options(c.running, c.build), c.fromMenu);
    if (std::string(c.alert).empty()) {
        EXPECT_TRUE(shown.empty()) << shown.front().message;
    } else {
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].message, c.alert);
    }
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0].path, QStringLiteral("/vmsdr_data_files/vmsdr_version.dat"));
}

INSTANTIATE_TEST_SUITE_P(
    AgainstTheVersionFile, UpdateCheckVersions,
    ::testing::Values(VersionCase{"NewerAtLaunch", "2.31\n", "2.30", "2.30", false,
                                  "There is a newer version of velmoraSDR available"},
                      VersionCase{"SameReleaseAsATestBuild", "2.31", "2.31", "2.31b2", false,
                                  "There is a newer version of velmoraSDR available"},
                      VersionCase{"EqualAtLaunch", "2.30", "2.30", "2.30", false, ""},
                      VersionCase{"OlderAtLaunch", "2.29", "2.30", "2.30", false, ""},
                      VersionCase{"EqualFromMenu", "version 2.30 released", "2.30", "2.30.4", true,
                                  "velmoraSDR 2.30 is the latest release version."},
                      VersionCase{"LettersOnly", "no version here", "2.30", "2.30", false,
                                  "Server Error"},
                      VersionCase{"Empty", "", "2.30", "2.30", true, "Server Error"}),
    [](const ::testing::TestParamInfo<VersionCase>& param) {
        return std::string(param.param.name);
    });

TEST_F(UpdateCheckTest, TheNewerVersionAlertOffersTheDownloadPage) {
    test::StandInCommand browser("xdg-open");
    server.answer(200, "2.31");
    check(options("2.30", "2.30"), false);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].informative, "Would you like to download it now ?");
    EXPECT_EQ(shown[0].buttons, (std::vector<std::string>{"OK", "Later"}));
    EXPECT_TRUE(
        log.contains("checkForUpdates:Version:calledFromMenu:[0] [2.30] adjusted:[2.30] "
                     "Latest Available Version:[2.31]"));
    ASSERT_TRUE(test::runQtUntil([&] { return browser.ran(); }));
    EXPECT_EQ(browser.arguments(), std::vector<std::string>{"https://localhost/velmoraSDR.html"});
}

TEST_F(UpdateCheckTest, LaterOpensNothingAndTheUpToDateAlertNamesTheBuild) {
    test::StandInCommand browser("xdg-open");
    pressed = 1;  // "Later"
    server.answer(200, "2.31");
    check(options("2.30", "2.30"), true);
    server.answer(200, "2.31");
    check(options("2.31", "2.31.2"), true);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].informative, "Your software (2.31.2) is up to date.");
    EXPECT_FALSE(browser.ran());
}

// An error page of the server is no version file, whatever digits it holds.
TEST_F(UpdateCheckTest, AnErrorPageIsAServerError) {
    server.answer(404, "<html>404 Not Found</html>");
    check(options("2.30", "2.30"), false);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].message, "Server Error");
    EXPECT_EQ(shown[0].informative, "Error retrieving latest version number from server");
    EXPECT_TRUE(log.contains("checkForUpdates:status:[404]"));
    EXPECT_TRUE(log.contains("checkForUpdates:data missing"));
}

TEST_F(UpdateCheckTest, AServerThatCannotBeReachedOrTrustedIsOneClearMessage) {
    // A port nobody listens on: a server started and stopped.
    std::string closed;
    {
        QTcpServer gone;
        ASSERT_TRUE(gone.listen(QHostAddress::LocalHost, 0));
        closed = "https://127.0.0.1:" + std::to_string(gone.serverPort()) + "/v.dat";
    }
    UpdateCheckOptions refused = options("2.30", "2.30");
    refused.versionFileUrl = closed;
    UpdateCheckOptions untrusted = options("2.30", "2.30");
    untrusted.trustedAuthorities.clear();
    server.answer(200, "2.31");
    for (const UpdateCheckOptions& o : {refused, untrusted}) {
        shown.clear();
        check(o, false);
        ASSERT_EQ(shown.size(), 1u) << o.versionFileUrl;
        EXPECT_EQ(shown[0].message, "velmoraSDR Cannot reach the server.");
        EXPECT_EQ(shown[0].informative, "Please check your internet connection");
        EXPECT_TRUE(log.contains("velmoraSDR Cannot reach server."));
    }
}

// A server that takes the connection and never answers ends in the same message once the
// time-out has passed.
TEST_F(UpdateCheckTest, AServerThatNeverAnswersTimesOut) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    UpdateCheckOptions o = options("2.30", "2.30");
    o.versionFileUrl = "https://127.0.0.1:" + std::to_string(silent.serverPort()) + "/v.dat";
    o.timeout = 300ms;
    check(o, true);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].message, "velmoraSDR Cannot reach the server.");
}

}  // namespace
}  // namespace vm
