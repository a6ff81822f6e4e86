#pragma once
// The DoroLink login controller without the application: a host that records what it is told, a
// login view the test drives as a browser would, the identity provider's HTTPS stand-in and a
// DoroLink server of the test's own, both on loopback.
#include "app/dorolink/DoroLinkAuthWebController.h"
#include "app/dorolink/NetTestController.h"
#include "app/windows/StatusImages.h"
#include "platform/core/DispatchClock.h"
#include "platform/core/FileSecretStore.h"
#include "support/LogCapture.h"
#include "support/QtEvents.h"
#include "support/dorolink/DoroLinkTestServer.h"
#include "support/dorolink/LoginProviderStandIn.h"
#include "util/Keychain.h"

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>

#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vm::test {

// Claims {"email":"op@example.com","given_name":"Ada","family_name":"Byron"}.
inline const std::string kIdToken =
    "eyJhbGciOiJSUzI1NiIsInR5cCI6IkpXVCJ9."
    "eyJlbWFpbCI6Im9wQGV4YW1wbGUuY29tIiwiZ2l2ZW5fbmFtZSI6IkFkYSIsImZhbWlseV9uYW1lIjoiQnlyb24ifQ."
    "c2ln";
inline const std::string kClaims =
    R"({"email":"op@example.com","given_name":"Ada","family_name":"Byron"})";
inline const std::string kRefreshToken = "v1.RefreshTokenQ7w";

inline std::string registrationWith(const std::string& token) {
    return "application register name=velmoraSDR platform=macOS token=" + token;
}

struct RecordingAuthHost : DoroLinkAuthHost {
    struct Ports {
        bool on;
        int tcp, udp;
        bool operator==(const Ports&) const = default;
    };

    std::vector<std::string> identities;
    QImage serverImage;
    QString serverToolTip;
    int unchecks = 0;
    bool networkTestEnabled = false;
    std::vector<std::string> notices;  // what the user was told
    std::vector<QString> warnings;
    std::shared_ptr<RadioInstance> open;
    std::vector<std::shared_ptr<RadioInstance>> local;
    int localRow = -1;
    int remoteRow = -1;
    std::vector<Ports> savedPorts;
    std::vector<std::string> sentToRadio;  // name and call sign commands
    int closes = 0;
    bool busy = false;

    void displayIdToken(const std::string& claims) override { identities.push_back(claims); }
    void setDoroLinkServerImage(const QImage& image) override { serverImage = image; }
    void setDoroLinkServerToolTip(const QString& text) override { serverToolTip = text; }
    void uncheckDoroLinkButton() override { ++unchecks; }
    void setNetworkTestEnabled(bool enabled) override { networkTestEnabled = enabled; }
    void showWarning(const QString& message, const QString& informative) override {
        warnings.push_back(message + " / " + informative);
    }
    void tellUser(const std::string& title, const std::string& text) override {
        notices.push_back(title + ": " + text);
    }
    void setDoroLinkBusy(bool on) override { busy = on; }
    void cmdSetRadioName(const std::string& name) override {
        sentToRadio.push_back("radio name " + name);
    }
    void cmdSetRadioCallSign(const std::string& callsign) override {
        sentToRadio.push_back("radio callsign " + callsign);
    }
    bool closeOpenRadio(const std::string&) override {
        if (!open) {
            return false;
        }
        open.reset();
        ++closes;
        return true;
    }
    std::shared_ptr<RadioInstance> openRadioInstance() const override { return open; }
    void wanSetForwardedPorts(bool on, int tcp, int udp) override {
        savedPorts.push_back({on, tcp, udp});
    }
    std::vector<std::shared_ptr<RadioInstance>> localRadios() const override { return local; }
    int selectedLocalRow() const override { return localRow; }
    int selectedRemoteRow() const override { return remoteRow; }
};

struct FakeLoginView : LoginView {
    std::vector<std::string> loads;
    std::string url;
    bool shown = false;
    int cookieClears = 0;

    void show() override { shown = true; }
    void hide() override { shown = false; }
    void load(const std::string& address) override {
        loads.push_back(address);
        url = address;
    }
    std::string currentUrl() const override { return url; }
    void removeAuthProviderCookies() override { ++cookieClears; }
    // The browser has loaded a page.
    void finish(const std::string& address, const std::string& text) {
        url = address;
        pageFinished(address, text);
    }
};

class DoroLinkAuthFixture : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::path(::testing::TempDir()) /
                  ("dorolink-auth-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        DoroLinkTestServer::Options options;
        options.identityPem = doroLinkCertificates().localhost.identityPem();
        std::string error;
        server = DoroLinkTestServer::start(std::move(options), &error);
        ASSERT_TRUE(server) << error;
    }
    void TearDown() override {
        controller.reset();
        std::filesystem::remove_all(folder_);
    }

    // The controller set up; `secretService` false: no Secret Service answers.
    void start(bool secretService = true) {
        store =
            secretService ? std::make_shared<FileSecretStore>(folder_ / "secrets.plist") : nullptr;
        tokens = std::make_shared<DoroLinkTokens>(
            store, [this](const std::string& title, const std::string&) {
                host.notices.push_back(title);
            });
        auto fake = std::make_unique<FakeLoginView>();
        view = fake.get();
        DoroLinkAuthOptions options;
        options.server.host = "localhost";
        options.server.port = server->port();
        options.endpoints.base = provider.baseUrl();
        options.trustedAuthorities = provider.authority();
        controller = DoroLinkAuthWebController::create(host, std::move(fake), tokens, options);
        controller->startAuthWithDelegate();
    }
    std::string storedItem(const char* item) const {
        return store ? store->find(newSearchDictionary(item)).value_or("") : "";
    }
    // Qt's events run until the server has dealt with everything that reached it by now.
    void serverCaughtUp() {
        const std::uint64_t turn = server->turns();
        EXPECT_TRUE(runQtUntil([&] { return server->turns() >= turn + 2; }));
    }
    bool registered(const std::string& token) {
        return runQtUntil([&] { return server->count(registrationWith(token)) > 0; });
    }

    std::filesystem::path folder_;
    LogCapture logs;
    RecordingAuthHost host;
    LoginProviderStandIn provider;
    std::unique_ptr<DoroLinkTestServer> server;
    std::shared_ptr<FileSecretStore> store;
    std::shared_ptr<DoroLinkTokens> tokens;
    FakeLoginView* view = nullptr;
    std::shared_ptr<DoroLinkAuthWebController> controller;
};

}  // namespace vm::test
