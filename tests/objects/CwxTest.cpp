// The CW text keyer: its commands as the simulated radio receives them, its status lines, and the
// reply to a macro send.
#include "attach/RadioObjects.h"
#include "objects/Cwx.h"
#include "radio/Radio.h"
#include "support/LogCapture.h"
#include "support/sim/SimRadio.h"

#include "radio/RadioTestSupport.h"
#include "radio/SimSessionFixture.h"

#include <gtest/gtest.h>

#include <mutex>

namespace vm {
namespace {

using namespace std::chrono_literals;
using test::LogCapture;
using test::waitFor;

struct KeyerEvents : CWXMessageEventHandler, CWXCharSentEventHandler, CWXEraseSentEventHandler {
    void messageQueued(int block, int bufferIndex) override {
        add("queued " + std::to_string(block) + " " + std::to_string(bufferIndex));
    }
    void charSent(int index) override { add("sent " + std::to_string(index)); }
    void eraseSent(int start, int stop) override {
        add("erase " + std::to_string(start) + " " + std::to_string(stop));
    }

    void add(std::string event) {
        std::lock_guard lock(mutex);
        events.push_back(std::move(event));
    }
    std::vector<std::string> heard() const {
        std::lock_guard lock(mutex);
        return events;
    }
    mutable std::mutex mutex;
    std::vector<std::string> events;
};

std::shared_ptr<KeyerEvents> listenTo(Cwx& keyer) {
    auto events = std::make_shared<KeyerEvents>();
    keyer.messageQueuedEventDelegate.set(events);
    keyer.charSentEventDelegate.set(events);
    keyer.eraseSentEventDelegate.set(events);
    return events;
}

class CwxSession : public test::SimSessionFixture {
protected:
    CwxSession() { attach = attachRadioObjects; }
    void SetUp() override {
        SimSessionFixture::SetUp();
        keyer = radio->cwx();
        ASSERT_TRUE(keyer);
    }

    std::shared_ptr<Cwx> keyer;
};

TEST_F(CwxSession, SettingsAreLimitedStoredAndQueued) {
    keyer->setSpeed(3);
    EXPECT_EQ(keyer->speed(), 5);
    keyer->setSpeed(150);
    EXPECT_EQ(keyer->speed(), 100);
    keyer->setDelay(-10);
    EXPECT_EQ(keyer->delay(), 0);
    keyer->setDelay(2500);
    EXPECT_EQ(keyer->delay(), 2000);
    EXPECT_TRUE(keyer->setMacro(0, "CQ TEST"));
    EXPECT_TRUE(keyer->setMacro(11, "say \"73\"\r\nbye"));
    EXPECT_FALSE(keyer->setMacro(12, "never"));
    std::string macro;
    EXPECT_TRUE(keyer->getMacro(0, &macro));
    EXPECT_EQ(macro, "CQ TEST");
    EXPECT_FALSE(keyer->getMacro(12, &macro));
    EXPECT_EQ(macro, "");

    const std::vector<std::string> expected{
        "cwx wpm 5",
        "cwx wpm 100",
        "cwx delay 0",
        "cwx delay 2000",
        "cwx macro save 1 \"CQ TEST\"",
        "cwx macro save 12 \"say '73' bye\"",
    };
    ASSERT_TRUE(waitForReceived(expected.size()));
    keyer->cwxRunQueue()->sync([] {});
    test::commandBarrier(*radio, *sim);
    EXPECT_EQ(received(), expected);
}

TEST_F(CwxSession, TextAndMacroCommandsAreSentAtOnce) {
    const auto events = listenTo(*keyer);
    sim->reply("cwx macro send 12", {"0", "3,7"});
    const auto seq = keyer->sendMacro(11);
    ASSERT_TRUE(seq);
    EXPECT_FALSE(keyer->sendMacro(12));
    keyer->send("CQ \"DE\" K1ABC\n");
    keyer->send("TEST", 4);
    keyer->erase(3);
    keyer->clearBuffer();
    const std::vector<std::string> expected{
        "cwx macro send 12", "cwx send \"CQ 'DE' K1ABC \"", "cwx send \"TEST\" 4", "cwx erase 3",
        "cwx clear",
    };
    ASSERT_TRUE(waitForReceived(expected.size()));
    EXPECT_EQ(received(), expected);
    const auto sent = sim->waitForCommand("cwx macro send 12");
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->seq, seq);
    ASSERT_TRUE(waitFor([&] { return !events->heard().empty(); }));
    EXPECT_EQ(events->heard(), std::vector<std::string>{"queued 7 3"});
}

TEST_F(CwxSession, ReleasedRadioTakesNoKeyerCommands) {
    radio->close();
    ASSERT_TRUE(waitFor([&] { return delegate->saw(kStateDisconnected); }));
    const std::weak_ptr<Radio> weak = release();
    ASSERT_TRUE(waitFor([&] { return weak.expired(); }));
    keyer->setSpeed(20);
    keyer->send("CQ");
    EXPECT_FALSE(keyer->sendMacro(0));
    keyer->cwxRunQueue()->sync([] {});
    // What the session wrote reached the radio before its connection ended.
    ASSERT_TRUE(waitFor([&] { return !sim->sessionOpen(); }));
    EXPECT_EQ(received(), std::vector<std::string>{});
}

class CwxStatus : public ::testing::Test {
protected:
    void parse(const std::string& text) {
        radio->radioRunQueue()->sync([&] { radio->parseRadioStream("S1|cwx " + text); });
        bool done = false;
        DispatchQueue::main()->async([&] { done = true; });
        ASSERT_TRUE(waitFor([&] { return done; }));
    }

