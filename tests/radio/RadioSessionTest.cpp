// The radio session against the simulated radio on loopback: connection states, the command
// channel's numbering and reply routing, line dispatch through the socket, the keep-alive (with
// the dispatch clock moved forward) and closing.
#include "platform/core/DispatchClock.h"
#include "platform/core/NotificationCenter.h"
#include "radio/Radio.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"
#include "support/sim/SimRadio.h"

#include "RadioTestSupport.h"
#include "SimSessionFixture.h"
#include "support/LoopbackPort.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>

namespace vm {
namespace {

using namespace std::chrono_literals;
using test::LogCapture;
using test::ReplyRecorder;
using test::StateRecorder;
using test::waitFor;

class RadioSession : public ::testing::Test {
protected:
    void SetUp() override {
        sim = sim::SimRadio::start();
        ASSERT_TRUE(sim);
    }
    void TearDown() override {
        for (const auto& radio : radios) {
            radio->close();
        }
        test::mainQueueBarrier();
    }

    std::shared_ptr<Radio> connect(const std::shared_ptr<StateRecorder>& to, int logLevel = 0) {
        auto instance = std::make_shared<RadioInstance>();
        instance->name = "SimRadio";
        instance->model = sim->identity().model;
        instance->serialNum = sim->identity().serial;
        auto radio =
            Radio::create(instance, "127.0.0.1", sim->commandPort(), to, "velmoraSDR", logLevel);
        if (radio) {
            radios.push_back(radio);
        }
        return radio;
    }
    std::shared_ptr<Radio> connected(int logLevel = 0) { return connected(delegate, logLevel); }
    std::shared_ptr<Radio> connected(const std::shared_ptr<StateRecorder>& to, int logLevel = 0) {
        auto radio = connect(to, logLevel);
        EXPECT_TRUE(radio);
        EXPECT_TRUE(waitFor([&] { return to->saw(kStateConnected); }));
        // Lines the test sends go to the latest session the radio has accepted.
        EXPECT_TRUE(sim->waitForSessions(static_cast<int>(radios.size())));
        return radio;
    }
    std::size_t pings() const {
        const auto texts = sim->commandTexts();
        return static_cast<std::size_t>(std::count(texts.begin(), texts.end(), "ping"));
    }

