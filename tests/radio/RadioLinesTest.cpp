// The line dispatch and the command channel's tables, on a session without a connection: lines are
// handed to parseRadioStream() directly, as the session's queue would.
#include "radio/Radio.h"
#include "support/LogCapture.h"

#include "RadioTestSupport.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vm {
namespace {

using test::LogCapture;
using test::ReplyRecorder;
using test::waitFor;

std::shared_ptr<Radio> detachedRadio(int logLevel = 0) {
    return Radio::createDetached(nullptr, {}, "velmoraSDR", logLevel);
}

TEST(RadioLines, LinesAreDispatchedByTheirFirstCharacterAndStatusType) {
    struct Case {
        std::string line;
        std::string logged;  // empty: nothing is logged
    };
    const Case cases[] = {
        {"X123", "Radio:parseRadioStream:Unrecognized message type from radio - X123"},
        {"", "Radio:parseRadioStream:Unrecognized message type from radio - "},
        {"s1|radio slices=4",
         "Radio:parseRadioStream:Unrecognized message type from radio - s1|radio slices=4"},
        {"S2DE0B1A5|bogus a=1",
         "Radio:parseStatusType:Unrecognized token:[bogus] payload:[S2DE0B1A5|bogus a=1]"},
        {"S1|Slice 0 in_use=1",
         "Radio:parseStatusType:Unrecognized token:[Slice] payload:[S1|Slice 0 in_use=1]"},
        {"S1|", "Radio:parseStatusType:Unrecognized token:[] payload:[S1|]"},
        {"S1|mixer lineout=1", ""},
        {"S1|gps lat=1.0", ""},
        {"S1|waveform installed_list=", ""},
        // Types whose parsers come with their objects are dropped as unknown ones are, until the
        // objects are attached to the session.
        {"S1|spot index=1",
         "Radio:parseStatusType:Unrecognized token:[spot] payload:[S1|spot index=1]"},
        {"S1|slice 0 in_use=1",
         "Radio:parseStatusType:Unrecognized token:[slice] payload:[S1|slice 0 in_use=1]"},
        {"S1|cwx wpm=20", "Radio:parseStatusType:Unrecognized token:[cwx] payload:[S1|cwx wpm=20]"},
        {"S1|tranmsit rfpower=50", ""},
        {"S1|interlock band 7 acc_txreq_enable=1", ""},
        {"S1|transmit band 7 rfpower=50", ""},
        {"M10000001|Client connected", "Radio:parseMessageType:severity:[0] [Client connected]"},
        {"M31000002|Overtemperature", "Radio:parseMessageType:severity:[1] [Overtemperature]"},
        {"M0A000000|x|y", "Radio:parseMessageType:severity:[2] [x|y]"},
        {"M|", "Radio:parseMessageType:severity:[0] []"},
        {"V1.4.0.0", "Radio:parseVersionType:[V1.4.0.0]"},
        {"R77|0|", ""},  // a reply nobody waits for
    };
    const auto radio = detachedRadio();
    for (const auto& c : cases) {
        LogCapture capture;
        radio->parseRadioStream(c.line);
        const auto lines = test::loggedLines(capture);
        if (c.logged.empty()) {
            EXPECT_TRUE(lines.empty()) << c.line << " logged " << lines.front();
        } else {
            EXPECT_EQ(lines, std::vector<std::string>{c.logged}) << c.line;
        }
    }
}

// An object type attached to a session: its status lines, from just after the type word, with
// whether this client sent them; and its step when the session closes.
std::vector<std::string> displayLines;
void readDisplayLine(Radio& /*radio*/, Scanner& scan, bool selfStatus) {
    displayLines.push_back(std::string(scan.remainder()) + (selfStatus ? " (own)" : ""));
}
void attachDisplays(Radio& radio) {
    radio.routeStatus(kStatusDisplay, readDisplayLine);
    radio.whenClosing([](Radio& closing) {
        EXPECT_TRUE(closing.radioRunQueue()->isCurrent());
        displayLines.push_back("closed");
    });
}

TEST(RadioLines, AttachedObjectsGetTheirLinesAndTheirClosingStep) {
    displayLines.clear();
    const auto radio = Radio::createDetached(nullptr, {}, "velmoraSDR", 0, attachDisplays);
    radio->parseRadioStream("S2DE0B1A5|display pan 0x40000000 center=14.100000");
    radio->parseRadioStream("H2DE0B1A5");
    radio->parseRadioStream("S2DE0B1A5|display pan 0x40000000 fps=25");
    radio->parseRadioStream("S11111111|display waterfall 0x42000000 line_duration=100");
    radio->close();
    EXPECT_EQ(displayLines, (std::vector<std::string>{
                                "pan 0x40000000 center=14.100000",
                                "pan 0x40000000 fps=25 (own)",
                                "waterfall 0x42000000 line_duration=100",
                                "closed",
                            }));
    LogCapture capture;
    detachedRadio()->parseRadioStream("S1|display pan 0x40000000 fps=25");
    EXPECT_TRUE(capture.contains("Radio:parseStatusType:Unrecognized token:[display]"));
}

TEST(RadioLines, HandleLineIsInPlaceAtOnceAndAnnouncedOnTheMainQueue) {
    const auto radio = detachedRadio();
    std::vector<std::string> heard;
    for (const char* key : {"apiHandle", "clientHandle"}) {
        radio->addObserver(key, [&, key](const Change& change) {
            EXPECT_TRUE(isMainThread());
            heard.push_back(std::string(key) + "=" +
                            std::any_cast<Text>(change.newValue).value_or("-"));
        });
    }
    std::thread queue([&] { radio->parseRadioStream("H2DE0B1A5"); });
    queue.join();
    EXPECT_EQ(radio->apiHandle(), "2DE0B1A5");
    EXPECT_EQ(radio->clientHandle(), "0x2DE0B1A5");
    ASSERT_TRUE(waitFor([&] { return heard.size() == 2; }));
    EXPECT_EQ(heard, (std::vector<std::string>{"apiHandle=2DE0B1A5", "clientHandle=0x2DE0B1A5"}));
}

TEST(RadioLines, HandleLineIsLoggedAtDebugLevelTwo) {
    for (const int level : {1, 2}) {
        LogCapture capture;
        detachedRadio(level)->parseRadioStream("H2DE0B1A5");
        EXPECT_EQ(capture.contains("Radio:parseHandleType:apiHandle:[2DE0B1A5]"), level == 2);
        EXPECT_EQ(capture.contains("Radio:parseHandleType:clientHandle:[0x2DE0B1A5]"), level == 2);
    }
}

TEST(RadioLines, VersionLineIsStoredWholeAndAnnouncedForEveryLine) {
    const auto radio = detachedRadio();
    std::vector<Text> heard;
    radio->addObserver("apiVersion", [&](const Change& change) {
        heard.push_back(std::any_cast<Text>(change.newValue));
    });
    EXPECT_EQ(radio->apiVersion(), std::nullopt);
    radio->parseRadioStream("V1.4.0.0");
    radio->parseRadioStream("V1.4.0.0");
    ASSERT_TRUE(waitFor([&] { return heard.size() == 2; }));
    EXPECT_EQ(heard, (std::vector<Text>{"V1.4.0.0", "V1.4.0.0"}));
}

TEST(RadioLines, ReplyReachesItsReceiverOnceWithTheWholeLine) {
    const auto radio = detachedRadio();
    const auto receiver = std::make_shared<ReplyRecorder>();
    const auto seq = radio->commandToRadio("info", receiver);
    ASSERT_TRUE(seq);
    const std::string reply = "R" + std::to_string(*seq) + "|0|model=\"DORO-6700\"";
    radio->parseRadioStream(reply);
    radio->parseRadioStream(reply);
    EXPECT_EQ(receiver->received(),
              (std::vector<std::pair<std::uint32_t, std::string>>{{*seq, reply}}));
    EXPECT_TRUE(radio->notifyList()->with([](const auto& t) { return t.empty(); }));
}

TEST(RadioLines, ReplyWhoseReceiverIsGoneIsConsumed) {
    const auto radio = detachedRadio();
    auto receiver = std::make_shared<ReplyRecorder>();
    const auto seq = radio->commandToRadio("display pan rfgain_info 0x40000000", receiver);
    receiver.reset();
    LogCapture capture;
    radio->parseRadioStream("R" + std::to_string(*seq) + "|0|0,8,16");
    EXPECT_TRUE(radio->notifyList()->with([](const auto& t) { return t.empty(); }));
    EXPECT_TRUE(test::loggedLines(capture).empty());
}

TEST(RadioLines, RadioCallbackGetsTheReplyWhateverItsCode) {
    const auto radio = detachedRadio();
    const auto seq = radio->commandToRadio("ping", &Radio::pingResponseCallback);
    ASSERT_TRUE(seq);
    EXPECT_EQ(radio->lastPingRxtime(), std::nullopt);
    radio->parseRadioStream("R" + std::to_string(*seq) + "|50000015|");
    EXPECT_TRUE(radio->lastPingRxtime().has_value());
    EXPECT_TRUE(radio->responseCallbacks()->with([](const auto& t) { return t.empty(); }));
    EXPECT_TRUE(radio->notifyList()->with([](const auto& t) { return t.empty(); }));
}

TEST(RadioLines, RadioAsReceiverWithoutCallbackLogsThePendingKeys) {
    const auto radio = detachedRadio();
    const auto waiting = radio->commandToRadio("ant list", std::make_shared<ReplyRecorder>());
    const auto callback = radio->commandToRadio("ping", &Radio::pingResponseCallback);
    const auto seq = radio->commandToRadio("version", std::weak_ptr<RadioDelegate>(radio));
    LogCapture capture;
    radio->parseRadioStream("R" + std::to_string(*seq) + "|0|");
    // The key of the reply being handled is no longer listed; the other two still wait.
    auto lines = test::loggedLines(capture);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0],
              fmt::format("Radio:radioCommandResponse: selector NULL - seqNum = {}  key = {}", *seq,
                          *seq));
    EXPECT_EQ(std::set<std::string>(lines.begin() + 1, lines.end()),
              (std::set<std::string>{fmt::format("Radio:  Callback key: {}", *callback),
                                     fmt::format("Radio:  Waiting key: {}", *callback),
                                     fmt::format("Radio:  Waiting key: {}", *waiting)}));
}

