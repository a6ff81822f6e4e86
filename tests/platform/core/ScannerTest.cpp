#include "platform/core/Scanner.h"

#include <gtest/gtest.h>

#include <climits>

namespace vm {
namespace {

TEST(Scanner, WalksAStatusLine) {
    Scanner scanner("S2DE0B1A5|slice 0 in_use=1 RF_frequency=14.074000");
    unsigned handle = 0;
    std::string type;
    int slice = -1;
    ASSERT_TRUE(scanner.scanString("S"));
    ASSERT_TRUE(scanner.scanHexInt(&handle));
    EXPECT_EQ(handle, 0x2DE0B1A5u);
    ASSERT_TRUE(scanner.scanString("|"));
    ASSERT_TRUE(scanner.scanUpToString(" ", &type));
    EXPECT_EQ(type, "slice");
    ASSERT_TRUE(scanner.scanString(" "));
    ASSERT_TRUE(scanner.scanInt(&slice));
    EXPECT_EQ(slice, 0);

    std::vector<std::pair<std::string, std::string>> pairs;
    const auto separators = CharacterSet::fromString(" ");
    while (!scanner.isAtEnd()) {
        std::string key;
        std::string value;
        scanner.scanCharactersFromSet(separators);
        ASSERT_TRUE(scanner.scanUpToString("=", &key));
        ASSERT_TRUE(scanner.scanString("="));
        scanner.scanUpToCharactersFromSet(separators, &value);
        pairs.emplace_back(key, value);
    }
    EXPECT_EQ(pairs, (std::vector<std::pair<std::string, std::string>>{
                         {"in_use", "1"}, {"RF_frequency", "14.074000"}}));
    Scanner number("14.074000");
    double mhz = 0;
    ASSERT_TRUE(number.scanDouble(&mhz));
    EXPECT_DOUBLE_EQ(mhz, 14.074);
}

struct IntCase {
    const char* text;
    bool ok;
    int value;
    std::size_t location;
};

TEST(Scanner, ScanIntSignsAndClamping) {
    const IntCase cases[] = {
        {"42 rest", true, 42, 2},
        {"+7", true, 7, 2},
        {"-13x", true, -13, 3},
        {"2147483648", true, INT_MAX, 10},
        {"-2147483649", true, INT_MIN, 11},
        {"99999999999999999999999", true, INT_MAX, 23},
        {"-", false, 0, 0},
        {"abc", false, 0, 0},
        {"", false, 0, 0},
    };
    for (const auto& c : cases) {
        Scanner scanner(c.text);
        int value = 0;
        EXPECT_EQ(scanner.scanInt(&value), c.ok) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(scanner.location(), c.location) << c.text;
    }
}

struct DoubleCase {
    const char* text;
    bool ok;
    double value;
    std::size_t location;
};

TEST(Scanner, ScanDoubleForms) {
    const DoubleCase cases[] = {
        {"14.074000", true, 14.074, 9},
        {"-0.5dB", true, -0.5, 4},
        {".25", true, 0.25, 3},
        {"1e3", true, 1000.0, 3},
        {"2e", true, 2.0, 1},  // an exponent without digits is not
                               // part of the number
        {"3.", true, 3.0, 2},
        {".", false, 0.0, 0},
        {"x1", false, 0.0, 0},
    };
    for (const auto& c : cases) {
        Scanner scanner(c.text);
        double value = 0;
        EXPECT_EQ(scanner.scanDouble(&value), c.ok) << c.text;
        EXPECT_DOUBLE_EQ(value, c.value) << c.text;
        EXPECT_EQ(scanner.location(), c.location) << c.text;
    }
}

TEST(Scanner, ScanHexIntPrefixAndClamping) {
    struct {
        const char* text;
        bool ok;
        unsigned value;
        std::size_t location;
    } const cases[] = {
        {"0x1F", true, 0x1F, 4},
        {"0X84000000 ", true, 0x84000000u, 10},
        {"ff", true, 0xFF, 2},
        {"0xZ", true, 0, 1},  // "0" is a number; "x" is not part of it
        {"FFFFFFFFF", true, UINT_MAX, 9},
        {"g", false, 0, 0},
    };
    for (const auto& c : cases) {
        Scanner scanner(c.text);
        unsigned value = 0;
        EXPECT_EQ(scanner.scanHexInt(&value), c.ok) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(scanner.location(), c.location) << c.text;
    }
}

TEST(Scanner, FailedScansLeaveTheLocationAndSkippingApplies) {
    Scanner scanner("  key=value");
    EXPECT_FALSE(scanner.scanString("key"));  // nothing is skipped by default
    EXPECT_EQ(scanner.location(), 0u);
    scanner.setCharactersToBeSkipped(CharacterSet::whitespace());
    EXPECT_TRUE(scanner.scanString("KEY"));  // matching ignores case
    EXPECT_FALSE(scanner.scanUpToString("="));
    EXPECT_EQ(scanner.location(), 5u);
    std::string rest;
    EXPECT_TRUE(scanner.scanString("="));
    EXPECT_TRUE(scanner.scanUpToString("|", &rest));  // not found: scans to the end
    EXPECT_EQ(rest, "value");
    EXPECT_TRUE(scanner.isAtEnd());

    Scanner exact("Slice");
    exact.setCaseSensitive(true);
    EXPECT_FALSE(exact.scanString("slice"));
    EXPECT_FALSE(exact.scanString("Slices"));  // longer than what is left
    EXPECT_TRUE(exact.scanString("Slice"));
    EXPECT_FALSE(exact.scanString("|"));  // at the end
}

}  // namespace
}  // namespace vm