    std::unique_ptr<sim::SimRadio> sim;
    std::shared_ptr<StateRecorder> delegate = std::make_shared<StateRecorder>();
    std::vector<std::shared_ptr<Radio>> radios;
};

TEST_F(RadioSession, ConnectsThenReportsThePeerClosing) {
    const auto radio = connected();
    EXPECT_EQ(delegate->states, std::vector<std::uint32_t>{kStateConnected});
    EXPECT_EQ(delegate->from.front(), radio);
    ASSERT_TRUE(sim->waitForCommand("ping"));
    ASSERT_TRUE(sim->closeSession());
    ASSERT_TRUE(waitFor([&] { return delegate->saw(kStateDisconnectedByPeer); }));
    EXPECT_EQ(delegate->states,
              (std::vector<std::uint32_t>{kStateConnected, kStateDisconnectedByPeer}));
    EXPECT_EQ(radio->radioConnectionState(), kStateDisconnectedByPeer);
}

TEST_F(RadioSession, RefusedConnectionReportsConnectFailed) {
    LogCapture capture;
    auto instance = std::make_shared<RadioInstance>();
    const auto radio =
        Radio::create(instance, "127.0.0.1", test::unusedLoopbackPort(), delegate, "velmoraSDR", 0);
    ASSERT_TRUE(radio);
    radios.push_back(radio);
    ASSERT_TRUE(waitFor([&] { return delegate->saw(kStateConnectFailed); }));
    EXPECT_EQ(delegate->states, std::vector<std::uint32_t>{kStateConnectFailed});
    EXPECT_TRUE(capture.contains("Radio:socketDidDisconnect:err.code:"));
}

TEST_F(RadioSession, ConnectionThatCannotStartGivesNoRadio) {
    LogCapture capture;
    auto instance = std::make_shared<RadioInstance>();
    instance->name = "Nowhere";
    EXPECT_FALSE(Radio::create(instance, "", 4992, delegate, "velmoraSDR", 0));
    EXPECT_TRUE(capture.contains("Radio:Error connecting to [Nowhere] ip:[] port:[4992] error:["));
    test::mainQueueBarrier();
    EXPECT_TRUE(delegate->states.empty());
}

TEST_F(RadioSession, SequenceNumbersRunOnAcrossSessions) {
    const auto first = connected();
    first->commandToRadio("radio uptime");  // not among the start-up commands
    ASSERT_TRUE(sim->waitForCommand("radio uptime"));
    first->close();
    ASSERT_TRUE(waitFor([&] { return delegate->saw(kStateDisconnected); }));

    const auto second = connected(std::make_shared<StateRecorder>());
    second->commandToRadio("radio temperature");
    ASSERT_TRUE(sim->waitForCommand("radio temperature"));
    const auto commands = sim->commands();
    ASSERT_GE(commands.size(), 4u);
    EXPECT_EQ(commands.front().session, 1);
    EXPECT_EQ(commands.back().session, 2);
    for (std::size_t i = 1; i < commands.size(); ++i) {
        ASSERT_TRUE(commands[i].seq && commands[i - 1].seq);
        EXPECT_EQ(*commands[i].seq, *commands[i - 1].seq + 1) << commands[i].text;
    }
}

TEST_F(RadioSession, ReplyReachesItsReceiverOnceAndStrayRepliesAreDropped) {
    const auto radio = connected();
    sim->reply("info", {"0", "model=\"DORO-6700\""});
    const auto receiver = std::make_shared<ReplyRecorder>();
    const auto seq = radio->commandToRadio("info", receiver);
    ASSERT_TRUE(seq);
    const std::string reply = "R" + std::to_string(*seq) + "|0|model=\"DORO-6700\"";
    ASSERT_TRUE(waitFor([&] { return !receiver->received().empty(); }));

    LogCapture capture;
    sim->sendLine(reply);             // the same reply again
    sim->sendLine("R4000000000|0|");  // nobody waits for this one
    sim->sendLine("V2.0.0.0");  // lines are parsed in order: when this one is in, so are the others
    ASSERT_TRUE(waitFor([&] { return radio->apiVersion() == "V2.0.0.0"; }));
    EXPECT_EQ(receiver->received(),
              (std::vector<std::pair<std::uint32_t, std::string>>{{*seq, reply}}));
    EXPECT_EQ(test::loggedLines(capture),
              std::vector<std::string>{"Radio:parseVersionType:[V2.0.0.0]"});
}

TEST_F(RadioSession, EveryKindOfLineIsDispatched) {
    LogCapture capture;
    const auto radio = connected();
    // The greeting's V and H lines.
    ASSERT_TRUE(waitFor([&] {
        return radio->apiVersion() == "V" + sim->identity().protocolVersion && radio->apiHandle();
    }));
    EXPECT_EQ(radio->apiHandle(), sim->identity().handle);
    EXPECT_EQ(radio->clientHandle(), "0x" + sim->identity().handle);

    sim->sendStatus("mixer lineout_gain=50");
    sim->sendStatus("spot index=1 rx_freq=14.100000");
    sim->sendStatusFrom("1234ABCD", "weather temp=20");
    sim->sendLine("Q no such line");
    sim->sendMessage("31000002", "Overtemperature");
    const std::string handle = sim->identity().handle;
    const std::vector<std::string> expected{
        "Radio:parseStatusType:Unrecognized token:[spot] payload:[S" + handle +
            "|spot index=1 rx_freq=14.100000]",
        "Radio:parseStatusType:Unrecognized token:[weather] payload:[S1234ABCD|weather temp=20]",
        "Radio:parseRadioStream:Unrecognized message type from radio - Q no such line",
        "Radio:parseMessageType:severity:[1] [Overtemperature]",
    };
    ASSERT_TRUE(waitFor([&] { return capture.contains("Overtemperature"); }));
    auto lines = test::loggedLines(capture);
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [](const std::string& l) { return !l.starts_with("Radio:parse"); }),
                lines.end());
    lines.erase(lines.begin());  // the version line
    EXPECT_EQ(lines, expected);
}

