#pragma once
// The DoroLink client against a TLS server of the test's own on 127.0.0.1: a delegate that
// records what it is told and registers when the link is secure (as the login controller does),
// the notifications the client posts, and what the user is told.
#include "dorolink/WanServer.h"
#include "platform/core/DispatchClock.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/NotificationCenter.h"
#include "radio/RadioFactory.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"
#include "support/dorolink/DoroLinkTestServer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vm::test {

inline constexpr const char* kToken = "eyJhbGciOi.eyJzdWIiOi.c2lnbmF0dXJl";
inline constexpr const char* kRegistration =
    "application register name=velmoraSDR platform=macOS token=eyJhbGciOi.eyJzdWIiOi.c2lnbmF0dXJl";

struct RecordingWanDelegate : WanServerDelegate {
    std::weak_ptr<WanServer> server;
    bool registerWhenReady = true;
    std::vector<bool> statuses;
    std::vector<bool> readyCallbacks;
    int unchecks = 0;
    int netWindowRefreshes = 0;

    void displaySmartServerStatus(bool up) override { statuses.push_back(up); }
    void uncheckDoroLinkButton() override { ++unchecks; }
    void wanServerReadyCallback(bool secured) override {
        readyCallbacks.push_back(secured);
        if (auto s = server.lock(); s && registerWhenReady) {
            s->sendRegisterApplicationMessageToServer(kToken);
        }
    }
    void refreshNetWindow() override { ++netWindowRefreshes; }
};

struct Notice {
    std::string title, text;
    bool operator==(const Notice&) const = default;
};

class WanServerFixture : public ::testing::Test {
protected:
    void SetUp() override {
        auto& center = NotificationCenter::defaultCenter();
        tokens = {center.addObserver(kAuthProcessComplete,
                                     [this](const Notification&) { ++authComplete; }),
                  center.addObserver(kAvailableRadioListChanged,
                                     [this](const Notification& n) {
                                         listChanges.push_back(
                                             std::static_pointer_cast<RadioInstance>(n.object));
                                     }),
                  center.addObserver(kRemoteRadioReady, [this](const Notification& n) {
                      readyRadios.push_back(std::static_pointer_cast<RadioInstance>(n.object));
                  })};
    }
    void TearDown() override {
        if (wan) {
            wan->disconnectWanServer();
        }
        mainQueueBarrier();
        for (auto token : tokens) {
            NotificationCenter::defaultCenter().removeObserver(token);
        }
    }

    // A server with this identity, and a client for "localhost" at its port.
    void start(const TestIdentity& identity, DoroLinkTestServer::Options options = {}) {
        options.identityPem = identity.identityPem();
        options.clock = [] { return DispatchClock::now().time_since_epoch(); };
        std::string error;
        server = DoroLinkTestServer::start(std::move(options), &error);
        ASSERT_TRUE(server) << error;
        WanServer::Options wanOptions;
        wanOptions.host = "localhost";
        wanOptions.port = server->port();
        wanOptions.userNotice = [this](const std::string& title, const std::string& text) {
            notices.push_back({title, text});
        };
        wan = WanServer::create(delegate, wanOptions);
        delegate->server = wan;
    }
    void startTrusted(DoroLinkTestServer::Options options = {}) {
        start(doroLinkCertificates().localhost, std::move(options));
    }
    // Connects, and waits until the registration has reached the server.
    void connectAndRegister() {
        const std::size_t before = server->count(kRegistration);
        wan->connectWanServer();
        ASSERT_TRUE(runMainUntil([&] { return server->count(kRegistration) > before; }));
    }
    // Sends the bytes and runs the main queue until `done`.
    bool serverSays(const std::string& bytes, const std::function<bool()>& done) {
        server->send(bytes);
        return runMainUntil(done);
    }
    // Runs the main queue until the server has dealt with everything that reached it by now.
    void serverCaughtUp() {
        const std::uint64_t turn = server->turns();
        EXPECT_TRUE(runMainUntil([&] { return server->turns() >= turn + 2; }));
    }
    bool listed(std::size_t count) {
        return runMainUntil([&] { return wan->remoteRadios().size() == count; });
    }

    std::unique_ptr<DoroLinkTestServer> server;
    std::shared_ptr<RecordingWanDelegate> delegate = std::make_shared<RecordingWanDelegate>();
    std::shared_ptr<WanServer> wan;
    std::vector<NotificationCenter::Token> tokens;
    int authComplete = 0;
    std::vector<std::shared_ptr<RadioInstance>> listChanges;
    std::vector<std::shared_ptr<RadioInstance>> readyRadios;
    std::vector<Notice> notices;
};

}  // namespace vm::test
