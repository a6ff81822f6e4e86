// The session with a radio reached over the internet, against the simulated radio speaking TLS
// with a certificate made here: the handshake before anything is said, the handle validated
// first, the start-up after it, and the UDP registration with the greeting's handle.
#include "radio/Radio.h"
#include "radio/VitaManager.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"
#include "support/sim/SimRadio.h"
#include "support/tls/TestPki.h"

#include "RadioTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vm {
namespace {

using test::LogCapture;
using test::StateRecorder;
using test::waitFor;

// The radio stands at 127.0.0.2 and the session's stream socket binds 127.0.0.1, so both can use
// the same port number: the radio's public stream port and the client's own.
constexpr const char* kRadioAddress = "127.0.0.2";

class RemoteSession : public ::testing::Test {
protected:
    // A radio speaking TLS, unless `plain`.
    void startRadio(bool plain = false) {
        sim::SimRadioOptions options;
        options.address = kRadioAddress;
        if (!plain) {
            options.tlsIdentityPem =
                test::pki::server(test::pki::authority("Radio Test Authority"), "radio.test")
                    .identityPem();
        }
        std::string error;
        sim = sim::SimRadio::start(options, &error);
        ASSERT_TRUE(sim) << error;
        sim->scriptStartupReplies();
    }
    void TearDown() override {
        if (radio) {
            radio->close();
        }
        test::mainQueueBarrier();
    }

    std::shared_ptr<RadioInstance> record(std::optional<std::string> wanHandle) const {
        auto instance = std::make_shared<RadioInstance>();
        instance->name = "SimRadio";
        instance->model = sim->identity().model;
        instance->serialNum = sim->identity().serial;
        instance->supportsV3_API = true;
        instance->wanRadio = true;
        instance->wanHandle = std::move(wanHandle);
        instance->publicIp = kRadioAddress;
        instance->public_udp_port = std::to_string(sim->udpPort());
        return instance;
    }
    void connect(std::shared_ptr<RadioInstance> instance) {
        radio = Radio::create(std::move(instance), kRadioAddress, sim->commandPort(), delegate,
                              "velmoraSDR", 0, [](Radio& r) { r.setStreamInterface("127.0.0.1"); });
        ASSERT_TRUE(radio);
    }
    std::size_t logIndex(const LogCapture& capture, const std::string& start) const {
        const auto lines = capture.lines();
        return static_cast<std::size_t>(
            std::find_if(lines.begin(), lines.end(),
                         [&](const std::string& line) { return line.starts_with(start); }) -
            lines.begin());
    }

