// The slice menu brought up to date as it opens, in the launched application: the A/B items,
// "Add Slice", the check marks of the per-slice items and the band of the panadapter under the
// heads-up display.
#include "ObserverFixture.h"

#include "app/windows/MainMenus.h"
#include "platform/ui/MenuItem.h"
#include "radio/Radio.h"

namespace vm {
namespace {

class VfoMenuOpening : public test::ObserverFixture {
protected:
    Menu& menu() { return *controller->menus->shortcutsMenu; }
    bool enabled(int index) { return menu().itemAtIndex(index)->isEnabled(); }
    void open() { emit menu().aboutToShow(); }
};

TEST_F(VfoMenuOpening, SlicesAAndCWithoutBLeaveOnlyTheSubmenusEnabled) {
    boundSlice(0);
    boundSlice(2);
    open();
    for (const int item : {6, 7, 8}) {
        EXPECT_FALSE(enabled(item)) << item << " needs slices A and B";
    }
    for (const int item : {14, 15, 16}) {
        EXPECT_TRUE(enabled(item)) << item << " needs slice A or B";
    }
    EXPECT_FALSE(controller->menus->vfoAddMenuItem->isEnabled()) << "no radio open";

    boundSlice(1);
    open();
    for (const int item : {6, 7, 8, 14, 15, 16}) {
        EXPECT_TRUE(enabled(item)) << item;
    }
}

TEST_F(VfoMenuOpening, AddSliceTheMarksAndTheCentringItemFollowTheRadio) {
    openRadio();
    controller->openRadio->availableSlices.store(1);
    // The per-slice items carry the slice number as their tag.
    for (MenuItem* holder :
         {controller->menus->transmitShortcutsMenu, controller->menus->transmitContextMenu}) {
        auto submenu = std::make_unique<Menu>("transmit");
        submenu->addItem("Slice A")->setTag(0);
        submenu->addItem("Slice C")->setTag(2);
        holder->setSubmenu(std::move(submenu));
    }
    boundSlice(0, [](Slice& s) { s.sliceTxEnabled.store(false); });
    boundSlice(2, [](Slice& s) { s.sliceTxEnabled.store(true); });
    auto pan = Panafall::create(link, "0x40000000");
    pan->center.store(14.1f);
    controller->hudOverPanafall = pan;

    open();
    EXPECT_TRUE(controller->menus->vfoAddMenuItem->isEnabled());
    for (MenuItem* holder :
         {controller->menus->transmitShortcutsMenu, controller->menus->transmitContextMenu}) {
        EXPECT_FALSE(holder->submenu()->itemWithTag(0)->state());
        EXPECT_TRUE(holder->submenu()->itemWithTag(2)->state());
    }
    EXPECT_EQ(menu().itemAtIndex(4)->title(), "Center 20M Panadapter over");
    EXPECT_TRUE(enabled(4));

    // No slice to spare, and no panadapter under the heads-up display.
    controller->openRadio->availableSlices.store(0);
    controller->hudOverPanafall = nullptr;
    open();
    EXPECT_FALSE(controller->menus->vfoAddMenuItem->isEnabled());
    EXPECT_FALSE(enabled(4));
}

}  // namespace
}  // namespace vm
