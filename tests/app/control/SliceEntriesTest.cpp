// The numbers a slice panel reads from text before it hands them to the radio: only a whole
// number in range passes.
#include "app/control/SliceEntries.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

TEST(SliceEntries, ToneOffsetAndChannelPassOnlyAsNumbersInRange) {
    using entries::daxChannel;
    using entries::repeaterOffset;
    using entries::toneFrequency;
    const struct {
        const char* text;
        std::optional<float> tone;
        std::optional<float> offset;
        std::optional<std::int64_t> dax;
    } cases[] = {
        {"100.0", 100.0f, 100.0f, std::nullopt},
        {"67.0", 67.0f, 67.0f, std::nullopt},
        {"254.1", 254.1f, std::nullopt, std::nullopt},
        {"66.9", std::nullopt, 66.9f, std::nullopt},
        {"254.2", std::nullopt, std::nullopt, std::nullopt},
        {" 0.600 ", std::nullopt, 0.6f, std::nullopt},
        {"5", std::nullopt, 5.0f, 5},
        {"0", std::nullopt, 0.0f, 0},
        {"8", std::nullopt, 8.0f, 8},
        {"9", std::nullopt, 9.0f, std::nullopt},
        {"None", std::nullopt, std::nullopt, 0},
        {"-0.6", std::nullopt, std::nullopt, std::nullopt},
        {"100.001", 100.001f, std::nullopt, std::nullopt},
        {"2.5", std::nullopt, 2.5f, std::nullopt},
        {"", std::nullopt, std::nullopt, std::nullopt},
        {"   ", std::nullopt, std::nullopt, std::nullopt},
        {"abc", std::nullopt, std::nullopt, std::nullopt},
        {"0.6 MHz", std::nullopt, std::nullopt, std::nullopt},
        {"1,5", std::nullopt, std::nullopt, std::nullopt},
        {"nan", std::nullopt, std::nullopt, std::nullopt},
        {"inf", std::nullopt, std::nullopt, std::nullopt},
        {"1e400", std::nullopt, std::nullopt, std::nullopt},
        {"0x5", std::nullopt, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("'") + c.text + "'");
        EXPECT_EQ(toneFrequency(c.text), c.tone);
        EXPECT_EQ(repeaterOffset(c.text), c.offset);
        EXPECT_EQ(daxChannel(c.text), c.dax);
    }
}

}  // namespace
}  // namespace vm
