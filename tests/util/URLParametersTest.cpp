#include "util/URLParameters.h"
#include "util/VMMegahertzFormatter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vm {
namespace {

TEST(URLParametersTest, QueryBecomesADictionary) {
    using P = url::Parameters;
    struct Case {
        std::string url;
        std::optional<P> expected;
    } cases[] = {
        {"kbrx://tune?freq=14.074&mode=USB", P{{"freq", "14.074"}, {"mode", "USB"}}},
        {"kbrx://tune?freq=7.0&freq=14.1", P{{"freq", "14.1"}}},  // the later one wins
        {"kbrx://tune", P{}},
        {"kbrx://tune?", P{}},
        {"kbrx://tune?&&a=1&?b=2&&", P{{"a", "1"}, {"b", "2"}}},
        {"kbrx://tune?flag&x=&y=1=2", P{{"x", ""}, {"y", "1"}}},
        {"kbrx://tune?name=W1AW%2FP&sp%20ace=a%20b", P{{"name", "W1AW/P"}, {"sp ace", "a b"}}},
        {"kbrx://tune?bad=%zz&good=1", P{{"good", "1"}}},  // an escape that does not decode
        {"kbrx://tune?a=1#frag", P{{"a", "1#frag"}}},      // the fragment stays in the value
        {"kbrx://tune?a=x+y", P{{"a", "x+y"}}},
        {"file:///tmp/x?a=1", std::nullopt},
        {"FILE:///tmp/x?a=1", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(url::parameters(c.url), c.expected) << c.url;
    }
    EXPECT_EQ(url::parameterForKey("kbrx://x?mode=CW", "mode"), "CW");
    EXPECT_EQ(url::parameterForKey("kbrx://x?mode=CW", "freq"), std::nullopt);
    EXPECT_EQ(url::parameterForKey("file:///x?mode=CW", "mode"), std::nullopt);
}

TEST(URLParametersTest, TuneLinksGiveFrequencyAndMode) {
    using Link = std::optional<std::pair<std::string, std::string>>;
    const std::pair<std::string, Link> cases[] = {
        {"kbrx://tune?freq=14.074", std::pair{"14.074", "USB"}},
        {"kbrx://tune?freq=7.030&mode=CW", std::pair{"7.030", "CW"}},
        {"kbrx://tune?freq=7.030&mode=", std::pair{"7.030", "USB"}},
        {"kbrx://tune?freq=14.074%0Aforged&mode=CW", std::pair{"14.074\nforged", "CW"}},
        {"kbrx://tune?mode=CW", std::nullopt},
        {"KBRX://tune?freq=14.074", std::nullopt},
        {"kbrx://spot?freq=14.074", std::nullopt},
    };
    for (const auto& [link, expected] : cases) {
        const auto tune = url::tuneLink(link);
        EXPECT_EQ(tune ? Link(std::pair{tune->freq, tune->mode}) : std::nullopt, expected) << link;
    }
}

TEST(VMMegahertzFormatterTest, Formats) {
    VMMegahertzFormatter f;
    EXPECT_FALSE(f.showHz());
    struct Case {
        double mhz;
        const char* text;
        const char* withHz;
    } cases[] = {
        {14.074, "14.074.00", "14.074.000"},
        {7.0001, "7.000.10", "7.000.100"},
        {0.5, "0.500.00", "0.500.000"},
        {-1.25, "-1.250.00", "-1.250.000"},
        {0.0, "0.000.00", "0.000.000"},
        {14.0740059, "14.074.00", "14.074.005"},  // truncated, not rounded
        {1296.1234567, "1296.123.45", "1296.123.456"},
    };
    for (const auto& c : cases) {
        f.setShowHz(false);
        EXPECT_EQ(f.stringForObjectValue(c.mhz), c.text) << c.mhz;
        f.setShowHz(true);
        EXPECT_EQ(f.stringForObjectValue(c.mhz), c.withHz) << c.mhz;
    }
    EXPECT_EQ(f.stringForObjectValue(std::nan("")), std::nullopt);
    EXPECT_EQ(f.stringForObjectValue(std::numeric_limits<double>::infinity()), std::nullopt);
    EXPECT_EQ(f.stringForObjectValue(1e13), std::nullopt);  // whole hertz would overflow
}

TEST(VMMegahertzFormatterTest, Parses) {
    VMMegahertzFormatter f;
    struct Case {
        const char* text;
        bool showHz;
        bool accepted;
        double mhz;
    } cases[] = {
        {"14.074", false, true, 14.074},     {"14", false, true, 14.0},
        {"14.074.5", false, true, 14.07405}, {"14.074.5", true, true, 14.074005},
        {"14.074.00", false, true, 14.074},  {"14.074.123", true, true, 14.074123},
        {"1.2.3.4", false, false, 0.0},      {"", false, false, 0.0},
    };
    for (const auto& c : cases) {
        f.setShowHz(c.showHz);
        double value = -1;
        std::string error;
        EXPECT_EQ(f.getObjectValue(&value, c.text, &error), c.accepted) << c.text;
        if (c.accepted) {
            EXPECT_NEAR(value, c.mhz, 1e-9) << c.text;
            EXPECT_TRUE(error.empty());
        } else {
            EXPECT_EQ(error, "Couldn\u2019t convert  to float");
        }
        EXPECT_NEAR(f.doubleValueForString(c.text), c.mhz, 1e-9) << c.text;
    }
    // Formatting and parsing go round.
    f.setShowHz(false);
    EXPECT_NEAR(f.doubleValueForString(*f.stringForObjectValue(21.07412)), 21.07412, 1e-9);
}

TEST(VMMegahertzFormatterTest, TypingCheckRefusesOtherCharactersWithABeep) {
    VMMegahertzFormatter f;
    int beeps = 0;
    f.setBeep([&] { ++beeps; });
    std::string error;
    EXPECT_TRUE(f.isPartialStringValid("14.074.", &error));
    EXPECT_TRUE(f.isPartialStringValid("", &error));
    EXPECT_EQ(beeps, 0);
    EXPECT_FALSE(f.isPartialStringValid("14,074", &error));
    EXPECT_FALSE(f.isPartialStringValid("-1", nullptr));
    EXPECT_EQ(error, "Non numeric character entered");
    EXPECT_EQ(beeps, 2);
}

}  // namespace
}  // namespace vm
