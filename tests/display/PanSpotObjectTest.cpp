// Spots: which spots count as the same, copies, ordering by frequency and keyed archives.
#include "display/PanSpotObject.h"
#include "platform/core/KeyedArchiver.h"
#include "platform/core/KeyedUnarchiver.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vm {
namespace {

PanSpotObject spot(std::string call, double megahertz) {
    PanSpotObject s;
    s.combinedCallsign = std::move(call);
    s.megahertz = megahertz;
    return s;
}

TEST(PanSpotObject, SimilarMeansTheSameCallWithinATenthOfAKilohertz) {
    const struct {
        const char* call;
        double megahertz;
        bool similar;
        bool duplicate;
    } cases[] = {
        {"K1ABC", 7.00005, true, true},
        {"K1ABC", 7.0002, false, true},
        {"k1abc", 7.0, false, false},  // letter case counts
    };
    const PanSpotObject base = spot("K1ABC", 7.0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call + std::to_string(c.megahertz));
        const PanSpotObject other = spot(c.call, c.megahertz);
        EXPECT_EQ(base.similarSpot(other), c.similar);
        EXPECT_EQ(other.similarSpot(base), c.similar);
        EXPECT_EQ(base.duplicatesCall(other), c.duplicate);
    }
}

TEST(PanSpotObject, ASortByFrequencyRunsFromTheHighestDown) {
    std::vector<PanSpotObject> spots{spot("A", 7.0), spot("B", 14.0), spot("C", 3.5)};
    std::sort(spots.begin(), spots.end(), [](const auto& a, const auto& b) {
        return a.compareFrequency(b) == SpotOrder::Ascending;
    });
    EXPECT_EQ(spots[0].combinedCallsign, "B");
    EXPECT_EQ(spots[2].combinedCallsign, "C");
    EXPECT_EQ(spot("A", 7.0).compareFrequency(spot("B", 7.0)), SpotOrder::Same);
    EXPECT_EQ(spot("A", 7.0).compareFrequency(spot("B", 14.0)), SpotOrder::Descending);
}

PanSpotObject fullSpot() {
    PanSpotObject s = spot("DL1XYZ", 14.025);
    s.spotIndex = 12;
    s.dxde = "W1AW";
    s.timestamp = Date{7.5e8};
    s.callStatus = 3;
    s.workedThisBand = true;
    s.mode = "CW";
    s.qsx_megahertz = 14.027;
    s.marker_x = 120;
    s.marker_y = 40;
    s.label_rect = {100, 30, 60, 14};
    s.comments = "up 2";
    s.trigger_action = "tune";
    s.background_color = SpotColor{1, 0, 0, 1};
    return s;
}

// What a copy and an archive keep: call sign, spotter, time, both frequencies, mode and comments.
void expectKeptFields(const PanSpotObject& s) {
    EXPECT_EQ(s.combinedCallsign, "DL1XYZ");
    EXPECT_EQ(s.dxde, "W1AW");
    EXPECT_EQ(s.timestamp, Date{7.5e8});
    EXPECT_DOUBLE_EQ(s.megahertz, 14.025);
    EXPECT_DOUBLE_EQ(s.qsx_megahertz, 14.027);
    EXPECT_EQ(s.mode, "CW");
    EXPECT_EQ(s.comments, "up 2");
    EXPECT_EQ(s.spotIndex, 0);
    EXPECT_EQ(s.callStatus, 0);
    EXPECT_FALSE(s.workedThisBand);
    EXPECT_EQ(s.marker_x, 0);
    EXPECT_EQ(s.label_rect, SpotRect{});
    EXPECT_EQ(s.trigger_action, "");
    EXPECT_FALSE(s.background_color);
}

TEST(PanSpotObject, ACopyKeepsTheSpotButNotWhereItWasDrawn) {
    const auto copied = fullSpot().copy();
    ASSERT_TRUE(copied);
    expectKeptFields(*copied);
}

TEST(PanSpotObject, AKeyedArchiveKeepsTheSameFields) {
    Error error;
    const auto bytes = archivedData(
        ArchiveArray{fullSpot().archiveValue(), spot("N0CALL", 3.5).archiveValue()}, &error);
    ASSERT_TRUE(bytes) << error.description;
    const auto unarchiver = KeyedUnarchiver::create(*bytes);
    ASSERT_TRUE(unarchiver);
    const auto root = unarchiver->decodeTopObject(PanSpotObject::archiveClasses(), &error);
    ASSERT_TRUE(root) << error.description;
    const auto* list = root->get<ArchiveArray>();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 2u);
    const auto first = PanSpotObject::fromArchive((*list)[0]);
    ASSERT_TRUE(first);
    expectKeptFields(*first);
    const auto second = PanSpotObject::fromArchive((*list)[1]);
    ASSERT_TRUE(second);
    EXPECT_FALSE(second->timestamp) << "a spot without a time has none after the trip";

    // A record of another class, or a field of another kind, gives nothing or the fresh value.
    EXPECT_FALSE(PanSpotObject::fromArchive(ArchiveObject{"Other", {}}));
    const auto odd = PanSpotObject::fromArchive(
        ArchiveObject{PanSpotObject::kClassName, {{"megahertz", "fast"}, {"mode", 7}}});
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->megahertz, 0);
    EXPECT_EQ(odd->mode, "");
}

}  // namespace
}  // namespace vm