    std::unique_ptr<sim::SimRadio> sim;
    std::shared_ptr<StateRecorder> delegate = std::make_shared<StateRecorder>();
    std::shared_ptr<Radio> radio;
};

TEST_F(RemoteSession, ValidatesItsHandleFirstThenStartsAndRegistersForStreams) {
    startRadio();
    LogCapture capture;
    connect(record("A1B2C3D4"));
    ASSERT_TRUE(waitFor([&] { return delegate->saw(kStateConnected); }));
    ASSERT_TRUE(sim->waitForCommand("profile mic info"));

    const auto commands = sim->commands();
    ASSERT_GE(commands.size(), 3u);
    EXPECT_EQ(commands[0].text, "wan validate handle=A1B2C3D4");
    EXPECT_TRUE(commands[0].seq) << "a numbered command";
    EXPECT_EQ(commands[1].text, "ping");
    EXPECT_EQ(commands[2].text, "client program velmoraSDR");
    EXPECT_TRUE(std::none_of(commands.begin(), commands.end(), [](const sim::SimCommand& c) {
        return c.text.starts_with("client udpport");
    }));
    ASSERT_TRUE(waitFor([&] {
        return capture.contains("Radio:wanValidateCallback:cmdResponse:[R" +
                                std::to_string(*commands[0].seq) + "|0|]");
    }));

    // Trusted, then secured, then validated, then started.
    const std::size_t trusted = logIndex(capture, "Radio:didReceiveTrust");
    const std::size_t secured = logIndex(capture, "Radio:socketDidSecure:");
    const std::size_t validated = logIndex(capture, "Radio:cmdWanValidateByHandle");
    const std::size_t started = logIndex(capture, "Radio:initializeRadio");
    EXPECT_LT(logIndex(capture, "Radio:didConnectToHost:secure socket..."), trusted);
    EXPECT_LT(trusted, secured);
    EXPECT_LT(secured, validated);
    EXPECT_LT(validated, started);
    EXPECT_LT(started, capture.lines().size());
    EXPECT_TRUE(capture.contains("VitaManager:startVitaPingTimer"));

    // The greeting's handle registers the stream path; the radio's streams then arrive.
    ASSERT_TRUE(sim->waitForStreamDestination());
    EXPECT_EQ(sim->datagrams().front().bytes,
              "client udp_register handle=0x" + sim->identity().handle);
    EXPECT_EQ(*sim->streamDestination(), (sim::Endpoint{"127.0.0.1", sim->udpPort()}));
    ASSERT_TRUE(sim->sendMeters({{1, 42}}));
    ASSERT_TRUE(waitFor([&] { return radio->vitaManager()->vitaPacketReceived(); }));

    // The radio hangs up with its close alert.
    ASSERT_TRUE(sim->closeSession());
    ASSERT_TRUE(waitFor([&] { return delegate->saw(kStateDisconnectedByPeer); }));
    EXPECT_EQ(delegate->states,
              (std::vector<std::uint32_t>{kStateConnected, kStateDisconnectedByPeer}));
    radio->close();
    EXPECT_TRUE(capture.contains("stopVitaPingTimer"));
    EXPECT_FALSE(radio->vitaManager());
}

// Without a handle (none, or an empty one) nothing is validated and the start-up comes first.
class RemoteSessionWithoutHandle
    : public RemoteSession,
      public ::testing::WithParamInterface<std::optional<std::string>> {};

TEST_P(RemoteSessionWithoutHandle, StartUpComesFirst) {
    startRadio();
    LogCapture capture;
    connect(record(GetParam()));
    ASSERT_TRUE(waitFor([&] { return delegate->saw(kStateConnected); }));
    ASSERT_TRUE(sim->waitForCommand("profile mic info"));
    EXPECT_EQ(sim->commandTexts().front(), "ping");
    EXPECT_FALSE(capture.contains("Radio:cmdWanValidateByHandle"));
}

INSTANTIATE_TEST_SUITE_P(Handles, RemoteSessionWithoutHandle,
                         ::testing::Values(std::nullopt, std::optional<std::string>("")),
                         [](const ::testing::TestParamInfo<std::optional<std::string>>& param) {
                             return param.param ? "Empty" : "None";
                         });

// A radio that answers in clear text fails the handshake: the session reports a failed
// connection, never reaches state 2, and says nothing in clear text.
TEST_F(RemoteSession, RadioWithoutTlsFailsTheConnection) {
    startRadio(/*plain=*/true);
    LogCapture capture;
    connect(record("A1B2C3D4"));
    ASSERT_TRUE(waitFor([&] { return delegate->saw(kStateConnectFailed); }));
    EXPECT_EQ(delegate->states, std::vector<std::uint32_t>{kStateConnectFailed});
    EXPECT_TRUE(capture.contains("domain:kCFStreamErrorDomainSSL"));
    EXPECT_FALSE(capture.contains("Radio:socketDidSecure:"));
    const auto texts = sim->commandTexts();
    EXPECT_TRUE(std::none_of(texts.begin(), texts.end(), [](const std::string& text) {
        return text.find("wan validate") != std::string::npos || text == "ping";
    }));
}

}  // namespace
}  // namespace vm
