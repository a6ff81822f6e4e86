// The arithmetic of pointer tuning and the checks between a spot and the slice commands and the
// lookup script.
#include "display/views/PointerTuning.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vm::pointer_tuning {
namespace {

TEST(PointerTuning, ThePointerFrequencyIsRoundedToTheGridOfTheModifiersAndMode) {
    struct Case {
        const char* name;
        bool shift;
        bool control;
        const char* mode;
        double mhz;
        const char* text;
    };
    for (const Case& c : {
             Case{"usb_100_hz", false, false, "USB", 14.07456, "14.074600"},
             Case{"usb_shift_10_hz", true, false, "USB", 14.07456, "14.074560"},
             Case{"usb_control_10_khz", false, true, "USB", 14.07456, "14.070000"},
             Case{"shift_wins_over_control", true, true, "USB", 14.07456, "14.074560"},
             Case{"cw_10_hz", false, false, "CW", 14.07456, "14.074560"},
             Case{"digu_shift_1_hz", true, false, "DIGU", 14.0745612, "14.074561"},
             Case{"rtty_control_1_khz", false, true, "RTTY", 14.07456, "14.075000"},
             Case{"lsb_halves_away_from_zero", false, false, "LSB", 7.03125, "7.031300"},
         }) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(roundedFrequencyText(c.mhz, tuningFactor(c.shift, c.control, c.mode)), c.text);
    }
}

TEST(PointerTuning, PointerFrequencyAndSplitBarSteps) {
    EXPECT_DOUBLE_EQ(pointerMHz(14.1, 0.2, 0, 1000), 14.0);
    EXPECT_DOUBLE_EQ(pointerMHz(14.1, 0.2, 1000, 1000), 14.2);
    EXPECT_DOUBLE_EQ(pointerMHz(14.1, 0.2, 500, 0), 14.0) << "a view without a width";
    EXPECT_EQ(pixelsToMHz(10, 0, 0.2), 0);
    EXPECT_EQ(mhzToPixels(0.2, 1000, 0), 0);
    // 50 points down in five steps of a 500-point window: -10 percent in all.
    double sum = 0;
    for (int i = 0; i < 5; ++i) {
        sum += splitDragPercent(10, 500);
    }
    EXPECT_DOUBLE_EQ(sum, -10);
    EXPECT_DOUBLE_EQ(splitDragPercent(-25, 500), 5);
    EXPECT_EQ(splitDragPercent(0, 500), 0);
    EXPECT_EQ(splitDragPercent(10, 0), 0) << "no window height, no division by zero";
}

TEST(PointerTuning, OneWheelStepPerAxis) {
    EXPECT_EQ(wheelSteps(1, 1, 100), (std::vector<double>{100, -100}));
    EXPECT_EQ(wheelSteps(-240, -360, 10), (std::vector<double>{-10, 10}));
    EXPECT_TRUE(wheelSteps(0, 0, 100).empty());
}

TEST(PointerTuning, ASpotModeReachesTheSliceOnlyWhenItIsOneOfItsModes) {
    const List modes = TextList{"LSB", "USB", "CW", "DIGU"};
    EXPECT_EQ(spotModeForSlice("CW", modes), "CW");
    for (const char* mode : {"FT8", "cw", "", "CW ", "USB mode=AM", "CW\n", "CW\r"}) {
        EXPECT_FALSE(spotModeForSlice(mode, modes)) << '"' << mode << '"';
    }
    EXPECT_FALSE(spotModeForSlice("CW", std::nullopt)) << "a slice that listed no modes";
    // Even a listed mode is refused when it could split the command.
    EXPECT_FALSE(spotModeForSlice("USB x", TextList{"USB x"}));
}

TEST(PointerTuning, SpotFrequencyTextHasAtMostSixSignificantDigits) {
    EXPECT_EQ(spotFrequencyText(14.0745), "14.0745");
    EXPECT_EQ(spotFrequencyText(1296.1005), "1296.1");
    for (double bad : {0.0, -7.1, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity()}) {
        EXPECT_FALSE(spotFrequencyText(bad)) << bad;
    }
}

TEST(PointerTuning, TheLookupScriptQuotesOnlyPlainCallSigns) {
    EXPECT_EQ(lookupScript("DL1ABC/P"),
              "Tell application \"Tarvelo\"\nlookup \"DL1ABC/P\"\nend tell\n");
    EXPECT_EQ(lookupScript("VE3 W1AW"),
              "Tell application \"Tarvelo\"\nlookup \"VE3-W1AW\"\nend tell\n");
    for (const char* call : {"", "W1AW\" & (do shell script \"touch /tmp/x\") & \"", "W1AW\\",
                             "W1AW\nend tell", "K1\xC3\xA9T", "W1AW\t"}) {
        EXPECT_FALSE(lookupScript(call)) << call;
    }
}

}  // namespace
}  // namespace vm::pointer_tuning
