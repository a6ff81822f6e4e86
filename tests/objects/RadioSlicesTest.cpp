// The Radio's handling of "slice" and "meter" status lines: slices made, fed and dropped in their
// slots, this client's slices announced, meters filed by number and short name and given to their
// slices. Lines are fed straight to a session that does not connect.
#include "objects/Meter.h"
#include "objects/ObjectRoutes.h"
#include "objects/Slice.h"
#include "platform/core/DispatchClock.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"
#include "support/sim/SimLines.h"

#include "ObjectsTestSupport.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using namespace std::chrono_literals;
using test::LogCapture;
using test::NotificationRecorder;

class SliceRouting : public ::testing::Test {
protected:
    void SetUp() override {
        radio = test::detachedRadio();
        radio->parseRadioStream("H2DE0B1A5");
    }
    void status(const std::string& text) {
        radio->parseRadioStream(sim::statusLine("2DE0B1A5", text));
    }
    std::shared_ptr<Slice> slot(std::size_t n) {
        return radio->slices()->with([&](const auto& slots) { return slots[n]; });
    }
    std::shared_ptr<Meter> meter(const std::string& number) {
        return radio->meters()->with([&](const auto& byNumber) {
            const auto found = byNumber.find(number);
            return found == byNumber.end() ? nullptr : found->second;
        });
    }
    std::shared_ptr<Meter> meterNamed(const std::string& name) {
        return radio->metersByShortName()->with([&](const auto& byName) {
            const auto found = byName.find(name);
            return found == byName.end() ? nullptr : found->second;
        });
    }
    static std::shared_ptr<Meter> sliceMeter(const Slice& slice, const std::string& name) {
        return slice.meters()->with([&](const auto& byName) {
            const auto found = byName.find(name);
            return found == byName.end() ? nullptr : found->second;
        });
    }
    // Lets the delayed announcements that fall due within `time` run.
    void passTime(DispatchClock::duration time) {
        test::advanceBarrier(DispatchQueue::main(), time);
    }
    // The session is a GUI client on a radio with several GUI clients: slices are compared by
    // handle.
    void multiClient() {
        auto instance = std::make_shared<RadioInstance>(*radio->radioInstance());
        instance->supportsMultiDoro = true;
        radio->radioInstance.store(instance);
        radio->isGui.store(1);
    }

    std::shared_ptr<Radio> radio;
};

TEST_F(SliceRouting, ASliceLivesFromInUseToNotInUse) {
    NotificationRecorder notes({"SliceCreated", "SliceDeleted"});
    status(sim::meterStatus({.number = 4, .sliceNum = 2, .name = "LEVEL"}));
    status(sim::meterStatus({.number = 5, .sliceNum = 1, .name = "LEVEL"}));

    status(sim::sliceStatus(2, "in_use=1 RF_frequency=14.074000 mode=USB"));
    const auto slice = slot(2);
    ASSERT_TRUE(slice);
    EXPECT_EQ(slice->thisSliceNumber(), 2);
    EXPECT_EQ(slice->sliceFrequency(), "14.074000");
    EXPECT_EQ(sliceMeter(*slice, "LEVEL"), meter("4"));

    // "SliceCreated" comes 100 ms later, on the main queue.
    DispatchQueue::drainMain();
    EXPECT_TRUE(notes.seen().empty());
    DispatchClock::advance(100ms);
    ASSERT_TRUE(test::waitFor([&] { return !notes.seen().empty(); }));
    ASSERT_EQ(notes.names(), std::vector<std::string>{"SliceCreated"});
    EXPECT_EQ(notes.seen()[0].object, slice);

    // Later lines, also one that says in_use=1 again, go to the slice's parser.
    status(sim::sliceStatus(2, "in_use=1 mode=LSB"));
    ASSERT_TRUE(test::waitFor([&] { return slice->sliceMode() == "LSB"; }));
    EXPECT_EQ(slot(2), slice);

    // in_use=0 drops the slice without parsing the line.
    status(sim::sliceStatus(2, "in_use=0 mode=CW"));
    EXPECT_FALSE(slot(2));
    ASSERT_TRUE(test::waitFor([&] { return notes.seen().size() == 2; }));
    EXPECT_EQ(notes.names(), (std::vector<std::string>{"SliceCreated", "SliceDeleted"}));
    EXPECT_EQ(notes.seen()[1].object, slice);
    test::queueBarrier(slice->sliceRunQueue());
    EXPECT_EQ(slice->sliceMode(), "LSB");
    EXPECT_EQ(slice->sliceInUse(), true);

    // A slot reported in use again gets a new slice.
    status(sim::sliceStatus(2, "in_use=1"));
    ASSERT_TRUE(slot(2));
    EXPECT_NE(slot(2), slice);
}

