// Session start-up against the simulated radio: the commands in their order, the replies that
// fill the identity, the stream port announcement, GUI binding with the saved client id, and the
// command texts of the client, profile and GUI operations as the radio receives them.
#include "platform/core/Defaults.h"
#include "platform/core/NotificationCenter.h"
#include "radio/Radio.h"
#include "radio/VitaManager.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"
#include "support/sim/SimRadio.h"

#include "RadioTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vm {
namespace {

using namespace std::chrono_literals;
using test::LogCapture;
using test::StateRecorder;
using test::waitFor;

class RadioStartup : public ::testing::Test {
protected:
    void SetUp() override {
        sim = sim::SimRadio::start();
        ASSERT_TRUE(sim);
        sim->scriptStartupReplies();
    }
    void TearDown() override {
        for (const auto& radio : radios) {
            radio->close();
        }
        test::mainQueueBarrier();
    }

    std::shared_ptr<RadioInstance> record() const {
        auto instance = std::make_shared<RadioInstance>();
        instance->name = "SimRadio";
        instance->model = sim->identity().model;
        instance->serialNum = sim->identity().serial;
        instance->ipAddress = "127.0.0.1";
        instance->supportsV3_API = true;
        return instance;
    }
    std::shared_ptr<Radio> connected(std::shared_ptr<RadioInstance> instance = nullptr,
                                     int logLevel = 0) {
        auto radio = Radio::create(instance ? instance : record(), "127.0.0.1", sim->commandPort(),
                                   delegate, "velmoraSDR", logLevel);
        EXPECT_TRUE(radio);
        if (!radio) {
            return nullptr;
        }
        radios.push_back(radio);
        EXPECT_TRUE(waitFor([&] { return delegate->saw(kStateConnected); }));
        EXPECT_TRUE(sim->waitForSessions(static_cast<int>(radios.size())));
        return radio;
    }
    // The commands of the latest session, from the first one that starts with `from`, without the
    // keep-alive's pings.
    std::vector<std::string> sentFrom(const std::string& from) const {
        std::vector<std::string> texts;
        for (const auto& command : sim->commands()) {
            if (command.session == sim->sessionCount() && command.text != "ping" &&
                (!texts.empty() || command.text.starts_with(from))) {
                texts.push_back(command.text);
            }
        }
        return texts;
    }

