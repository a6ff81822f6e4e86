// The waterfall's colour gradient and colour map: gradient order and interpolation, the packed
// colours, thresholds from black level and gain (also at the ends of their ranges), and the map's
// exact entries.
#include "display/ColorGradient.h"
#include "display/WaterfallColorMap.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vm {
namespace {

std::vector<float> positions(const ColorGradient& gradient) {
    std::vector<float> out;
    for (const ColorPoint& point : gradient.colors()) {
        out.push_back(point.tValue);
    }
    return out;
}

TEST(ColorGradient, PointsGoInAscendingOrder) {
    for (const auto& [added, expected] : std::vector<std::pair<float, std::vector<float>>>{
             {0.7f, {0.0f, 0.5f, 0.7f, 1.0f}},
             {0.2f, {0.0f, 0.2f, 0.5f, 1.0f}},
             {1.5f, {0.0f, 0.5f, 1.0f, 1.5f}},
             {0.5f, {0.0f, 0.5f, 0.5f, 1.0f}},
         }) {
        ColorGradient gradient;
        gradient.addColorPoint({0, 0, 0}, 0.0f);
        gradient.addColorPoint({0, 0, 1}, 0.5f);
        gradient.addColorPoint({1, 1, 1}, 1.0f);
        gradient.addColorPoint({1, 0, 0}, added);
        EXPECT_EQ(positions(gradient), expected) << "adding " << added;
    }
}

TEST(ColorGradient, DefaultGradientGivesItsColoursAtTheirPositions) {
    ColorGradient gradient;
    gradient.createDefaultGradient();
    struct Case {
        double value;
        std::uint32_t packed;
    };
    for (const Case& c : std::vector<Case>{{-1.0, 0x000000},
                                           {0.0, 0x000000},
                                           {0.4, 0x0000FF},
                                           {0.5, 0x00FFFF},
                                           {0.55, 0xFFFF00},
                                           {0.65, 0xFF0000},
                                           {0.75, 0x800080},  // 127.5 rounds up
                                           {1.0, 0xFFFFFF},
                                           {2.0, 0xFFFFFF}}) {
        EXPECT_EQ(gradient.getPackedColorAtValue(c.value), c.packed) << "at " << c.value;
    }
    const GradientColor half = gradient.getColorColorForValue(0.45);
    EXPECT_EQ(half.red, 0.0);
    EXPECT_NEAR(half.green, 0.5, 1e-6);
    EXPECT_EQ(half.blue, 1.0);
    // The same colour as a record, its alpha left at 0.
    const RgbaColor drawn = gradient.getColorAtValue(0.45);
    EXPECT_EQ(drawn, (RgbaColor{half.red, half.green, half.blue, 0.0}));

    gradient.clearGradient();
    EXPECT_EQ(gradient.getPackedColorAtValue(0.3), 0xFFFFFFu) << "an empty gradient is white";
    EXPECT_EQ(gradient.getColorAtValue(0.3), (RgbaColor{1, 1, 1, 0}));
}

struct Thresholds {
    int black;
    int gain;
    int low;
    int high;
};

TEST(WaterfallColorMap, ThresholdsFromBlackLevelAndGain) {
    for (const Thresholds& c : std::vector<Thresholds>{
             {0, 0, 0, 65534},  // the cube root and cube come out just below 65535
             {0, 50, 0, 8191},  // 65535 / 8, truncated
             {13107, 50, 13107, 19660},
             {0, 100, 0, 100},  // the 100-value minimum
             {1000, 100, 1000, 1100},
             {65400, 100, 65400, 65500},
             {65500, 50, 65500, 65535},  // no wrap near the top: held at 65535
             {65535, 0, 65535, 65535},
             {70000, 0, 65535, 65535},
             {-5, 0, 0, 65534},
             {0, 150, 0, 100},
             {0, -20, 0, 65534},
         }) {
        WaterfallColorMap map;
        map.setBlackLevel(c.black);
        map.setColorGain(c.gain);
        map.calculateHighThreshold();
        EXPECT_EQ(map.lowThreshold(), c.low) << "black " << c.black << " gain " << c.gain;
        EXPECT_EQ(map.highThreshold(), c.high) << "black " << c.black << " gain " << c.gain;
    }
}

// Entries hold red, green, blue, 0 in memory: 0x00BBGGRR read on this little-endian machine.
constexpr std::uint32_t kBlack = 0x00000000;
constexpr std::uint32_t kBlue = 0x00FF0000;
constexpr std::uint32_t kCyan = 0x00FFFF00;
constexpr std::uint32_t kRed = 0x000000FF;
constexpr std::uint32_t kPurple = 0x00800080;
constexpr std::uint32_t kWhite = 0x00FFFFFF;

TEST(WaterfallColorMap, EveryValueHasAnEntryAndTheLastIsTheHighColour) {
    struct Case {
        int black;
        int gain;
        int highCount;
        std::vector<std::pair<int, std::uint32_t>> entries;
    };
    for (const Case& c : std::vector<Case>{
             {0,
              100,
              65436,
              {{0, kBlack},
               {40, kBlue},
               {50, kCyan},
               {65, kRed},
               {75, kPurple},
               {100, kWhite},
               {65535, kWhite}}},
             {0, 50, 65536 - 8191, {{0, kBlack}, {8191, kWhite}, {65535, kWhite}}},
             {13107,
              50,
              65536 - 19660,
              {{0, kBlue}, {13106, kBlue}, {13107, kBlack}, {19660, kWhite}, {65535, kWhite}}},
             {0, 0, 2, {{0, kBlack}, {65534, kWhite}, {65535, kWhite}}},
             {65535, 0, 1, {{0, kBlue}, {65534, kBlue}, {65535, kWhite}}},
             {65500, 50, 1, {{65499, kBlue}, {65500, kBlack}, {65535, kWhite}}},
         }) {
        WaterfallColorMap map;
        map.setBlackLevel(c.black);
        map.setColorGain(c.gain);
        EXPECT_EQ(map.setupColorGradient(), c.highCount)
            << "black " << c.black << " gain " << c.gain;
        ASSERT_TRUE(map.exists());
        EXPECT_EQ(map.lowColor(), kBlue);
        EXPECT_EQ(map.highColor(), kWhite);
        for (const auto& [value, entry] : c.entries) {
            EXPECT_EQ(map.entries()[value], entry)
                << "value " << value << ", black " << c.black << " gain " << c.gain;
        }
    }
}

TEST(WaterfallColorMap, DebugLogsTheThresholdsAndTheBuild) {
    test::LogCapture log;
    WaterfallColorMap map;
    map.setBlackLevel(13107);
    map.setColorGain(50);
    map.setupColorGradient();
    EXPECT_TRUE(log.lines().empty()) << "nothing without debug";
    map.setDebug(true);
    map.setupColorGradient();
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "calculateHighThreshold:low:13107 high:19660",
                               "setupColorGradient:45876 lowThreshold:13107 highThreshold:19660"}));
}

TEST(WaterfallColorMap, BlackLevelPercentRoundsHalvesAwayFromZero) {
    EXPECT_EQ(blackLevelFromPercent(50), 32768);  // 32767.5
    EXPECT_EQ(blackLevelFromPercent(20), 13107);
    EXPECT_EQ(blackLevelFromPercent(100), 65535);
    EXPECT_EQ(blackLevelFromPercent(100.00000000000004), 65535) << "e^ln 100 is held at the top";
    EXPECT_EQ(blackLevelFromPercent(-3), 0);
    EXPECT_EQ(blackLevelPercent(32768), 50);
    EXPECT_EQ(blackLevelPercent(327), 0);  // 0.499
    EXPECT_EQ(blackLevelPercent(328), 1);  // 0.5005
    EXPECT_EQ(blackLevelPercent(65535), 100);
}

}  // namespace
}  // namespace vm
