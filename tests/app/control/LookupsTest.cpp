// Which slice or panadapter is meant, and the band of a frequency: tables of cases with the ties
// and edges that decide them.
#include "app/control/BandNames.h"
#include "app/control/PanLookups.h"
#include "app/control/SliceLookups.h"
#include "objects/Slice.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <map>

namespace vm {
namespace {

using namespace lookups;

struct SliceSpec {
    int number;
    const char* mhz;
    bool active = false;
    bool tx = false;
};

// Slices as the controller keeps them: ascending slice number.
SliceList slices(std::initializer_list<SliceSpec> specs) {
    SliceList list;
    for (const SliceSpec& spec : specs) {
        auto slice = Slice::create(nullptr, spec.number);
        slice->sliceFrequency.set(std::string(spec.mhz));
        slice->sliceActive.set(spec.active);
        slice->sliceTxEnabled.set(spec.tx);
        list.push_back(slice);
    }
    return list;
}

// The slice number found, or -1 for none.
int number(const std::shared_ptr<Slice>& slice) { return slice ? slice->thisSliceNumber() : -1; }

TEST(SliceLookups, FirstMatchesFallToTheLowestSliceNumber) {
    const SliceList list = slices({{0, "14.200"}, {2, "14.200", true}, {3, "7.1", true, true}});
    EXPECT_EQ(number(sliceWithNumber(list, 2)), 2);
    EXPECT_EQ(number(sliceWithNumber(list, 1)), -1);
    EXPECT_EQ(number(activeVFO(list)), 2);
    EXPECT_EQ(number(alternateVFO(list)), 0);
    EXPECT_EQ(number(transmitVFO(list)), 3);
    EXPECT_EQ(number(lastSlice(list)), 3);

    // No slice marked active: no active slice, and the alternate is the lowest-numbered one.
    const SliceList idle = slices({{1, "14.1"}, {4, "7.0"}});
    EXPECT_EQ(number(activeVFO(idle)), -1);
    EXPECT_EQ(number(alternateVFO(idle)), 1);
    EXPECT_EQ(number(transmitVFO(idle)), -1);

    const SliceList none;
    for (const auto& found : {sliceWithNumber(none, 0), activeVFO(none), alternateVFO(none),
                              transmitVFO(none), lastSlice(none), closestSlice(none, 14.0)}) {
        EXPECT_EQ(found, nullptr);
    }
}

TEST(SliceLookups, ClosestSliceKeepsTheEarlierOnEqualDistancesAndIgnoresTheFar) {
    const SliceList list = slices({{0, "14.200"}, {2, "14.200"}, {5, "14.250"}});
    const struct {
        double mhz;
        int slice;
    } cases[] = {
        {14.2, 0},      // a tie between slices 0 and 2
        {14.226, 5},    // strictly nearer to the later slice
        {14.225, 0},    // equally far from 14.200 and 14.250
        {0.0, 0},       // far, but within 10000 MHz
        {10014.3, -1},  // nothing within 10000 MHz
    };
    for (const auto& c : cases) {
        EXPECT_EQ(number(closestSlice(list, c.mhz)), c.slice) << c.mhz;
    }
}

TEST(PanLookups, TheSpanEdgeCountsForTheSliceButNotForThePanadapter) {
    const PanSpan pan{14.0, 0.5, "0x40000000"};  // 13.75 to 14.25
    EXPECT_EQ(number(centerSliceInPan(slices({{1, "14.25"}, {2, "14.1"}}), pan)), 1);
    EXPECT_EQ(number(centerSliceInPan(slices({{0, "14.2501"}}), pan)), -1);
    EXPECT_EQ(number(centerSliceInPan({}, pan)), -1);

    const std::vector<PanSpan> pans{pan, {14.5, 0.5, "0x40000001"}};  // 14.25 to 14.75
    const struct {
        const char* what;
        double mhz;
        std::optional<std::size_t> pan;
        double outside;  // of the first panadapter
    } cases[] = {
        {"inside the first", 14.0, 0, 0.0},
        {"inside the first, by its margin", 14.2485, 0, 0.0},
        {"on the shared edge: inside neither, the centres tie, the earlier", 14.25, 0, 0.001},
        {"inside the second", 14.26, 1, 0.011},
        {"below both: the nearer centre", 13.5, 0, 13.5 - 13.751},
        {"more than 10000 MHz from any centre", 10100.0, std::nullopt, 10100.0 - 14.249},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(panForFrequency(pans, c.mhz), c.pan) << c.what;
        EXPECT_NEAR(frequencyOutSidePanadapter(pan, c.mhz), c.outside, 1e-9) << c.what;
    }
    EXPECT_EQ(panForFrequency({}, 14.1), std::nullopt);
}

TEST(PanLookups, StreamIdsNameTheirPanadapter) {
    const std::vector<PanSpan> pans{{7.1, 0.2, "0x40000001"}, {14.1, 0.2, "0x4000000A"}};
    EXPECT_EQ(streamIdToPan(pans, "0x40000001"), 0u);
    EXPECT_EQ(streamIdToPan(pans, "0x4000000a"), 1u) << "another written form of the same id";
    EXPECT_EQ(streamIdToPan(pans, "0x40000002"), std::nullopt);
    EXPECT_EQ(streamIdToPan(pans, ""), std::nullopt);
    EXPECT_FALSE(sameStreamId("none", "nothing")) << "texts that are no ids match nothing";

    test::LogCapture capture;
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(streamToInt(fmt::format("0x4000000{}", i)), i);
    }
    EXPECT_FALSE(capture.contains("streamToInt"));
    for (const char* other : {"0x40000008", "", "0x4000000a"}) {
        EXPECT_EQ(streamToInt(other), 0) << other;
        EXPECT_TRUE(capture.contains(fmt::format("streamToInt:streamID:{} not recognized", other)));
    }
}

TEST(BandNames, EveryBandWithItsEdgesAndTheGapsBetween) {
    const struct {
        double mhz;
        const char* meters;
        int number;
    } cases[] = {
        {1.8, "160", 2},    {2.0, "160", 2},   {1.79, "", 0},     {3.5, "80", 5},
        {4.0, "80", 5},     {5.1, "60", 6},    {5.5, "60", 6},    {7.0, "40", 9},
        {7.3, "40", 9},     {7.31, "", 0},     {10.1, "30", 10},  {10.15, "30", 10},
        {14.0, "20", 12},   {14.35, "20", 12}, {13.0, "", 0},     {18.068, "17", 14},
        {18.168, "17", 14}, {21.0, "15", 16},  {21.45, "15", 16}, {24.89, "12", 18},
        {24.99, "12", 18},  {28.0, "10", 20},  {29.7, "10", 20},  {50.0, "6", 22},
        {54.0, "6", 22},    {54.01, "", 0},    {144.2, "", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(strippedBandMetersFromMHz(c.mhz), c.meters) << c.mhz;
        EXPECT_EQ(bandNumericFromMHz(c.mhz), c.number) << c.mhz;
    }
}

TEST(BandNames, TheBandStringNamesATransverterBandOutsideTheRadiosRange) {
    const std::map<double, std::string> covered{{144.2, "0"}, {0.0136, "3"}};
    const XvtrKeyForFrequency xvtrs = [&](double mhz) -> std::optional<std::string> {
        const auto found = covered.find(mhz);
        return found == covered.end() ? std::nullopt : std::optional(found->second);
    };
    const struct {
        double mhz;
        const char* band;
    } cases[] = {
        {14.2, "20"},  {13.0, ""},     {0.03, ""},  {54.0, "6"},
        {144.2, "X0"}, {0.0136, "X3"}, {432.1, ""},  // no transverter covers it
    };
    for (const auto& c : cases) {
        EXPECT_EQ(bandStringFromFrequency(c.mhz, xvtrs), c.band) << c.mhz;
    }
    EXPECT_EQ(bandStringFromFrequency(144.2, nullptr), "") << "a radio without transverters";
}

}  // namespace
}  // namespace vm
