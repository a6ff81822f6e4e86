// The Help menu and the update check of the running controller: the launch check follows the
// stored choice, the problem report reaches a stand-in mail command with the debug log (without
// its secrets) and the pictures of four preference tabs, and the links reach a stand-in opener.
#include "AppFixture.h"

#include "app/windows/MainMenus.h"
#include "app/windows/RadioPrefsPage.h"
#include "platform/core/Log.h"
#include "platform/ui/Appearance.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/MenuItem.h"
#include "support/QtEvents.h"
#include "support/StandInCommand.h"
#include "support/dorolink/LoginProviderStandIn.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <algorithm>

namespace vm {
namespace {

using test::AppFixture;

class UpdateCheckAtLaunch : public AppFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(UpdateCheckAtLaunch, FollowsTheStoredChoice) {
    const bool stored = GetParam();
    if (!stored) {
        Defaults::standard().set("check_for_updates", PlistValue(std::int64_t{0}));
    }
    test::LoginProviderStandIn server;
    server.answer(200, "2.30");
    updateCheck.versionFileUrl = server.baseUrl() + "/vmsdr_version.dat";
    updateCheck.trustedAuthorities = server.authority();
    updateCheck.shortVersion = updateCheck.buildVersion = "2.30";
    std::vector<std::string> alerts;
    Alert::setTestResponder([&](Alert& alert) {
        alerts.push_back(alert.messageText());
        return 0;
    });
    launch();
    // Up to date: the launch says nothing, the menu says so.
    controller->menus->checkForUpdatesMenuItem->performAction();
    ASSERT_TRUE(test::runQtUntil([&] { return !alerts.empty(); }));
    EXPECT_EQ(alerts, std::vector<std::string>{"velmoraSDR 2.30 is the latest release version."});
    if (stored) {
        ASSERT_TRUE(test::runQtUntil([&] { return server.requests().size() == 2; }));
        ASSERT_TRUE(test::runQtUntil([&] {
            return logText().find("checkForUpdates:Version:calledFromMenu:[0]") !=
                   std::string::npos;
        }));
    }
    EXPECT_EQ(server.requests().size(), stored ? 2u : 1u);
    EXPECT_EQ(alerts.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(CheckBox, UpdateCheckAtLaunch, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return std::string(param.param ? "OnByDefault" : "StoredOff");
                         });

// The whole debug log file as the report attached it, and the report's pictures.
struct SentReport {
    std::vector<std::string> arguments;
    std::string log;
    std::vector<QImage> pictures;
};

SentReport sentReport(const test::StandInCommand& mail) {
    SentReport sent{mail.arguments(), {}, {}};
    for (std::size_t i = 0; i + 1 < sent.arguments.size(); ++i) {
        if (sent.arguments[i] != "--attach") {
            continue;
        }
        const std::string& file = sent.arguments[i + 1];
        if (file.ends_with(".txt")) {
            sent.log = readWholeFile(file).value_or("");
        } else {
            sent.pictures.emplace_back(QString::fromStdString(file));
        }
    }
    return sent;
}

TEST_F(AppFixture, TheProblemReportMailsTheLogWithoutSecretsAndFourPreferencePictures) {
    test::StandInCommand mail("xdg-email");
    launch();
    log("AuthWebController:refreshTokens:reply:[{{\"refresh_token\":\"v1.SecretQ7w\"}}]");
    log("application register name=velmoraSDR token=SecretRefresh");
    prefsControl<CheckBox>("darkWindowsCheckBox").click();
    controller->prefsWindow->selectTab(PreferencesWindow::cwTab);
    const QPalette dark = controller->prefsWindow->palette();

    controller->menus->sendDebugLogMenuItem->performAction();
    ASSERT_TRUE(test::runQtUntil(
        [&] { return logText().find("appController:didShareItems") != std::string::npos; }));
    EXPECT_NE(logText().find(std::string(70, '-')), std::string::npos);

    const SentReport sent = sentReport(mail);
    ASSERT_GE(sent.arguments.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(sent.arguments.begin(), sent.arguments.begin() + 3),
              (std::vector<std::string>{"--utf8", "--subject", "velmoraSDR Problem Report"}));
    EXPECT_EQ(sent.arguments[3], "--body");
    EXPECT_TRUE(sent.arguments[4].starts_with(
        "Please enter problem description and the steps required to reproduce it here:\n\n\n\n" +
        std::string(70, '-') + "\n\nvelmoraSDR Debug Log.\n\n"));
    EXPECT_EQ(sent.arguments.back(), "support@velmorasoftware.com");
    EXPECT_EQ(std::count(sent.arguments.begin(), sent.arguments.end(), "--attach"), 5);

    EXPECT_NE(sent.log.find("applicationDidFinishLaunching:"), std::string::npos);
    EXPECT_NE(sent.log.find("token=<removed>"), std::string::npos);
    EXPECT_EQ(sent.log.find("SecretQ7w"), std::string::npos);
    EXPECT_EQ(sent.log.find("SecretRefresh"), std::string::npos);

    ASSERT_EQ(sent.pictures.size(), 4u);
    for (const QImage& picture : sent.pictures) {
        EXPECT_GT(picture.width(), 200);
        EXPECT_GT(picture.height(), 200);
    }
    // The pictures are light although the windows are dark; the window is as it was after.
    const QColor background = sent.pictures[0].pixelColor(5, 5);
    EXPECT_GT(background.lightness(), 128);
    EXPECT_EQ(controller->prefsWindow->palette(), dark);
    EXPECT_EQ(controller->prefsWindow->selectedTab(), PreferencesWindow::cwTab);
    ASSERT_TRUE(QDir().mkpath(QStringLiteral(VM_SCREENSHOT_DIR)));
    EXPECT_TRUE(
        sent.pictures[0].save(QStringLiteral(VM_SCREENSHOT_DIR "/problem_report_radio_tab.png")));
}

TEST_F(AppFixture, AMailCommandThatFailsIsLogged) {
    test::StandInCommand mail("xdg-email", 3);
    launch();
    controller->menus->sendDebugLogMenuItem->performAction();
    ASSERT_TRUE(test::runQtUntil([&] {
        return logText().find("appController:sharingService Error:xdg-email ended with status 3") !=
               std::string::npos;
    }));
}

TEST_F(AppFixture, TheHelpLinksOpenTheMakersPagesAndTheLogFolder) {
    launch();
    const struct {
        MenuItem* item;
        std::string opened;
    } links[] = {
        {controller->menus->websiteMenuItem, "https://www.velmorasoftware.com/velmoraSDR.html"},
        {controller->menus->onlineHelpMenuItem,
         "https://www.velmorasoftware.com/velmoraSDR_Help/velmoraSDR_Help.html"},
        {controller->menus->showDebugLogFolderMenuItem, controller->debugPath},
    };
    for (const auto& link : links) {
        test::StandInCommand opener("xdg-open");
        link.item->performAction();
        ASSERT_TRUE(test::runQtUntil([&] { return opener.ran(); })) << link.opened;
        EXPECT_EQ(opener.arguments(), std::vector<std::string>{link.opened});
    }
    // No opener at all: the failure is logged.
    test::ScopedEnv env;
    env.set("PATH", "/nonexistent");
    controller->menus->websiteMenuItem->performAction();
    EXPECT_NE(logText().find("openUrlWithString:failed:[https://www.velmorasoftware.com/"
                             "velmoraSDR.html]"),
              std::string::npos);
}

}  // namespace
}  // namespace vm
