// The slice's derived texts and values, and its meters by short name.
#include "objects/Meter.h"
#include "objects/Slice.h"

#include "ObjectsTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

namespace vm {
namespace {

TEST(SliceFormats, HertzFromMegahertzText) {
    const struct {
        const char* text;
        std::int64_t hertz;
    } cases[] = {
        {"14.074000", 14074000},
        {"14.074", 14074000},
        {"7", 7000000},
        {"0.5", 500000},
        {"", 0},
        {" 3.5", 3500000},
        {"-0.5", -500000},
        {"abc", 0},
        {"14.074xyz", 14074},
        // More than six decimals: the digits below one hertz are cut off.
        {"14.0740001", 14074000},
        {"14.074000999", 14074000},
        {"0.0000001", 0},
        // Beyond 64 bits the value saturates.
        {"99999999999999999999", std::numeric_limits<std::int64_t>::max()},
        {"-9999999999999.5", std::numeric_limits<std::int64_t>::min()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Slice::freqStringToHertz(c.text), c.hertz) << c.text;
    }
}

TEST(SliceFormats, FrequencyTexts) {
    EXPECT_EQ(Slice::formatFrequencyNumberAsCommandString(14074000), "14.074000");
    EXPECT_EQ(Slice::formatFrequencyNumberAsCommandString(7100000), "7.100000");
    EXPECT_EQ(Slice::formatFrequencyNumberAsCommandString(50125000), "50.125000");
    EXPECT_EQ(Slice::formatFrequencyNumberAsString(1810123), "1.810123");

    const auto slice = Slice::create(test::detachedRadio(), 0);
    EXPECT_EQ(slice->formatSliceFrequencyAsNumber(), 0);
    EXPECT_EQ(slice->formatSliceFrequency(), "0.000.000");
    slice->sliceFrequency.store("50.125000");
    EXPECT_EQ(slice->formatSliceFrequencyAsNumber(), 50125000);
    EXPECT_EQ(slice->formatSliceFrequency(), "50.125.000");
}

TEST(SliceFormats, FilterBandwidth) {
    const struct {
        std::int64_t lo, hi;
        const char* text;
    } cases[] = {
        {-2850, -150, "2.7 KHz"},  {100, 100, "0 Hz"},   {2900, 100, "2.8 KHz"},
        {0, 2750, "2.7 KHz"},      {0, 1000, "1.0 KHz"}, {0, 999, "999 Hz"},
        {-6000, 6000, "12.0 KHz"},
    };
    const auto slice = Slice::create(test::detachedRadio(), 0);
    for (const auto& c : cases) {
        slice->sliceFilterLo.store(c.lo);
        slice->sliceFilterHi.store(c.hi);
        EXPECT_EQ(slice->formatSliceFilterBandwidth(), c.text) << c.lo << " " << c.hi;
    }
}

TEST(SliceFormats, TitleAndAgcOff) {
    const auto olderRadio = test::detachedRadio();
    const auto newerRadio = test::detachedRadio(0, 0, true);
    const auto older = Slice::create(olderRadio, 2);
    older->indexLetter.store("F");
    EXPECT_EQ(older->sliceTitle(), "C");
    EXPECT_EQ(Slice::create(olderRadio, 7)->sliceTitle(), "H");

    const auto newer = Slice::create(newerRadio, 2);
    EXPECT_EQ(newer->sliceTitle(), std::nullopt);
    newer->indexLetter.store("F");
    EXPECT_EQ(newer->sliceTitle(), "F");

    EXPECT_FALSE(older->sliceAgcOff());
    for (const auto& [mode, off] :
         {std::pair{"", false}, {"Off", false}, {"fast", false}, {"off", true}}) {
        older->sliceAgcMode.store(mode);
        EXPECT_EQ(older->sliceAgcOff(), off) << mode;
    }
}

TEST(SliceMeters, OneMeterPerShortName) {
    const auto slice = Slice::create(test::detachedRadio(), 0);
    const auto first = std::make_shared<Meter>();
    const auto second = std::make_shared<Meter>();
    const auto other = std::make_shared<Meter>();
    first->shortName.store("LEVEL");
    second->shortName.store("LEVEL");
    other->shortName.store("AGC+");
    slice->addMeter(first);
    slice->addMeter(second);
    slice->removeMeter(other);
    slice->meters()->with([&](const auto& byName) {
        ASSERT_EQ(byName.size(), 1u);
        EXPECT_EQ(byName.at("LEVEL"), second);
    });
    slice->removeMeter(first);
    EXPECT_TRUE(slice->meters()->with([](const auto& byName) { return byName.empty(); }));
}

}  // namespace
}  // namespace vm
