// The slice's status parser: each key to its property and kind, the order of announcements, the
// immediate first line, and what happens to malformed pairs.
#include "objects/Slice.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"
#include "support/StatusTableWalk.h"

#include "ObjectsTestSupport.h"

#include <gtest/gtest.h>

#include <map>

namespace vm {
namespace {

using namespace std::chrono_literals;
using test::KeyRecorder;
using test::LogCapture;
using test::show;

class SliceStatus : public ::testing::Test {
protected:
    void SetUp() override {
        radio = test::detachedRadio();
        slice = Slice::create(radio, 1);
    }
    // A later status line: stored and announced on the main queue.
    void parse(const std::string& pairs) {
        Scanner scan(pairs);
        slice->statusParserImmediate(scan, false);
        EXPECT_TRUE(scan.isAtEnd());
        test::mainQueueBarrier();
    }

    std::shared_ptr<Radio> radio;
    std::shared_ptr<Slice> slice;
};

struct StatusCase {
    const char* pairs;
    std::map<std::string, std::string> values;
    std::vector<std::string> announced;
};

TEST(SliceStatusTable, EveryKeyReachesItsProperty) {
    const auto radio = test::detachedRadio();
    test::walkStatusTable<Slice>(Slice::statusTable(), [&] { return Slice::create(radio, 1); });
}

TEST_F(SliceStatus, KeysFeedTheirPropertiesAndAnnounceInLineOrder) {
    const StatusCase cases[] = {
        {"RF_frequency=14.074000 mode=USB filter_lo=100 filter_hi=2900",
         {{"sliceFrequency", "14.074000"},
          {"sliceMode", "USB"},
          {"sliceFilterLo", "100"},
          {"sliceFilterHi", "2900"}},
         {"sliceFrequency", "sliceMode", "sliceFilterLo", "sliceFilterHi"}},
        {"step_list=10,50,100,250 step=100", {{"stepList", "10|50|100|250"}}, {"stepList"}},
        {"play=enabled", {{"slicePlaybackEnabled", "true"}}, {"slicePlaybackEnabled"}},
        {"play=1", {{"slicePlaybackEnabled", "true"}}, {"slicePlaybackEnabled"}},
        {"play=0", {{"slicePlaybackEnabled", "false"}}, {"slicePlaybackEnabled"}},
        {"play=disabled", {{"slicePlaybackEnabled", "false"}}, {"slicePlaybackEnabled"}},
        {"tx=1 nr=1 ghost=1",
         {{"sliceTxEnabled", "true"}, {"sliceNrEnabled", "1"}},
         {"sliceTxEnabled", "sliceNrEnabled"}},
        {"owner=abc client_handle=0x1234",
         {{"sliceOwner", "abc"}, {"clientHandle", "0x1234"}},
         {"sliceOwner", "clientHandle"}},
        {"audio_gain=40 audio_level=60",
         {{"sliceAudioLevel", "60"}},
         {"sliceAudioLevel", "sliceAudioLevel"}},
        {"rfgain=10 fm_tone_burst=1 diversity_child=2 diversity_index=1",
         {{"rfGain", "10"},
          {"fmToneBurstEnabled", "true"},
          {"sliceDiversityChild", "2"},
          {"sliceDiversityIndex", "1"}},
         {"rfGain", "fmToneBurstEnabled", "sliceDiversityChild", "sliceDiversityIndex"}},
        {"fm_tone_value=88.5 fm_repeater_offset_freq=0.600000 tx_offset_freq=x record_time=12.5",
         {{"fmToneFreq", "88.5"},
          {"fmRepeaterOffset", "0.6"},
          {"txOffsetFreq", "0"},
          {"sliceQRlength", "12.5"}},
         {"fmToneFreq", "fmRepeaterOffset", "txOffsetFreq", "sliceQRlength"}},
        {"in_use=1 wide=0 detached=1 nr2=1 index_letter=B sample_rate=24000",
         {{"sliceInUse", "true"},
          {"sliceWide", "false"},
          {"detached", "1"},
          {"sliceNr2Enabled", "1"},
          {"indexLetter", "B"},
          {"sliceSampleRate", "24000"}},
         {"sliceInUse", "sliceWide", "detached", "sliceNr2Enabled", "indexLetter",
          "sliceSampleRate"}},
        {"in_use=0", {{"sliceInUse", "false"}}, {"sliceInUse"}},
        // A value that runs to the next blank keeps a line feed; one that stops at line ends does
        // not.
        {"mode=USB\n", {{"sliceMode", "USB\n"}}, {"sliceMode"}},
        {"owner=abc\n", {{"sliceOwner", "abc"}}, {"sliceOwner"}},
        // Missing values store the empty value of their kind.
        {"mode= filter_lo= ant_list= lock",
         {{"sliceMode", ""}, {"sliceFilterLo", "0"}, {"antList", ""}, {"sliceLocked", "false"}},
         {"sliceMode", "sliceFilterLo", "antList", "sliceLocked"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pairs);
        SetUp();
        KeyRecorder recorder(*slice);
        parse(c.pairs);
        for (const auto& [key, value] : c.values) {
            EXPECT_EQ(show(*slice, key), value) << key;
        }
        EXPECT_EQ(recorder.keys(), c.announced);
        EXPECT_TRUE(recorder.allOnMain());
    }
}

TEST_F(SliceStatus, UnrecognizedKeysAreLoggedAndSkipped) {
    struct Case {
        const char* pairs;
        std::vector<std::string> logged;
        std::vector<std::string> announced;
    };
    const Case cases[] = {
        {"foo=bar lock=1",
         {"Slice:statusParser:Unrecognized token:[foo] stringVal:[bar]"},
         {"sliceLocked"}},
        {"=5", {"Slice:statusParser:Unrecognized token:[] stringVal:[5]"}, {}},
        // The rest of a number is read as the start of the next key.
        {"filter_lo=10.5 mode=USB",
         {"Slice:statusParser:Unrecognized token:[.5 mode] stringVal:[USB]"},
         {"sliceFilterLo"}},
        {"tx=1a lock=1",
         {"Slice:statusParser:Unrecognized token:[a lock] stringVal:[1]"},
         {"sliceTxEnabled"}},
        {"nothing", {"Slice:statusParser:Unrecognized token:[nothing] stringVal:[]"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pairs);
        SetUp();
        KeyRecorder recorder(*slice);
        LogCapture capture;
        parse(c.pairs);
        EXPECT_EQ(test::loggedLines(capture), c.logged);
        EXPECT_EQ(recorder.keys(), c.announced);
    }
    EXPECT_EQ(show(*slice, "sliceFilterLo"), "nil");
}

TEST_F(SliceStatus, FirstLineIsReadableAtOnceAndAnnouncedLater) {
    KeyRecorder recorder(*slice);
    Scanner scan("RF_frequency=7.074000 mode=DIGU pan=0x40000000 client_handle=0x2DE0B1A5");
    slice->statusParserImmediate(scan, true);
    EXPECT_EQ(slice->sliceFrequency(), "7.074000");
    EXPECT_EQ(slice->panForSlice(), "0x40000000");
    EXPECT_EQ(slice->clientHandle(), "0x2DE0B1A5");
    EXPECT_TRUE(recorder.keys().empty());
    ASSERT_TRUE(test::waitFor([&] { return recorder.keys().size() == 4; }));
    EXPECT_EQ(recorder.keys(), (std::vector<std::string>{"sliceFrequency", "sliceMode",
                                                         "panForSlice", "clientHandle"}));
    EXPECT_TRUE(recorder.allOnMain());
}

// The first line's announcements come 1 ms late; a later line or the user may have stored a newer
// value by then, and the first line's value must not come back.
TEST_F(SliceStatus, FirstLineNeverOverwritesANewerValue) {
    KeyRecorder recorder(*slice);
    Scanner first("mode=USB filter_lo=100");
    slice->statusParserImmediate(first, true);
    Scanner later("mode=LSB");
    slice->statusParserImmediate(later, false);
    slice->setSliceFilterLo(300);
    ASSERT_TRUE(test::waitFor(
        [&] { return recorder.count("sliceMode") == 2 && recorder.count("sliceFilterLo") == 2; }));
    test::mainQueueBarrier();
    EXPECT_EQ(slice->sliceMode(), "LSB");
    EXPECT_EQ(slice->sliceFilterLo(), 300);
}

TEST_F(SliceStatus, TheSelfStatusFormOnlyLogs) {
    LogCapture capture;
    Scanner scan("mode=USB");
    slice->statusParserSelfStatus(scan, true);
    EXPECT_EQ(scan.location(), 0u);
    EXPECT_EQ(capture.lines(),
              std::vector<std::string>{"Slice statusParser use updateWithNotifyImmediate"});
    test::mainQueueBarrier();
    EXPECT_FALSE(slice->sliceMode());
}

TEST_F(SliceStatus, ANewSliceHasOnlyItsFilterSwitchesOff) {
    const std::map<std::string, std::string> set{{"sliceNrEnabled", "0"},
                                                 {"sliceNr2Enabled", "0"},
                                                 {"sliceAnfEnabled", "0"},
                                                 {"sliceApfEnabled", "0"}};
    const std::vector<std::string> fixed{"debugLogLevel", "sliceRunQueue", "meters",
                                         "thisSliceNumber", "statusSliceTokens"};
    for (const std::string& key : slice->propertyNames()) {
        if (std::find(fixed.begin(), fixed.end(), key) != fixed.end()) {
            continue;
        }
        const auto found = set.find(key);
        EXPECT_EQ(show(*slice, key), found == set.end() ? "nil" : found->second) << key;
    }
    EXPECT_EQ(slice->thisSliceNumber(), 1);
    EXPECT_EQ(slice->sliceRunQueue()->label(), "com.velmorasoftware.vmsdr.sliceQueue-1");
    EXPECT_EQ(slice->statusSliceTokens(), &Slice::statusTable().tokens());
}

}  // namespace
}  // namespace vm