    std::unique_ptr<sim::SimRadio> sim;
    std::shared_ptr<StateRecorder> delegate = std::make_shared<StateRecorder>();
    std::vector<std::shared_ptr<Radio>> radios;
};

TEST_F(RadioStartup, SendsTheStartUpCommandsInOrderAndFillsTheIdentity) {
    const auto radio = connected();
    ASSERT_TRUE(sim->waitForCommand("profile mic info"));
    const auto manager = radio->vitaManager();
    ASSERT_TRUE(manager);
    EXPECT_GE(manager->vitaPort(), VitaManager::kLanStreamPort);
    const std::vector<std::string> expected{
        "client udpport " + std::to_string(manager->vitaPort()),
        "ping",
        "client program velmoraSDR",
        "keepalive enable",
        "sub client all",
        "sub tx all",
        "sub atu all",
        "sub amplifier all",
        "sub meter all",
        "sub slice all",
        "sub gps all",
        "sub audio_stream all",
        "sub cwx all",
        "sub xvtr all",
        "sub memories all",
        "sub daxiq all",
        "sub dax all",
        "sub usb_cable all",
        "sub tnf all",
        "sub spot all",
        "info",
        "version",
        "ant list",
        "mic list",
        "eq rx info",
        "eq tx info",
        "profile global info",
        "profile tx info",
        "profile mic info",
    };
    auto texts = sim->commandTexts();
    ASSERT_GE(texts.size(), expected.size());
    texts.resize(expected.size());  // the keep-alive's first tick follows with its own "ping"
    EXPECT_EQ(texts, expected);
    const auto commands = sim->commands();
    EXPECT_TRUE(std::all_of(commands.begin(), commands.end(),
                            [](const auto& c) { return c.seq.has_value(); }));

    const sim::RadioIdentity& id = sim->identity();
    ASSERT_TRUE(waitFor([&] { return radio->micList() == id.microphones; }));
    EXPECT_EQ(radio->radioModel(), id.model);
    EXPECT_EQ(radio->radioName(), id.nickname);
    EXPECT_EQ(radio->radioCallsign(), id.callsign);
    EXPECT_EQ(radio->radioScreenSaver(), id.screensaver);
    EXPECT_EQ(radio->atuPresent(), 1);
    EXPECT_EQ(radio->doroSdrVersion(), id.version);
    EXPECT_EQ(radio->psocMbtrxVersion(), id.psocMbtrxVersion);
    EXPECT_EQ(radio->psocMbPa100Version(), id.psocMbPa100Version);
    EXPECT_EQ(radio->fpgaMbVersion(), id.fpgaMbVersion);
    EXPECT_EQ(radio->antList(), id.antennas);

    // The announced port is where the radio's streams arrive.
    ASSERT_TRUE(sim->waitForStreamDestination());
    EXPECT_EQ(sim->streamDestination()->port, manager->vitaPort());
}

TEST_F(RadioStartup, GuiBindingWithTheSavedIdReachesStateFourAndSavesTheNewId) {
    const std::string key = "client_" + sim->identity().serial;
    Defaults::standard().set(key, "OLD-ID");
    const auto radio = connected();
    radio->connectAsGui(Defaults::standard().stringForKey(key));
    EXPECT_EQ(radio->isGui(), 1);
    ASSERT_TRUE(waitFor([&] { return delegate->saw(kStateConnectedAsGui); }));
    EXPECT_TRUE(sim->waitForCommand("client gui OLD-ID"));
    EXPECT_EQ(radio->radioConnectionState(), kStateConnectedAsGui);
    EXPECT_EQ(Defaults::standard().stringForKey(key), sim->identity().clientId);
    EXPECT_EQ(delegate->states,
              (std::vector<std::uint32_t>{kStateConnected, kStateConnectedAsGui}));
}

TEST_F(RadioStartup, RefusedGuiBindingReportsTooManyClients) {
    sim->replyPrefix("client gui", {"50000035", ""});
    const auto radio = connected();
    radio->connectAsGui(std::nullopt);
    ASSERT_TRUE(waitFor([&] { return delegate->saw(kStateTooManyGuiClients); }));
    EXPECT_TRUE(sim->waitForCommand("client gui"));
    EXPECT_EQ(radio->isGui(), 1) << "stays asked for";
}

TEST_F(RadioStartup, CommandsReachTheRadioWithTheirExactTexts) {
    const auto radio = connected();
    ASSERT_TRUE(sim->waitForCommand("profile mic info"));
    radio->globalProfiles.set(TextList{"Contest"});
    radio->txProfiles.set(TextList{"SSB"});

    radio->cmdBind("6F1B2C3D");
    radio->cmdSetRadioName("Shack Radio");
    radio->cmdSetStationName("");
    radio->cmdSetRadioCallSign("N0CALL");
    radio->cmdNewRemoteAudioRxStream("opus");
    radio->cmdNewRemoteAudioTxStream();
    radio->cmdRemoveRemoteAudioStream("0x04000008");
    radio->cmdSaveGlobalProfile("Contest*");
    radio->cmdNewTxProfile("SS\"B");
    radio->cmdSaveTxProfile("*SSB");
    radio->cmdNewMicProfile("Desk");
    radio->cmdSaveMicProfile("Desk");
    radio->cmdDeleteGlobalProfile("Contest");
    radio->cmdDeleteTxProfile("SSB");
    radio->cmdDeleteMicProfile("Desk");
    radio->disconnectClientByHandle(std::nullopt);
    radio->disconnectClientByHandle("");
    radio->disconnectClientByHandle("0x1234ABCD");
    radio->wanSetForwardedPorts(true, 4994, 4993);
    radio->wanSetForwardedPorts(false, 4994, 4993);
    radio->subscribe("pan all");
    const std::vector<std::string> expected{
        "client bind client_id=6F1B2C3D",
        "radio name Shack Radio",
        "client station ",
        "radio callsign N0CALL",
        "stream create type=remote_audio_rx compression=opus",
        "stream create type=remote_audio_tx",
        "stream remove 0x04000008",
        "profile global save \"Contest\"",
        "profile transmit create \"SS'B\"",
        "profile transmit save \"SSB\"",
        "profile mic created \"Desk\"",
        "profile mic save \"Desk\"",
        "profile global delete \"Contest\"",
        "profile transmit delete \"SSB\"",
        "profile mic delete \"Desk\"",
        "client disconnect",
        "client disconnect ",
        "client disconnect 0x1234ABCD",
        "wan set public_tls_port=4994 public_udp_port=4993",
        "wan set public_tls_port=-1 public_udp_port=-1",
        "sub pan all",
    };
    ASSERT_TRUE(sim->waitForCommand("sub pan all"));
    EXPECT_EQ(sentFrom("client bind"), expected);
}

TEST_F(RadioStartup, ProfileOperationsAnnounceOnTheMainQueue) {
    const auto radio = connected();
    ASSERT_TRUE(sim->waitForCommand("profile mic info"));
    radio->globalProfiles.set(TextList{"Contest"});
    // Main thread only. The operations' own announcements, posted as each call is made, and the
    // radio's answers ("Radio...": posted when a reply arrives, so they may fall between them).
    std::vector<std::pair<std::string, std::string>> seen;
    std::vector<std::string> answers;
    const auto token = NotificationCenter::defaultCenter().addObserver(
        "", nullptr, nullptr, [&](const Notification& n) {
            if (n.name.find("Profile") == std::string::npos || !isMainThread()) {
                return;
            }
            if (n.name.starts_with("Radio")) {
                answers.push_back(n.name);
            } else {
                seen.emplace_back(n.name, n.object
                                              ? *std::static_pointer_cast<std::string>(n.object)
                                              : std::string());
            }
        });
    radio->cmdSaveGlobalProfile("Field Day");
    radio->cmdSaveGlobalProfile("Con*test");
    radio->cmdSaveTxProfile("*SSB");
    radio->cmdDeleteMicProfile("Desk");
    // Loading twice sends twice; each reply posts its notification.
    radio->setCurrentTxProfile("SSB");
    radio->setCurrentTxProfile("SSB");
    EXPECT_EQ(radio->currentTxProfile(), "SSB");
    // The loads' answers come after the four announcements, which were queued on the main queue
    // before the loads were sent.
    ASSERT_TRUE(waitFor([&] {
        return std::count(answers.begin(), answers.end(), "RadioTransmitProfileLoaded") == 2;
    }));
    NotificationCenter::defaultCenter().removeObserver(token);
    const auto texts = sim->commandTexts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "profile transmit load \"SSB\""), 2);
    EXPECT_EQ(seen, (std::vector<std::pair<std::string, std::string>>{
                        {"GlobalProfileCreated", "Field Day"},
                        {"GlobalProfileUpdated", "Contest"},
                        {"TxProfileCreated", "SSB"},
                        {"MicProfileDeleted", "Desk"},
                    }));
}

TEST_F(RadioStartup, SetIsGuiAsksOnlyForATrueNumber) {
    const auto radio = connected();
    ASSERT_TRUE(sim->waitForCommand("profile mic info"));
    std::vector<Number> announced;
    radio->addObserver("isGui", [&](const Change& change) {
        announced.push_back(std::any_cast<Number>(change.newValue));
    });
    radio->setIsGui(0);
    radio->setIsGui(std::nullopt);
    EXPECT_FALSE(radio->isGui());
    EXPECT_TRUE(announced.empty());
    radio->setIsGui(1);
    EXPECT_EQ(radio->isGui(), 1);
    EXPECT_TRUE(sim->waitForCommand("client gui"));
    ASSERT_TRUE(waitFor([&] { return delegate->saw(kStateConnectedAsGui); }));
    const auto texts = sim->commandTexts();
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                            [](const auto& t) { return t.starts_with("client gui"); }),
              1);
}

}  // namespace
}  // namespace vm