    std::shared_ptr<Radio> radio =
        Radio::createDetached(nullptr, {}, "velmoraSDR", 0, attachRadioObjects);
    std::shared_ptr<Cwx> keyer = radio->cwx();
};

TEST_F(CwxStatus, SettingsAndMacrosFromTheRadio) {
    int macroAnnouncements = 0;
    keyer->addObserver("macros", [&](const Change&) {
        EXPECT_TRUE(isMainThread());
        ++macroAnnouncements;
    });
    LogCapture capture;
    parse(
        "wpm=22 break_in_delay=40 qsk_enabled=257 macro3=\"CQ CQ DE X=Y\" macro4=A*B macro13=x "
        "macro0=x");
    EXPECT_EQ(keyer->speed(), 22);
    EXPECT_EQ(keyer->delay(), 40);
    EXPECT_EQ(keyer->qsk_enabled(), 1);  // cut to 8 bits
    const auto macros = keyer->macros();
    ASSERT_EQ(macros.size(), Cwx::kMacroCount);
    EXPECT_EQ(macros[2], "CQ CQ DE X=Y");
    EXPECT_EQ(macros[3], "A=B");
    EXPECT_EQ(macroAnnouncements, 2);
    EXPECT_TRUE(test::loggedLines(capture).empty());
    radio->radioRunQueue()->sync([] {});
    EXPECT_TRUE(
        std::all_of(macros.begin() + 4, macros.end(), [](const auto& m) { return m.empty(); }));

    parse("macro=x bogus=1");
    EXPECT_EQ(test::loggedLines(capture),
              (std::vector<std::string>{"cwx:statusParser:Unrecognized k:[macro] k:[x]",
                                        "cwx:statusParser:Unrecognized k:[bogus] k:[1]"}));
}

TEST_F(CwxStatus, SentAndEraseEventsAndAnEraseThatEndsTheLine) {
    const auto events = listenTo(*keyer);
    parse("sent=7 erase=5,9 sent=8");
    parse("erase=5 sent=9 wpm=30");
    EXPECT_EQ(events->heard(), (std::vector<std::string>{"sent 7", "erase 5 9", "sent 8"}));
    EXPECT_NE(keyer->speed(), 30);
}

TEST_F(CwxStatus, OnlyASuccessfulReplyWithTwoPartsQueuesAMessage) {
    const auto events = listenTo(*keyer);
    const std::string replies[] = {"R17|0|2,5", "R18|E2000000|2,5", "R19|50000015|2,5", "R20|0|2",
                                   "R21|0|1,2,3"};
    for (const auto& reply : replies) {
        keyer->radioCommandResponse(0, reply);
    }
    EXPECT_EQ(events->heard(), std::vector<std::string>{"queued 5 2"});
}

}  // namespace
}  // namespace vm