TEST_F(SliceRouting, LinesThatMakeNoSlice) {
    LogCapture capture;
    status(sim::sliceStatus(3, "mode=USB"));
    status(sim::sliceStatus(3, "in_use=0"));
    status(sim::sliceStatus(8, "in_use=1"));
    status(sim::sliceStatus(-1, "in_use=1"));
    status("slice x in_use=1");
    status("slice 99999999999999999999 in_use=1");
    for (std::size_t n = 0; n < kSliceSlots; ++n) {
        EXPECT_FALSE(slot(n)) << n;
    }
    EXPECT_EQ(test::loggedLines(capture),
              (std::vector<std::string>{
                  "Radio:parseSliceToken:slice number out of range:[2DE0B1A5|slice 8 in_use=1]",
                  "Radio:parseSliceToken:slice number out of range:[2DE0B1A5|slice -1 in_use=1]",
                  "Radio:parseSliceToken:slice number out of range:[2DE0B1A5|slice x in_use=1]",
                  "Radio:parseSliceToken:slice number out of range:[2DE0B1A5|slice "
                  "99999999999999999999 in_use=1]",
              }));
}

// A slice that comes and goes within the 100 ms before its announcement is never announced as
// created after observers heard that it was deleted.
TEST_F(SliceRouting, ASliceGoneBeforeItsAnnouncementIsNotAnnouncedAsCreated) {
    NotificationRecorder notes({"SliceCreated", "SliceDeleted"});
    status(sim::sliceStatus(0, "in_use=1"));
    const auto first = slot(0);
    status(sim::sliceStatus(0, "in_use=0"));
    status(sim::sliceStatus(0, "in_use=1"));
    const auto second = slot(0);
    passTime(100ms);
    ASSERT_TRUE(test::waitFor([&] { return notes.seen().size() >= 2; }));
    ASSERT_EQ(notes.names(), (std::vector<std::string>{"SliceDeleted", "SliceCreated"}));
    EXPECT_EQ(notes.seen()[0].object, first);
    EXPECT_EQ(notes.seen()[1].object, second);

    status(sim::sliceStatus(1, "in_use=1"));
    radio->close();
    passTime(100ms);
    EXPECT_EQ(notes.seen().size(), 2u);
}

// A deletion notice empties the slot only while the slot holds that very slice.
TEST_F(SliceRouting, ASliceDeletionNoticeEmptiesOnlyItsOwnSlot) {
    status(sim::sliceStatus(2, "in_use=1"));
    const auto first = slot(2);
    status(sim::sliceStatus(2, "in_use=0"));
    status(sim::sliceStatus(2, "in_use=1"));
    const auto second = slot(2);
    ASSERT_TRUE(first && second && first != second);
    radio->sliceDeleteNotification({"SliceDeleted", first, {}});
    radio->sliceDeleteNotification({"SliceDeleted", nullptr, {}});
    EXPECT_EQ(slot(2), second);
    radio->sliceDeleteNotification({"SliceDeleted", second, {}});
    EXPECT_FALSE(slot(2));
    passTime(100ms);  // the announcements fall due here, not in a later test
}

TEST_F(SliceRouting, OtherClientsSlicesAreKeptButNotAnnounced) {
    multiClient();
    NotificationRecorder notes({"SliceCreated", "SliceDeleted"});
    LogCapture capture;
    status(sim::sliceStatus(0, "in_use=1 client_handle=0x11111111"));
    status(sim::sliceStatus(1, "in_use=1 client_handle=0x2DE0B1A5"));
    ASSERT_TRUE(slot(0));
    ASSERT_TRUE(slot(1));
    passTime(100ms);
    ASSERT_TRUE(test::waitFor([&] { return !notes.seen().empty(); }));
    status(sim::sliceStatus(0, "in_use=0"));
    status(sim::sliceStatus(1, "in_use=0"));
    test::mainQueueBarrier();
    EXPECT_FALSE(slot(0));
    EXPECT_FALSE(slot(1));
    EXPECT_EQ(notes.names(), (std::vector<std::string>{"SliceCreated", "SliceDeleted"}));
    EXPECT_EQ(test::loggedLines(capture),
              std::vector<std::string>{"parseSliceToken:delete slice - not ours"});
}

