// The session's side of panadapters and waterfalls, on a session that does not connect: display
// status lines make, feed, pair and drop them, the create reply makes a pair, ids are compared as
// numbers, and the stream router finds both by stream id.
#include "attach/RadioObjects.h"
#include "display/DisplayRoutes.h"
#include "display/Panafall.h"
#include "display/Waterfall.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"
#include "support/sim/SimLines.h"

#include "DisplayTestSupport.h"
#include "objects/ObjectsTestSupport.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using test::LogCapture;
using test::NotificationRecorder;

constexpr std::uint32_t kPan = 0x40000000;
constexpr std::uint32_t kWaterfall = 0x42000000;
const std::string kHandle = "2DE0B1A5";
const std::string kOurs = "client_handle=0x2DE0B1A5";
const std::string kTheirs = "client_handle=0x11111111";

class DisplayRoutes : public ::testing::Test {
protected:
    void start(bool multiClient) {
        auto instance = std::make_shared<RadioInstance>();
        instance->supportsMultiDoro = multiClient;
        radio = Radio::createDetached(instance, {}, "velmoraSDR", 2, attachRadioObjects);
        radio->parseRadioStream("H" + kHandle);
    }
    void SetUp() override { start(true); }
    void status(const std::string& text) {
        radio->parseRadioStream(sim::statusLine(kHandle, text));
    }
    std::shared_ptr<Panafall> pan(const std::string& id) {
        return radio->panafalls()->with([&](const auto& all) {
            const auto found = all.find(id);
            return found == all.end() ? nullptr : found->second;
        });
    }
    std::shared_ptr<Waterfall> waterfall(const std::string& id) {
        return radio->waterfalls()->with([&](const auto& all) {
            const auto found = all.find(id);
            return found == all.end() ? nullptr : found->second;
        });
    }

    NotificationRecorder notes{{"PanafallCreated", "PanafallDeleted"}};
    std::shared_ptr<Radio> radio;
};

TEST_F(DisplayRoutes, APanAndItsWaterfallArePairedAndAnnouncedOnce) {
    LogCapture capture;
    status(sim::panStatus(kPan, "center=14.100000 waterfall=0x42000000 " + kOurs));
    const auto created = pan("0x40000000");
    ASSERT_TRUE(created);
    EXPECT_FLOAT_EQ(created->center().value_or(0), 14.1f) << "the first line is read at once";
    status(sim::panStatus(kPan, "center=14.200000"));
    EXPECT_EQ(pan("0x40000000"), created);
    test::mainQueueBarrier();
    EXPECT_TRUE(notes.seen().empty()) << "announced once its waterfall is there";

    status(sim::waterfallStatus(kWaterfall, "line_duration=100 " + kOurs));
    status(sim::waterfallStatus(kWaterfall, "line_duration=90"));
    test::mainQueueBarrier();
    const auto paired = waterfall("0x42000000");
    ASSERT_TRUE(paired);
    EXPECT_EQ(created->waterfall(), paired);
    EXPECT_EQ(paired->panafall(), created);
    EXPECT_EQ(paired->panadaptorId(), "0x40000000");
    EXPECT_EQ(paired->lineDuration(), 90);
    EXPECT_EQ(notes.names(), std::vector<std::string>{"PanafallCreated"});
    EXPECT_EQ(notes.seen()[0].object, created);
    EXPECT_TRUE(capture.contains("parseDisplayToken:new pan stream:0x40000000 client:0x2DE0B1A5"));
    EXPECT_TRUE(capture.contains("parseDisplayToken:new waterfall stream:0x42000000"));

    // The stream router finds both by number.
    EXPECT_EQ(radio->streamTables().panafalls.find(kPan), created);
    EXPECT_EQ(radio->streamTables().waterfalls.find(kWaterfall), paired);
}

TEST_F(DisplayRoutes, AnotherClientsPanIsKeptButNotAnnounced) {
    LogCapture capture;
    status(sim::panStatus(kPan, "waterfall=0x42000000 " + kTheirs));
    status(sim::waterfallStatus(kWaterfall, "line_duration=100"));
    test::mainQueueBarrier();
    ASSERT_TRUE(pan("0x40000000"));
    EXPECT_EQ(pan("0x40000000")->waterfall(), waterfall("0x42000000"));
    EXPECT_TRUE(notes.seen().empty());
    EXPECT_TRUE(capture.contains(
        "parseDisplayToken: waterfall notification not sent,  0x42000000, not one of ours"));
}