TEST(RadioCommands, SequenceNumbersAreProcessWideAndConsecutive) {
    const auto first = detachedRadio();
    const auto a = first->commandToRadio("info", std::make_shared<ReplyRecorder>());
    const auto b = first->commandToRadio("version", &Radio::pingResponseCallback);
    const auto second = detachedRadio();
    const auto c = second->commandToRadio("info", std::make_shared<ReplyRecorder>());
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(*b, *a + 1);
    EXPECT_EQ(*c, *b + 1);
}

TEST(RadioCommands, CommandsThatWouldInjectALineAreRefused) {
    const auto radio = detachedRadio();
    const auto before = radio->commandToRadio("info", std::make_shared<ReplyRecorder>());
    const std::pair<std::string, std::string> cases[] = {
        {"slice tune 0 14.1\nradio reboot", "slice tune 0 14.1\\nradio reboot"},
        {"info\r", "info\\r"},
        {std::string("info\0x", 6), "info\\0x"},
    };
    for (const auto& [command, shown] : cases) {
        LogCapture capture;
        EXPECT_FALSE(radio->commandToRadio(command, std::make_shared<ReplyRecorder>()));
        EXPECT_FALSE(radio->commandToRadio(command, &Radio::pingResponseCallback));
        radio->commandToRadio(command);
        EXPECT_EQ(test::loggedLines(capture).size(), 3u);
        EXPECT_TRUE(capture.contains(
            "Radio:commandToRadio:Refused command containing CR, LF or NUL:[" + shown + "]"));
    }
    const auto after = radio->commandToRadio("info", std::make_shared<ReplyRecorder>());
    EXPECT_EQ(*after, *before + 1) << "a refused command takes no number";
    EXPECT_EQ(radio->notifyList()->with([](const auto& t) { return t.size(); }), 2u);
}

