// The checks on what other programs hand us: frequencies, modes and notification values.
#include "app/control/SiblingValues.h"

#include <gtest/gtest.h>

#include <limits>

namespace vm {
namespace {

struct MegahertzCase {
    const char* name;
    const char* text;
    std::optional<double> expected;
};

void PrintTo(const MegahertzCase& c, std::ostream* os) { *os << c.name; }

class PlainMegahertz : public ::testing::TestWithParam<MegahertzCase> {};

TEST_P(PlainMegahertz, TakesOnlyAPlainDecimalAboveZero) {
    EXPECT_EQ(sibling::plainMegahertz(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PlainMegahertz,
    ::testing::Values(MegahertzCase{"Decimal", "14.074", 14.074}, MegahertzCase{"Whole", "7", 7.0},
                      MegahertzCase{"LeadingPoint", ".5", 0.5},
                      MegahertzCase{"TrailingPoint", "28.", 28.0},
                      MegahertzCase{"SixteenCharacters", "1296.12345678901", 1296.12345678901},
                      MegahertzCase{"Empty", "", std::nullopt},
                      MegahertzCase{"Zero", "0.000", std::nullopt},
                      MegahertzCase{"Negative", "-14.074", std::nullopt},
                      MegahertzCase{"Plus", "+14.074", std::nullopt},
                      MegahertzCase{"Exponent", "1e3", std::nullopt},
                      MegahertzCase{"TwoPoints", "14.07.4", std::nullopt},
                      MegahertzCase{"PointAlone", ".", std::nullopt},
                      MegahertzCase{"Blank", "14.074 ", std::nullopt},
                      MegahertzCase{"LineBreakAndCommand", "14.074\nc9|xmit 1", std::nullopt},
                      MegahertzCase{"Comma", "14,074", std::nullopt},
                      MegahertzCase{"NotANumber", "nan", std::nullopt},
                      MegahertzCase{"TooLong", "14.0740000000000001", std::nullopt}));

TEST(SiblingValues, AModeCountsOnlyWhenTheSliceListsItExactly) {
    const std::optional<std::vector<std::string>> modes = std::vector<std::string>{"USB", "CW"};
    EXPECT_TRUE(sibling::offeredMode("USB", modes));
    EXPECT_FALSE(sibling::offeredMode("usb", modes));
    EXPECT_FALSE(sibling::offeredMode("USB tx=1", modes));
    EXPECT_FALSE(sibling::offeredMode("", std::vector<std::string>{""}));
    EXPECT_FALSE(sibling::offeredMode("USB", std::nullopt));
}

TEST(SiblingValues, NotificationValuesAreReadByKind) {
    const PlistDict payload = {{"int", 145},
                               {"real", 435.3},
                               {"text", "88.5"},
                               {"command", "88.5 tx=1"},
                               {"infinite", std::numeric_limits<double>::infinity()},
                               {"list", PlistArray{1.0}},
                               {"yes", true},
                               {"one", 1}};
    EXPECT_EQ(sibling::payloadNumber(payload, "int"), 145.0);
    EXPECT_EQ(sibling::payloadNumber(payload, "real"), 435.3);
    EXPECT_EQ(sibling::payloadNumber(payload, "text"), 88.5);
    EXPECT_EQ(sibling::payloadNumber(payload, "command"), std::nullopt);
    EXPECT_EQ(sibling::payloadNumber(payload, "infinite"), std::nullopt);
    EXPECT_EQ(sibling::payloadNumber(payload, "list"), std::nullopt);
    EXPECT_EQ(sibling::payloadNumber(payload, "absent"), std::nullopt);
    EXPECT_EQ(sibling::payloadText(payload, "text"), "88.5");
    EXPECT_EQ(sibling::payloadText(payload, "int"), "");
    EXPECT_EQ(sibling::payloadFlag(payload, "yes"), true);
    EXPECT_EQ(sibling::payloadFlag(payload, "one"), true);
    EXPECT_EQ(sibling::payloadFlag(payload, "text"), std::nullopt);
    EXPECT_EQ(sibling::megahertzText(145.8), "145.8");
    EXPECT_EQ(sibling::megahertzText(437), "437");
}

}  // namespace
}  // namespace vm