TEST_F(RadioSession, DebugLevelTwoLogsTrafficExceptPingsAndPlainReplies) {
    LogCapture capture;
    sim->reply("version", {"0", "FPGA-MB=2.15"});
    const auto radio = connected(2);
    const auto info = radio->commandToRadio("info", std::make_shared<ReplyRecorder>());
    const auto version = radio->commandToRadio("version", std::make_shared<ReplyRecorder>());
    ASSERT_TRUE(waitFor([&] {
        return capture.contains("Radio:<-R" + std::to_string(*version) + "|0|FPGA-MB=2.15");
    }));
    test::queueBarrier(radio->radioRunQueue());
    EXPECT_TRUE(capture.contains("Radio:->c" + std::to_string(*info) + "|info"));
    EXPECT_TRUE(capture.contains("Radio:<-V" + sim->identity().protocolVersion));
    EXPECT_FALSE(capture.contains("Radio:<-R" + std::to_string(*info) + "|"));
    EXPECT_FALSE(capture.contains("|ping"));
}

TEST_F(RadioSession, SilentRadioIsWarnedAboutThenTimedOut) {
    sim->reply("ping", sim::SimReply::none());
    LogCapture capture;
    const auto radio = connected();
    // The start-up ping and the first tick: a new session is not late yet.
    ASSERT_TRUE(waitFor([&] { return pings() == 2; }));
    test::queueBarrier(radio->radioRunQueue());
    EXPECT_FALSE(capture.contains("Radio:pingTimerFired"));

    DispatchClock::advance(6s);
    ASSERT_TRUE(waitFor(
        [&] { return capture.contains("Radio:pingTimerFired:Warning: SimRadio last seen 6."); }));
    ASSERT_TRUE(waitFor([&] { return pings() == 3; })) << "a late tick still pings";
    EXPECT_EQ(delegate->states, std::vector<std::uint32_t>{kStateConnected});

    DispatchClock::advance(25s);
    ASSERT_TRUE(waitFor([&] { return delegate->saw(kStateTimedOut); }));
    EXPECT_TRUE(capture.contains("Radio:pingTimerFired:Timeout: SimRadio last seen 31."));
    EXPECT_TRUE(
        capture.contains("seconds ago, sending radioTimedOut radio connection state change"));
    const std::size_t pinged = pings();
    test::advanceBarrier(radio->radioRunQueue(), 5s);
    test::commandBarrier(*radio, *sim);
    EXPECT_EQ(pings(), pinged) << "no tick after the time-out";
    EXPECT_EQ(delegate->states, (std::vector<std::uint32_t>{kStateConnected, kStateTimedOut}));
    EXPECT_TRUE(sim->sessionOpen()) << "the connection stays open";
    EXPECT_FALSE(radio->pingTimer());
}

TEST_F(RadioSession, AnsweredPingsKeepTheSessionAlive) {
    std::atomic<int> pinged{0};
    const auto token = NotificationCenter::defaultCenter().addObserver(
        "com.velmorasoftware.doro.remote_radio_vita_pinged",
        [&](const Notification&) { ++pinged; });
    LogCapture capture;
    const auto radio = connected();
    for (int i = 0; i < 10; ++i) {  // 40 s in all
        DispatchClock::advance(4s);
        const auto movedTo = DispatchClock::now();
        ASSERT_TRUE(waitFor([&] { return radio->lastPingRxtime() >= movedTo; })) << i;
    }
    EXPECT_TRUE(waitFor([&] { return pinged.load() >= 10; })) << "one notification per reply";
    NotificationCenter::defaultCenter().removeObserver(token);
    EXPECT_FALSE(capture.contains("Radio:pingTimerFired"));
    EXPECT_EQ(delegate->states, std::vector<std::uint32_t>{kStateConnected});
}