TEST(RadioCommands, CommandsAreLoggedAtDebugLevelTwoExceptPing) {
    for (const int level : {1, 2}) {
        const auto radio = detachedRadio(level);
        LogCapture capture;
        const auto seq = radio->commandToRadio("info", std::make_shared<ReplyRecorder>());
        radio->commandToRadio("ping");
        const auto lines = test::loggedLines(capture);
        if (level == 2) {
            EXPECT_EQ(lines, std::vector<std::string>{fmt::format("Radio:->c{}|info", *seq)});
        } else {
            EXPECT_TRUE(lines.empty());
        }
    }
}

TEST(RadioLines, ReceivedBytesBecomeOneLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"S1|radio slices=4\n", "S1|radio slices=4"},
        {std::string("\0\0R5|0|\n", 8), "R5|0|"},
        {"V1.4\nH12\n", "V1.4"},
        {"no line feed", "no line feed"},
        {"\xff\xfeS1|radio\n", ""},
        {std::string("\0\0\0", 3), ""},
        {"", ""},
        {"\xc3\xa9t\xc3\xa9\n", "\xc3\xa9t\xc3\xa9"},
    };
    for (const auto& [data, line] : cases) {
        EXPECT_EQ(Radio::lineFromData(data), line);
    }
}

TEST(RadioStreamIds, AnyWrittenFormBecomesTheCanonicalKey) {
    const std::pair<const char*, const char*> cases[] = {
        {"40000000", "0x40000000"},  {"0x40000000", "0x40000000"}, {"#40000000", "0x40000000"},
        {"a", "0x0000000A"},         {"0X4000000a", "0x4000000A"}, {"##0x1f", "0x0000001F"},
        {"1fz9", "0x0000001F"},      {"zz", "0x00000000"},         {"", "0x00000000"},
        {"123456789", "0xFFFFFFFF"}, {"ffffffff", "0xFFFFFFFF"},
    };
    for (const auto& [text, key] : cases) {
        EXPECT_EQ(Radio::reformatStreamId(text), key) << text;
    }
    EXPECT_EQ(Radio::intFromHexString("#0x40000000"), 0x40000000u);
    EXPECT_EQ(Radio::hexStringFormatFromInt(0x2a), "0x0000002A");
}

}  // namespace
}  // namespace vm
