// The slice panels' filter pop-ups: filled with the presets of the slice's mode, and showing the
// preset that equals the slice's filter, or "Other".
#include "ConnectingFixture.h"

#include "app/windows/SlicePanel.h"
#include "objects/Slice.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using FilterPresetPopups = test::ConnectingFixture;
using Strings = std::vector<std::string>;

Strings titles(const PopUpButton& popup) {
    Strings items;
    for (int i = 0; i < popup.count(); ++i) {
        items.push_back(popup.itemText(i).toStdString());
    }
    return items;
}

std::shared_ptr<Slice> sliceWith(int number, const char* mode, int lo, int hi) {
    auto slice = Slice::create(nullptr, number);
    slice->sliceMode.store(std::string(mode));
    slice->sliceFilterLo.store(lo);
    slice->sliceFilterHi.store(hi);
    return slice;
}

TEST_F(FilterPresetPopups, EachPanelListsItsModesPresetsThenOther) {
    launch();
    controller->loadPresetFiltersForVFO(2, "CW");
    EXPECT_EQ(titles(*controller->slicePanels[2]->filterPresetPopup),
              (Strings{"50", "100", "250", "400", "800", "1.0K", "1.5K", "3.0K", "Other"}));
    controller->loadPresetFiltersForVFO(3, "FM");
    EXPECT_EQ(titles(*controller->slicePanels[3]->filterPresetPopup), Strings{"Other"});

    // Refilled, not appended to; no mode or no such panel changes nothing.
    controller->loadPresetFiltersForVFO(2, "DIGU");
    EXPECT_EQ(titles(*controller->slicePanels[2]->filterPresetPopup).front(), "100");
    EXPECT_EQ(controller->slicePanels[2]->filterPresetPopup->count(), 9);
    controller->loadPresetFiltersForVFO(2, "");
    controller->loadPresetFiltersForVFO(4, "USB");
    controller->loadPresetFiltersForVFO(-1, "USB");
    EXPECT_EQ(titles(*controller->slicePanels[2]->filterPresetPopup).front(), "100");
}

TEST_F(FilterPresetPopups, TheSlicesFilterSelectsItsPresetOrOther) {
    launch();
    PopUpButton& popup = *controller->slicePanels[1]->filterPresetPopup;
    controller->loadPresetFiltersForVFO(1, "USB");
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
        controller->setPresetPopupBasedOnFilter(sliceWith(1, c.mode, c.lo, c.hi));
        EXPECT_EQ(popup.title(), c.shown) << c.mode << " " << c.lo << ".." << c.hi;
    }
}

TEST_F(FilterPresetPopups, ASliceWithoutAPanelIsOnlyLogged) {
    launch();
    for (int panel = 0; panel < 4; ++panel) {
        controller->loadPresetFiltersForVFO(panel, "USB");
        controller->slicePanels[panel]->filterPresetPopup->selectItemWithTitle("1.6K");
    }
    test::LogCapture capture;
    controller->setPresetPopupBasedOnFilter(sliceWith(5, "USB", 100, 2800));
    EXPECT_TRUE(capture.contains(
        "setPresetPopupBasedOnFilter:Slice:5 Low:100 Hi:2800 Slice number out of range"));
    for (int panel = 0; panel < 4; ++panel) {
        EXPECT_EQ(controller->slicePanels[panel]->filterPresetPopup->title(), "1.6K");
    }
    EXPECT_EQ(controller->presetForTitle("2.7K", "USB"), (Preset{"2.7K", 100, 2800}))
        << "the table is built at launch";
}

}  // namespace
}  // namespace vm
