// The panadapter's grid steps and lines, and its slice flags' texts and places.
#include "display/views/PanadapterGrid.h"
#include "display/views/PanadapterSliceFlags.h"
#include "objects/Slice.h"
#include "util/VMMegahertzFormatter.h"

#include "DisplayTestSupport.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

TEST(PanadapterGrid, NiceSteps) {
    struct Case {
        const char* name;
        double range;
        int ticks;
        double step;
    };
    const Case cases[] = {
        {"2.5 taken on equality", 0.25, 11, 0.025},
        {"4", 0.25, 9, 0.04},
        {"10", 0.5, 6, 0.1},
        // The span is the single-precision bandwidth widened: raw / p is a little above 2.
        {"single-precision 0.2", double(0.2f), 11, 0.025},
        {"exact 0.2", 0.2, 11, 0.02},
        {"levels", 100, 10, 20},
        {"a setting of 1 counts as 2", 0.2, 1, 0.2},
        {"a setting of 0 too", 0.2, 0, 0.2},
        {"no range", 0, 10, 0},
        {"not a number", std::nan(""), 10, 0},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(niceTickStep(c.range, c.ticks), c.step, 1e-12) << c.name;
    }
}

TEST(PanadapterGrid, FrequencyAndLevelLines) {
    // Span 0.04 MHz from 14.0731: four-decimal labels from the start rounded to 0.001 MHz.
    auto narrow = frequencyGridMarks(14.0931, 0.04, 10);
    ASSERT_FALSE(narrow.empty());
    EXPECT_EQ(narrow[0].label, "14.0730");
    EXPECT_NEAR(narrow[0].offset, -0.0001, 1e-9) << "left of the view's edge";
    EXPECT_EQ(narrow[1].label, "14.0780");  // step 0.005
    // Span 0.2 MHz from 14.0037: three decimals from the start rounded to 0.01 MHz.
    auto wide = frequencyGridMarks(14.1037, 0.2, 11);
    EXPECT_EQ(wide[0].label, "14.000");
    EXPECT_EQ(wide[1].label, "14.020");
    EXPECT_EQ(wide.size(), 10u);
    EXPECT_TRUE(frequencyGridMarks(14.1, 0, 10).empty());
    EXPECT_EQ(frequencyGridMarks(14.1, 0.2, 1).size(), 1u) << "one division";

    auto levels = levelGridMarks(-140, -40, 10);
    ASSERT_EQ(levels.size(), 5u);
    EXPECT_EQ(levels[0].label, "-140 dBm");
    EXPECT_EQ(levels[0].offset, 0) << "on the bottom edge";
    EXPECT_EQ(levels[1].label, "-120 dBm");
    EXPECT_DOUBLE_EQ(levels[1].offset, 0.2);
    EXPECT_TRUE(levelGridMarks(-50, -50, 10).empty());
}

TEST(PanadapterSliceFlags, Texts) {
    auto link = std::make_shared<test::RecordingLink>();
    VMMegahertzFormatter formatter;
    auto slice = Slice::create(link, 1);
    slice->sliceRxAnt.set(std::string("ANT2"));
    slice->sliceTxAnt.set(std::string("ANT1"));
    EXPECT_EQ(sliceFlagText(*slice, 14.074, formatter), "B 14.074.00 ANT2") << "receive antenna";
    slice->sliceTxEnabled.set(true);
    slice->detached.set(1);
    slice->sliceLocked.set(true);
    EXPECT_EQ(sliceFlagText(*slice, 14.074, formatter), "B 14.074.00 TX \u00D8 \u2716\uFE0E ANT1");
}

TEST(PanadapterSliceFlags, Places) {
    const QSizeF size(100, 20);
    const double w = 1000;
    const double h = 300;
    // Left half: right of the line; at the centre and right of it: left of the line.
    EXPECT_EQ(placeSliceFlag(200.7, w, h, size, {}), QRectF(205, 280, 100, 20));
    EXPECT_EQ(placeSliceFlag(500, w, h, size, {}), QRectF(394, 280, 100, 20));
    // Overlapping flags take rows 1, 2 and 3; a fourth shares row 3.
    std::vector<QRectF> placed;
    for (const double x : {600.0, 620.0, 640.0, 660.0}) {
        placed.push_back(placeSliceFlag(x, w, h, size, placed));
    }
    EXPECT_EQ(placed[0].y(), 280);
    EXPECT_EQ(placed[1].y(), 260);
    EXPECT_EQ(placed[2].y(), 240);
    EXPECT_EQ(placed[3].y(), 240);
    // Flags that only touch do not overlap.
    EXPECT_EQ(placeSliceFlag(800, w, h, size, {QRectF(800, 280, 100, 20)}).y(), 280);
}

}  // namespace
}  // namespace vm
