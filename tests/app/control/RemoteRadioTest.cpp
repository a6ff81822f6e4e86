// A DoroLink radio from the application: the DoroLink client's radio list in the chooser, the
// chooser's request to the server, and the radio made ready opening its session over TLS with
// its handle, against a DoroLink server of the test's own and the simulated radio speaking TLS.
#include "ConnectingFixture.h"

#include "dorolink/WanServer.h"
#include "platform/core/NotificationCenter.h"
#include "platform/ui/ProgressIndicator.h"
#include "support/LogCapture.h"
#include "support/LoopbackPort.h"
#include "support/dorolink/DoroLinkTestServer.h"
#include "support/tls/TestPki.h"

#include <QPushButton>

namespace vm {
namespace {

using namespace std::chrono_literals;
using test::runEventsUntil;

constexpr const char* kHandle = "0x5EC12E7D";
// The radio stands at its own loopback address, as a radio across the internet would.
constexpr const char* kRadioAddress = "127.0.0.2";

// The login controller's part: register as soon as the link is secure.
struct Registrar : WanServerDelegate {
    std::weak_ptr<WanServer> server;
    void wanServerReadyCallback(bool) override {
        if (auto s = server.lock()) {
            s->sendRegisterApplicationMessageToServer("TOKEN");
        }
    }
};

class RemoteRadio : public test::ConnectingFixture {
protected:
    void SetUp() override {
        ConnectingFixture::SetUp();
        std::string error;
        test::DoroLinkTestServer::Options serverOptions;
        serverOptions.identityPem = test::doroLinkCertificates().localhost.identityPem();
        server = test::DoroLinkTestServer::start(serverOptions, &error);
        ASSERT_TRUE(server) << error;
        sim::SimRadioOptions options;
        options.address = kRadioAddress;
        options.tlsIdentityPem =
            test::pki::server(test::pki::authority("Radio Authority"), "radio.test").identityPem();
        remoteSim = sim::SimRadio::start(options, &error);
        ASSERT_TRUE(remoteSim) << error;
        remoteSim->scriptStartupReplies();

        launch();
        WanServer::Options wanOptions;
        wanOptions.host = "localhost";
        wanOptions.port = server->port();
        wanOptions.userNotice = [this](const std::string& title, const std::string& text) {
            controller->showNotificationWithTitle(title, text);
        };
        wan = WanServer::create(registrar, wanOptions);
        registrar->server = wan;
        controller->wanServer = wan;
    }
    void TearDown() override {
        if (wan) {
            wan->disconnectWanServer();
        }
        ConnectingFixture::TearDown();
    }

    // The radio as the server lists it: its public address and TLS port are the simulated
    // radio's, and a short piece after it is no radio.
    std::string radioList() const {
        return "radio list radio_name=Remote serial=" + remoteSim->identity().serial +
               " model=" + remoteSim->identity().model +
               " status=Available version=3.3.28.0 public_ip=" + kRadioAddress +
               " public_tls_port=" + std::to_string(remoteSim->commandPort()) +
               " public_udp_port=" + std::to_string(test::unusedLoopbackPort(SOCK_DGRAM)) +
               " upnp_supported=0|serial=1|\n";
    }
    void connectServer() {
        wan->connectWanServer();
        ASSERT_TRUE(
            runEventsUntil([&] { return server->countPrefix("application register") == 1; }));
    }

    std::unique_ptr<test::DoroLinkTestServer> server;
    std::unique_ptr<sim::SimRadio> remoteSim;
    std::shared_ptr<Registrar> registrar = std::make_shared<Registrar>();
    std::shared_ptr<WanServer> wan;
};

TEST_F(RemoteRadio, TheServersListFillsTheChooserAndTheReadyRadioOpensOverTlsWithItsHandle) {
    connectServer();
    server->send(radioList());
    ASSERT_TRUE(runEventsUntil([&] { return chooser().count() == 4; }));
    EXPECT_EQ(chooserTitles(), (std::vector<std::string>{"", "Remote (R)", "", "Disconnect"}));
    EXPECT_TRUE(prefsControl<QPushButton>("auth_net_button").isEnabled());

    // The user's choice asks the server to make the radio ready.
    test::LogCapture capture;
    chooser().selectItemWithTitle("Remote (R)");
    chooser().sendAction();
    advance(1s);
    const std::string request =
        "application connect serial=" + remoteSim->identity().serial + " hole_punch_port=0";
    ASSERT_TRUE(runEventsUntil([&] { return server->count(request) == 1; }));
    EXPECT_TRUE(prefsControl<ProgressIndicator>("authProgressIndicator").isAnimating());

    // The server's answer comes behind a fresh list, in one read.
    server->send(radioList() + "radio connect_ready handle=" + kHandle +
                 " serial=" + remoteSim->identity().serial + "\n");
    ASSERT_TRUE(runEventsUntil([&] { return remoteSim->sessionCount() == 1; }));
    ASSERT_TRUE(remoteSim->waitForCommand("client program velmoraSDR"));
    EXPECT_EQ(remoteSim->commandTexts().front(), std::string("wan validate handle=") + kHandle)
        << "the handle goes first, inside TLS";
    EXPECT_TRUE(capture.contains("remoteRadioReady:[Remote] connect..."));
    ASSERT_TRUE(runEventsUntil([&] { return controller->radioStartupComplete; }));
    EXPECT_EQ(controller->radioConnectionState, 4);
    EXPECT_EQ(chooser().title(), "Remote (R)");
    EXPECT_FALSE(prefsControl<ProgressIndicator>("authProgressIndicator").isAnimating());

    // A second ready radio while one is open is only logged.
    server->send("radio connect_ready handle=0x2 serial=" + remoteSim->identity().serial + "\n");
    ASSERT_TRUE(runEventsUntil([&] {
        return capture.contains("remoteRadioReady:[Remote] already connected to:[Remote]");
    }));
    EXPECT_EQ(remoteSim->sessionCount(), 1);
}

// A listed radio without a port to reach it by is not opened, and the user hears why.
TEST_F(RemoteRadio, AReadyRadioWithoutAUsablePortIsNotOpened) {
    auto radio = std::make_shared<RadioInstance>();
    radio->name = "Far";
    radio->wanRadio = true;
    radio->publicIp = "127.0.0.2";
    radio->upnpSupported = true;
    radio->public_tls_port = "4994";  // the UPnP port is the one that counts, and there is none
    test::LogCapture capture;
    NotificationCenter::defaultCenter().post(kRemoteRadioReady, radio);
    ASSERT_TRUE(runEventsUntil([] {
        return test::notificationServer().received("Connection failed",
                                                   "Connection with:Far failed");
    }));
    EXPECT_TRUE(
        capture.contains("remoteRadioReady:[Far] no public address or TLS port:[127.0.0.2] []"));
    EXPECT_FALSE(controller->openRadio);
}

}  // namespace
}  // namespace vm