TEST_F(RadioSession, OverlongLineEndsTheSessionAsAnError) {
    const auto radio = connected();
    sim->sendRaw(std::string(Radio::kMaxLineLength + 1, 'x'));
    ASSERT_TRUE(waitFor([&] { return delegate->saw(kStateConnectFailed); }));
}

TEST_F(RadioSession, CloseTellsTheDelegateAndHearsNothingMore) {
    const auto radio = connected();
    ASSERT_TRUE(sim->waitForCommand("ping"));
    radio->close();
    ASSERT_TRUE(waitFor([&] { return delegate->saw(kStateDisconnected); }));
    ASSERT_TRUE(waitFor([&] { return !sim->sessionOpen(); }));
    EXPECT_EQ(radio->radioConnectionState(), kStateDisconnected);
    EXPECT_FALSE(radio->pingTimer());
    radio->slices()->with([](const auto& slots) {
        EXPECT_EQ(slots.size(), 8u);
        EXPECT_TRUE(std::all_of(slots.begin(), slots.end(), [](const auto& s) { return !s; }));
    });
    const std::size_t sent = sim->commands().size();
    radio->commandToRadio("info");
    test::advanceBarrier(radio->radioRunQueue(), 3s);
    // What was written before the close reached the radio before the connection ended.
    ASSERT_TRUE(waitFor([&] { return !sim->sessionOpen(); }));
    EXPECT_EQ(sim->commands().size(), sent) << "nothing is sent after close";
    EXPECT_EQ(delegate->states, (std::vector<std::uint32_t>{kStateConnected, kStateDisconnected}));
}

// Lines still arriving while the session closes are either parsed before the teardown or not at
// all (ThreadSanitizer watches the rest).
TEST_F(RadioSession, CloseWhileLinesArrive) {
    LogCapture capture;
    const auto radio = connected();
    for (int i = 0; i < 500; ++i) {
        sim->sendStatus("slice " + std::to_string(i % 8) + " in_use=1");
        sim->sendStatus("spot index=" + std::to_string(i));
        sim->sendLine("V" + std::to_string(i));
    }
    ASSERT_TRUE(waitFor([&] { return capture.contains("Unrecognized token"); }));
    radio->close();
    const std::size_t parsed = test::loggedLines(capture).size();
    test::queueBarrier(radio->radioRunQueue());
    EXPECT_EQ(test::loggedLines(capture).size(), parsed) << "a line was parsed after close";
}

TEST_F(RadioSession, ClosingAnOldSessionLeavesTheNewOneAlone) {
    const auto oldRadio = connected();
    const auto newDelegate = std::make_shared<StateRecorder>();
    const auto newRadio = connected(newDelegate);
    ASSERT_TRUE(sim->waitForSessions(2));
    oldRadio->close();
    ASSERT_TRUE(waitFor([&] { return delegate->saw(kStateDisconnected); }));
    sim->sendLine("V3.0.0.0");  // to the latest session, the new one
    ASSERT_TRUE(waitFor([&] { return newRadio->apiVersion() == "V3.0.0.0"; }));
    EXPECT_EQ(newRadio->radioConnectionState(), kStateConnected);
    EXPECT_EQ(newDelegate->states, std::vector<std::uint32_t>{kStateConnected});
    newRadio->commandToRadio("radio uptime");  // not among the start-up commands
    const auto info = sim->waitForCommand("radio uptime");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->session, 2);
}

TEST_F(RadioSession, CommandSetterSendsItsCommandFromTheSessionQueue) {
    const auto radio = connected();
    radio->setAndSend(radio->txState, Number(1), "xmit 1");
    EXPECT_EQ(radio->txState(), 1);
    EXPECT_TRUE(sim->waitForCommand("xmit 1"));
}

}  // namespace
}  // namespace vm
