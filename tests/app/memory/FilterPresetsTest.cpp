// The filter presets of the slice panels: the table's shape, look-ups within one mode, and the
// entry that matches a slice's filter.
#include "app/memory/FilterPresets.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

class FilterPresets : public ::testing::Test {
protected:
    void SetUp() override { presets.setupPresetDictionary(); }
    PresetDictionary presets;
};

TEST_F(FilterPresets, NineModesOfEightPresetsEvenWhenBuiltTwice) {
    presets.setupPresetDictionary();
    EXPECT_EQ(presets.modeCount(), 9u);
    for (const char* mode : {"CW", "USB", "LSB", "AM", "SAM", "DFM", "DIGU", "DIGL", "RTTY"}) {
        ASSERT_NE(presets.presetsForMode(mode), nullptr) << mode;
        EXPECT_EQ(presets.presetsForMode(mode)->size(), 8u) << mode;
    }
    EXPECT_EQ(presets.popupTitles("USB"),
              (std::vector<std::string>{"1.6K", "1.8K", "2.1K", "2.4K", "2.7K", "2.9K", "3.3K",
                                        "4.0K", "Other"}));
    EXPECT_EQ(presets.popupTitles("FM"), (std::vector<std::string>{"Other"}));
}

// The shapes of the table: USB starts at +100 Hz and LSB mirrors it; the symmetric modes are
// symmetric; DIGU is centred on 1500 Hz and DIGL on -2210 Hz up to their wide entries; RTTY on
// -85 Hz.
TEST_F(FilterPresets, EachModeKeepsItsShape) {
    const auto& usb = *presets.presetsForMode("USB");
    const auto& lsb = *presets.presetsForMode("LSB");
    for (std::size_t i = 0; i < usb.size(); ++i) {
        EXPECT_EQ(usb[i].lo, 100);
        EXPECT_EQ(lsb[i], (Preset{usb[i].title, -usb[i].hi, -usb[i].lo}));
    }
    for (const char* mode : {"AM", "SAM", "DFM"}) {
        for (const Preset& preset : *presets.presetsForMode(mode)) {
            EXPECT_EQ(preset.lo, -preset.hi) << mode << " " << preset.title;
        }
    }
    const struct {
        const char* mode;
        int centreTwice;
        std::size_t centred;  // how many presets, from the first, are centred
    } centred[] = {{"DIGU", 3000, 6}, {"DIGL", -4420, 7}, {"RTTY", -170, 8}, {"CW", 0, 6}};
    for (const auto& c : centred) {
        const auto& list = *presets.presetsForMode(c.mode);
        for (std::size_t i = 0; i < c.centred; ++i) {
            EXPECT_EQ(list[i].lo + list[i].hi, c.centreTwice) << c.mode << " " << list[i].title;
        }
    }
    EXPECT_EQ(presets.presetsForMode("CW")->back(), (Preset{"3.0K", -600, 2400}));
    EXPECT_EQ(presets.presetsForMode("DIGU")->back(), (Preset{"5.0K", 0, 5000}));
    EXPECT_EQ(presets.presetsForMode("DIGL")->back(), (Preset{"5.0K", -5000, 0}));
}

TEST_F(FilterPresets, ATitleIsLookedUpWithinItsModeOnly) {
    const struct {
        const char* title;
        const char* mode;
        std::optional<Preset> expected;
    } cases[] = {
        {"2.7K", "USB", Preset{"2.7K", 100, 2800}},
        {"1.0K", "CW", Preset{"1.0K", -500, 500}},
        {"1.0K", "DIGU", Preset{"1.0K", 1000, 2000}},
        {"1.0K", "DIGL", Preset{"1.0K", -2710, -1710}},
        {"1.0K", "RTTY", Preset{"1.0K", -585, 415}},
        {"1.0K", "USB", std::nullopt},
        {"2.7K", "usb", std::nullopt},
        {"2.7k", "USB", std::nullopt},
        {"Other", "USB", std::nullopt},
        {"", "USB", std::nullopt},
        {"2.7K", "", std::nullopt},
        {"6.0K", "FM", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(presets.presetForTitle(c.title, c.mode), c.expected)
            << "'" << c.title << "' in '" << c.mode << "'";
    }
}

TEST_F(FilterPresets, TheSlicesFilterPicksItsPresetOrOther) {
    EXPECT_EQ(presets.titleForFilter("USB", 100, 2800), "2.7K");
    EXPECT_EQ(presets.titleForFilter("USB", 100, 2750), "Other");
    EXPECT_EQ(presets.titleForFilter("LSB", 100, 2800), "Other") << "edges of another mode";
    EXPECT_EQ(presets.titleForFilter("DIGL", -5000, 0), "5.0K");
    EXPECT_EQ(presets.titleForFilter("FM", -8000, 8000), std::nullopt);
    EXPECT_EQ(presets.titleForFilter("usb", 100, 2800), std::nullopt);
}

TEST(FilterPresetsUnbuilt, KnowNoModeBeforeTheTableIsBuilt) {
    const PresetDictionary empty;
    EXPECT_EQ(empty.presetsForMode("USB"), nullptr);
    EXPECT_EQ(empty.popupTitles("USB"), (std::vector<std::string>{"Other"}));
}

}  // namespace
}  // namespace vm