TEST_F(DisplayRoutes, OnARadioWithOneClientEveryPanIsOurs) {
    start(false);
    status(sim::panStatus(kPan, "waterfall=0x42000000 " + kTheirs));
    status(sim::waterfallStatus(kWaterfall, "line_duration=100"));
    test::mainQueueBarrier();
    EXPECT_EQ(notes.names(), std::vector<std::string>{"PanafallCreated"});
}

// A radio that writes ids in another form still feeds the same objects.
TEST_F(DisplayRoutes, IdsAreComparedAsNumbers) {
    status("display pan 4000000a waterfall=4200000b " + kOurs);
    status("display waterfall 0x4200000B line_duration=100");
    status("display pan 0x4000000A center=7.100000");
    test::mainQueueBarrier();
    const auto created = pan("0x4000000A");
    ASSERT_TRUE(created);
    EXPECT_EQ(radio->panafalls()->with([](const auto& all) { return all.size(); }), 1u);
    EXPECT_EQ(created->waterfall(), waterfall("0x4200000B"));
    EXPECT_FLOAT_EQ(created->center().value_or(0), 7.1f);
    EXPECT_EQ(radio->streamTables().panafalls.find(0x4000000A), created);
    EXPECT_EQ(notes.names(), std::vector<std::string>{"PanafallCreated"});
}

TEST_F(DisplayRoutes, ARemovedPanTakesItsWaterfallAlong) {
    status(sim::panStatus(kPan, "waterfall=0x42000000 " + kTheirs));
    status(sim::waterfallStatus(kWaterfall, "line_duration=100"));
    const auto removed = pan("0x40000000");
    const auto view = std::make_shared<test::RecordingPanView>();
    removed->setDelegate(view);

    LogCapture capture;
    status(sim::displayRemovedStatus("pan", kPan));
    test::mainQueueBarrier();
    EXPECT_EQ(notes.names(), std::vector<std::string>{"PanafallDeleted"})
        << "posted for another client's pan too";
    EXPECT_EQ(notes.seen()[0].object, removed);
    EXPECT_FALSE(pan("0x40000000"));
    EXPECT_FALSE(waterfall("0x42000000"));
    EXPECT_FALSE(removed->delegate());
    EXPECT_FALSE(radio->streamTables().panafalls.find(kPan));
    EXPECT_FALSE(radio->streamTables().waterfalls.find(kWaterfall));
    EXPECT_EQ(capture.lines(),
              (std::vector<std::string>{
                  "parseDisplayToken:removing pan stream:0x40000000 client:0x11111111",
                  "parseDisplayToken:removing waterfall stream:0x42000000 pan:0x40000000"}));

    // A waterfall alone is removed without a notification; "removed" anywhere in a line counts.
    status(sim::waterfallStatus(0x42000001, "line_duration=1"));
    status(sim::waterfallStatus(0x42000001, "note=removed"));
    status(sim::displayRemovedStatus("pan", 0x4FFFFFFF));  // unknown: nothing
    test::mainQueueBarrier();
    EXPECT_FALSE(waterfall("0x42000001"));
    EXPECT_EQ(notes.seen().size(), 1u);
}

TEST_F(DisplayRoutes, TheCreateReplyMakesAnAnnouncedPair) {
    LogCapture capture;
    radio->panafallCreateCallback("R12|0|0x40000000,42000000");
    test::mainQueueBarrier();
    const auto created = pan("0x40000000");
    ASSERT_TRUE(created);
    EXPECT_EQ(created->waterfall(), waterfall("0x42000000"));
    EXPECT_EQ(created->waterfallId(), "0x42000000");
    EXPECT_EQ(notes.names(), std::vector<std::string>{"PanafallCreated"});
    auto logged = capture.lines();
    std::erase_if(logged, [](const std::string& line) { return line.starts_with("Radio:->"); });
    EXPECT_EQ(logged, (std::vector<std::string>{"panafallCreateCallback:adding pan 0x40000000",
                                                "panafallCreateCallback:adding wat 0x42000000"}));

    // The same ids again replace both and announce again; errors and bad data create nothing.
    radio->panafallCreateCallback("R13|0|0x40000000,0x42000000");
    radio->panafallCreateCallback("R14|50000016|");
    radio->panafallCreateCallback("R15|0|0x40000001");
    test::mainQueueBarrier();
    EXPECT_NE(pan("0x40000000"), created);
    EXPECT_EQ(notes.seen().size(), 2u);
    EXPECT_TRUE(capture.contains("panafallCreateCallback:errorNumAsString:[50000016]"));
    EXPECT_FALSE(pan("0x40000001"));
}

}  // namespace
}  // namespace vm
