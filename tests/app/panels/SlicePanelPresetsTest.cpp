// The slice panel's filter pop-up: filled with the presets of the slice's mode, and showing the
// preset that equals the slice's filter, or "Other".
#include "app/memory/FilterPresets.h"
#include "app/panels/SlicePanelController.h"
#include "app/windows/SlicePanel.h"
#include "objects/Slice.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using Strings = std::vector<std::string>;

Strings titles(const PopUpButton& popup) {
    Strings items;
    for (int i = 0; i < popup.count(); ++i) {
        items.push_back(popup.itemText(i).toStdString());
    }
    return items;
}

std::shared_ptr<Slice> sliceWith(const char* mode, int lo, int hi) {
    auto slice = Slice::create(nullptr, 1);
    slice->sliceMode.store(std::string(mode));
    slice->sliceFilterLo.store(lo);
    slice->sliceFilterHi.store(hi);
    return slice;
}

// Panel B with the presets and no host.
class SlicePanelPresets : public ::testing::Test {
protected:
    void SetUp() override { presets.setupPresetDictionary(); }

    PresetDictionary presets;
    SlicePanel panel{'B'};
    std::shared_ptr<SlicePanelController> controller =
        SlicePanelController::create(1, &panel, presets, {});
    PopUpButton& popup = *panel.filterPresetPopup;
};

TEST_F(SlicePanelPresets, ThePopupListsTheModesPresetsThenOther) {
    controller->loadPresetFiltersForVFO("CW");
    EXPECT_EQ(titles(popup),
              (Strings{"50", "100", "250", "400", "800", "1.0K", "1.5K", "3.0K", "Other"}));
    controller->loadPresetFiltersForVFO("FM");
    EXPECT_EQ(titles(popup), Strings{"Other"});

    // Refilled, not appended to; no mode changes nothing.
    controller->loadPresetFiltersForVFO("DIGU");
    EXPECT_EQ(titles(popup).front(), "100");
    EXPECT_EQ(popup.count(), 9);
    controller->loadPresetFiltersForVFO("");
    EXPECT_EQ(titles(popup).front(), "100");
}

TEST_F(SlicePanelPresets, TheSlicesFilterSelectsItsPresetOrOther) {
    controller->loadPresetFiltersForVFO("USB");
    const struct {
        const char* mode;
        int lo;
        int hi;
        const char* shown;
    } cases[] = {
        {"USB", 100, 2800, "2.7K"}, {"USB", 100, 2750, "Other"}, {"USB", 100, 4100, "4.0K"},
        {"usb", 100, 2800, "4.0K"},  // no presets under that key: the pop-up is left alone
        {"FM", 100, 2800, "4.0K"},
    };
    for (const auto& c : cases) {
        controller->setPresetPopupBasedOnFilter(sliceWith(c.mode, c.lo, c.hi));
        EXPECT_EQ(popup.title(), c.shown) << c.mode << " " << c.lo << ".." << c.hi;
    }
}

}  // namespace
}  // namespace vm