TEST_F(SliceRouting, WhichSlicesAreOurs) {
    const auto slice = Slice::create(radio, 0);
    LogCapture capture;
    EXPECT_TRUE(ourSlice(*radio, *slice));  // one GUI client per radio
    auto instance = std::make_shared<RadioInstance>(*radio->radioInstance());
    instance->supportsMultiDoro = true;
    radio->radioInstance.store(instance);
    EXPECT_TRUE(ourSlice(*radio, *slice));  // not a GUI client yet
    radio->isGui.store(1);
    EXPECT_FALSE(ourSlice(*radio, *slice));
    EXPECT_EQ(test::loggedLines(capture), std::vector<std::string>{"ourSlice:clientHandle is nil"});
    slice->clientHandle.store("0x2de0b1a5");
    EXPECT_FALSE(ourSlice(*radio, *slice));
    slice->clientHandle.store("0x2DE0B1A5");
    EXPECT_TRUE(ourSlice(*radio, *slice));
    const auto fresh = test::detachedRadio();
    fresh->radioInstance.store(instance);
    fresh->isGui.store(1);
    EXPECT_FALSE(ourSlice(*fresh, *slice));  // the session has no handle
}

TEST_F(SliceRouting, MetersAreFiledAndGivenToTheirSlices) {
    status(sim::sliceStatus(0, "in_use=1"));
    const auto slice = slot(0);
    status(sim::meterStatus({.number = 7, .sliceNum = 0, .name = "LEVEL"}));
    const auto level = meter("7");
    ASSERT_TRUE(level);
    EXPECT_EQ(meterNamed("LEVEL"), level);
    EXPECT_EQ(sliceMeter(*slice, "LEVEL"), level);

    // A second definition for the same number changes nothing.
    status(sim::meterStatus({.number = 7, .sliceNum = 0, .name = "OTHER"}));
    EXPECT_EQ(meter("7"), level);
    EXPECT_FALSE(meterNamed("OTHER"));

    // Meters of other sources are filed but never removed.
    status(sim::meterStatus({.number = 8, .source = "TX-", .name = "FWDPWR", .unit = "Watts"}));
    status(sim::meterRemovedStatus(8));
    EXPECT_TRUE(meter("8"));
    EXPECT_TRUE(meterNamed("FWDPWR"));
    EXPECT_FALSE(sliceMeter(*slice, "FWDPWR"));

    status(sim::meterRemovedStatus(7));
    EXPECT_FALSE(meter("7"));
    EXPECT_FALSE(meterNamed("LEVEL"));
    EXPECT_FALSE(sliceMeter(*slice, "LEVEL"));
    status(sim::meterRemovedStatus(7));  // no longer known
    status(sim::meterRemovedStatus(12345));
}

TEST_F(SliceRouting, SliceMeterRemovalsThatChangeNothing) {
    LogCapture capture;
    status(sim::meterStatus({.number = 3, .sliceNum = 5, .name = "AGC+"}));
    status(sim::meterRemovedStatus(3));
    EXPECT_TRUE(meter("3"));
    // A slice number from the radio outside 0..7 is never used as a slot.
    status(sim::meterStatus({.number = 9, .sliceNum = 8, .name = "ODD"}));
    status(sim::meterRemovedStatus(9));
    EXPECT_TRUE(meter("9"));
    status("meter removed");
    status("meter");
    EXPECT_EQ(test::loggedLines(capture),
              (std::vector<std::string>{
                  "Radio:parseMeterToken:thisSlice:thisMeter.sliceNum:5 is null",
                  "Radio:parseMeterToken:meter:[9] sliceNum:[8] out of range",
                  "Radio:parseMeterToken:thisSlice:thisMeter.sliceNum:8 is null",
                  "Radio:parseMeterToken:no meter number:[2DE0B1A5|meter removed]",
                  "Radio:parseMeterToken:no meter number:[2DE0B1A5|meter]",
              }));
}

// Removing a slice meter takes its short name away, even when a later meter holds that name.
TEST_F(SliceRouting, ASharedShortNameGoesWithTheRemovedSliceMeter) {
    status(sim::sliceStatus(1, "in_use=1"));
    status(sim::meterStatus({.number = 1, .sliceNum = 1, .name = "LEVEL"}));
    status(sim::meterStatus({.number = 2, .source = "RAD", .name = "LEVEL"}));
    EXPECT_EQ(meterNamed("LEVEL"), meter("2"));
    status(sim::meterRemovedStatus(1));
    EXPECT_FALSE(meterNamed("LEVEL"));
    EXPECT_TRUE(meter("2"));
}

}  // namespace
}  // namespace vm
