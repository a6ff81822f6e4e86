// The radio-wide status readers on a session without a connection: lines are parsed on the
// session's queue, as the socket would deliver them, and the main queue is drained by the test.
#include "platform/core/TextValues.h"
#include "radio/Amplifier.h"
#include "radio/CommandText.h"
#include "radio/Radio.h"
#include "radio/RadioStatusTables.h"
#include "support/LogCapture.h"
#include "support/StatusTableWalk.h"

#include "RadioTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vm {
namespace {

using test::LogCapture;
using test::waitFor;

class RadioStatus : public ::testing::Test {
protected:
    // Parses the line on the session's queue and returns once it is read (not yet stored).
    void parse(const std::string& line) {
        radio->radioRunQueue()->sync([&] { radio->parseRadioStream(line); });
    }
    // Parses the line and lets the main queue run its stores.
    void apply(const std::string& line) {
        parse(line);
        test::mainQueueBarrier();
    }
    std::vector<std::string> unrecognized(const LogCapture& capture) const {
        auto lines = test::loggedLines(capture);
        std::erase_if(lines, [](const std::string& l) {
            return l.find("Unrecognized") == std::string::npos;
        });
        return lines;
    }

    std::shared_ptr<Radio> radio = Radio::createDetached(nullptr, {}, "velmoraSDR", 0);
};

TEST(RadioStatusTables, EveryKeyReachesItsProperty) {
    const StatusTable<Radio>* tables[] = {&radioStatusTable(),    &oscillatorStatusTable(),
                                          &transmitStatusTable(), &interlockStatusTable(),
                                          &atuStatusTable(),      &wanStatusTable()};
    for (const StatusTable<Radio>* table : tables) {
        test::walkStatusTable<Radio>(
            *table, [] { return Radio::createDetached(nullptr, {}, "velmoraSDR", 0); });
    }
}

TEST_F(RadioStatus, UnknownKeysAreLoggedByEachReaderAndTheRestOfTheLineIsRead) {
    struct Case {
        std::string line;
        std::string logged;
    };
    const Case cases[] = {
        {"S1|radio bogus=7 slices=3",
         "Radio:parseRadioToken:Unrecognized token:[bogus] scan:[1|radio bogus=7 slices=3]"},
        {"S1|transmit mic_level=33 bogus=x7 micLevel=1",
         "Radio:parseTransmitToken:Unrecognized token:[bogus] intVal:[33] stringVal:[x7]"},
        {"S1|interlock bogus=on tx_delay=3",
         "Radio:parseInterlockToken:Unrecognized token:[bogus] value:[on]"},
        {"S1|atu bogus=1 using_mem=1", "Radio:parseAtuToken:Unrecognized token:[bogus]"},
        {"S1|wan bogus=1 enabled=1", "Radio:parseWanToken:Unrecognized token:[bogus]"},
        {"S1|amplifier 0x11 bogus=1 ant=ANT2",
         "Radio:parseAmplifierStatusToken:Unrecognized token:[bogus]"},
    };
    for (const auto& c : cases) {
        LogCapture capture;
        apply(c.line);
        auto lines = unrecognized(capture);
        ASSERT_FALSE(lines.empty()) << c.line;
        EXPECT_EQ(lines.front(), c.logged);
    }
    EXPECT_EQ(radio->availableSlices(), 3);
    EXPECT_EQ(radio->txDelay(), 3);
    EXPECT_EQ(radio->atuUsingMemories(), 1);
    EXPECT_EQ(radio->wan_enabled(), 1);
    EXPECT_EQ(radio->amplifier()->antenna(), "ANT2");
}

TEST_F(RadioStatus, ValuesThatAreNotNumbersStoreZeroAndKeepTheNextKeyIntact) {
    LogCapture capture;
    apply("S1|radio slices=abc panadapters=3");
    apply("S1|transmit rfpower=x50 mic_level=12");
    apply("S1|interlock timeout=soon tx_delay=7");
    EXPECT_EQ(radio->availableSlices(), 0);
    EXPECT_EQ(radio->availablePanadapters(), 3);
    EXPECT_EQ(radio->rfPowerLevel(), 0);
    EXPECT_EQ(radio->micLevel(), 12);
    EXPECT_EQ(radio->interlockTimeoutValue(), 0);
    EXPECT_EQ(radio->txDelay(), 7);
    EXPECT_TRUE(unrecognized(capture).empty());
}

TEST_F(RadioStatus, StoredFormsOfTheValueKinds) {
    apply("S1|radio front_speaker_mute=2 headphone_mute=2 tnf_enabled=0 pll_done=1 cal_freq=15.5");
    EXPECT_EQ(radio->frontSpeakerMute(), 2);  // the integer itself
    EXPECT_EQ(radio->masterHeadsetMute(), 1);
    EXPECT_EQ(radio->tnfEnabled(), 0);
    apply("S1|transmit iambic=3 iambic_mode=0");
    EXPECT_EQ(radio->cwIambicEnabled(), 3);
    EXPECT_EQ(radio->cwIambicMode(), "A");
    apply("S1|transmit iambic_mode=1");
    EXPECT_EQ(radio->cwIambicMode(), "B");
    apply("S1|interlock state=READY tx_allowed=0");
    EXPECT_EQ(radio->interlockState(), 2);
    EXPECT_EQ(radio->txAllowed(), 0);
    apply("S1|interlock state=WARMING_UP");
    EXPECT_EQ(radio->interlockState(), Number());
    // WAN flags read the text: leading zeros and sign skipped, then 1 to 9, Y or T.
    const std::pair<const char*, int> wanFlags[] = {{"1", 1},   {"0", 0},    {"007", 1}, {"-00", 0},
                                                    {"Yes", 1}, {"true", 1}, {"no", 0},  {"", 0}};
    for (const auto& [text, flag] : wanFlags) {
        apply(std::string("S1|wan server_connected=") + text + " enabled=" + text);
        EXPECT_EQ(radio->server_connected(), flag) << text;
        EXPECT_EQ(radio->wan_enabled(), textIntValue(text)) << text;
    }
    // Both spellings of the ATU memories key.
    apply("S1|atu memories_enabled=1");
    EXPECT_EQ(radio->atuMemoriesEnabled(), 1);
    apply("S1|atu atu memories_enabled=0");
    EXPECT_EQ(radio->atuMemoriesEnabled(), 0);
    // Both spellings of the AM carrier key, and both VOX keys.
    apply("S1|transmit am_carrler_level=7 vox_enable=1");
    EXPECT_EQ(radio->amCarrierLevel(), 7);
    EXPECT_EQ(radio->voxEnabled(), 1);
    apply("S1|transmit am_carrier_level=8 vox=0");
    EXPECT_EQ(radio->amCarrierLevel(), 8);
    EXPECT_EQ(radio->voxEnabled(), 0);
}

TEST_F(RadioStatus, PowerReportsAreDroppedWhileTuning) {
    apply("S1|transmit rfpower=80 tunepower=10");
    apply("S1|transmit tune=1");
    apply("S1|transmit rfpower=50 tunepower=20");
    EXPECT_EQ(radio->rfPowerLevel(), 80);
    EXPECT_EQ(radio->tunePowerLevel(), 10);
    apply("S1|transmit tune=0");
    apply("S1|transmit rfpower=50 tunepower=20");
    EXPECT_EQ(radio->rfPowerLevel(), 50);
    EXPECT_EQ(radio->tunePowerLevel(), 20);
}

TEST_F(RadioStatus, OscillatorReportKeepsNothingAndSpotActionEndsTheLine) {
    LogCapture capture;
    apply(
        "S1|radio callsign=state oscillator state=gpsdo setting=auto locked=1 ext_present=0 "
        "gpsdo_present=1 "
        "tcxo_present=1");
    EXPECT_EQ(radio->radioCallsign(), "state");
    EXPECT_TRUE(unrecognized(capture).empty());
    apply("S1|radio spot_action=remove slices=2");
    EXPECT_EQ(radio->availableSlices(), Number());
}

// The ATU status word is set at once on the session's queue and its observers hear of it there.
TEST_F(RadioStatus, AtuStatusIsSetOnTheSessionsQueue) {
    std::vector<std::string> heard;
    radio->addObserver("atuStatus", [&](const Change& change) {
        EXPECT_TRUE(radio->radioRunQueue()->isCurrent());
        const auto value = std::any_cast<Number>(change.newValue);
        heard.push_back(value ? std::to_string(*value) : "-");
    });
    parse("S1|atu status=TUNE_SUCCESSFUL");
    EXPECT_EQ(radio->atuStatus(), 4);
    parse("S1|atu status=TUNE_WOBBLY");
    EXPECT_EQ(radio->atuStatus(), Number());
    EXPECT_EQ(heard, (std::vector<std::string>{"4", "-"}));
}

TEST_F(RadioStatus, CurrentGlobalProfileIsInPlaceAtOnceOthersAfterTheMainQueue) {
    std::vector<std::string> heard;
    for (const char* key : {"currentGlobalProfile", "currentTxProfile"}) {
        radio->addObserver(key, [&, key](const Change& change) {
            EXPECT_TRUE(isMainThread());
            heard.push_back(std::string(key) + "=" +
                            std::any_cast<Text>(change.newValue).value_or("-"));
        });
    }
    parse("S1|profile global current=Contest Setup");
    parse("S1|profile tx current=Low Power");
    EXPECT_EQ(radio->currentGlobalProfile(), "Contest Setup");
    EXPECT_EQ(radio->currentTxProfile(), Text());
    EXPECT_TRUE(heard.empty());
    ASSERT_TRUE(waitFor([&] { return heard.size() == 2; }));
    EXPECT_EQ(radio->currentTxProfile(), "Low Power");
    EXPECT_EQ(heard, (std::vector<std::string>{"currentGlobalProfile=Contest Setup",
                                               "currentTxProfile=Low Power"}));
}

TEST_F(RadioStatus, ProfileListsAndIgnoredProfileLines) {
    LogCapture capture;
    apply("S1|profile global list=Default^Contest^");
    apply("S1|profile mic list=A^B");
    apply("S1|profile tx list=Only One^");
    EXPECT_EQ(radio->globalProfiles(), (TextList{"Default", "Contest"}));
    EXPECT_EQ(radio->micProfiles(), TextList{"A"});
    EXPECT_EQ(radio->txProfiles(), TextList{"Only One"});
    apply("S1|profile global list=");
    EXPECT_EQ(radio->globalProfiles(), TextList{});
    apply("S1|profile display list=X^");
    apply("S1|profile tx favourite=X");
    EXPECT_EQ(radio->txProfiles(), TextList{"Only One"});
    EXPECT_TRUE(test::loggedLines(capture).empty());
}

TEST_F(RadioStatus, AmplifierRecordIsMadeOnceAndUpdatedByLaterLines) {
    EXPECT_FALSE(radio->amplifier());
    parse("S1|amplifier 0x11");
    const auto record = radio->amplifier();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->handle(), "0x11");
    EXPECT_EQ(record->model(), "");
    parse("S1|amplifier 0x11 model=PGXL state=OPERATE");
    parse("S1|amplifier 0x22");  // a second amplifier overwrites the one record
    EXPECT_EQ(radio->amplifier(), record);
    EXPECT_EQ(record->handle(), "0x22");
    EXPECT_EQ(record->model(), "PGXL");
    EXPECT_EQ(record->state(), "OPERATE");
    ASSERT_TRUE(waitFor([&] { return radio->amplifierState() == "OPERATE"; }));
}

TEST(CommandText, LineBreaksNulAndQuotesNeverReachTheCommandLine) {
    struct Case {
        std::string text;
        std::string field;
        std::string quoted;
    };
    const Case cases[] = {
        {"CQ TEST", "CQ TEST", "\"CQ TEST\""},      {"a\r\nb", "a b", "\"a b\""},
        {"a\n\nb\r", "a  b ", "\"a  b \""},         {std::string("a\0b", 3), "ab", "\"ab\""},
        {"say \"hi\"", "say 'hi'", "\"say 'hi'\""}, {"", "", "\"\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(commandField(c.text), c.field);
        EXPECT_EQ(quotedCommandField(c.text), c.quoted);
    }
}

TEST(TextValues, IntegersAndFlagsFromText) {
    const std::pair<const char*, int> integers[] = {{"42", 42},
                                                    {"-100", -100},
                                                    {" +7x", 7},
                                                    {"x7", 0},
                                                    {"", 0},
                                                    {"99999999999", 2147483647},
                                                    {"-99999999999", -2147483647 - 1}};
    for (const auto& [text, value] : integers) {
        EXPECT_EQ(textIntValue(text), value) << text;
    }
}

}  // namespace
}  // namespace vm
