#include "platform/ui/Menu.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowMenu.h"

#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace vm {
namespace {

struct Transverter {
    std::string name;
};

// The slice menu as the controller builds it at run time: one item per slice, tagged with the
// slice's number, the transmit slice checked.
std::unique_ptr<Menu> sliceMenu(std::vector<int>& chosen) {
    auto menu = std::make_unique<Menu>("transmit");
    for (int slice : {0, 2, 3}) {
        MenuItem* item =
            menu->addItem(std::string(1, char('A' + slice)),
                          [&chosen](MenuItem& sender) { chosen.push_back(sender.tag()); });
        item->setTag(slice);
        item->setState(slice == 2);
    }
    menu->addSeparatorItem();
    MenuItem* xvtr = menu->addItem("2m", {}, QKeySequence("Ctrl+2"));
    xvtr->setRepresentedObject(std::make_shared<Transverter>(Transverter{"2m"}));
    xvtr->setEnabled(false);
    return menu;
}

TEST(Menu, CopyOfARunTimeMenuKeepsTagsStatesAndObjectsAndStandsAlone) {
    std::vector<int> chosen;
    MenuItem holder("Transmit");
    holder.setSubmenu(sliceMenu(chosen));
    Menu& original = *holder.submenu();
    std::unique_ptr<Menu> copy = original.copy();

    ASSERT_EQ(copy->numberOfItems(), 5);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(copy->itemAtIndex(i)->title(), original.itemAtIndex(i)->title());
        EXPECT_EQ(copy->itemAtIndex(i)->tag(), original.itemAtIndex(i)->tag());
        EXPECT_EQ(copy->itemAtIndex(i)->state(), original.itemAtIndex(i)->state());
    }
    EXPECT_TRUE(copy->itemWithTag(2)->state());
    EXPECT_TRUE(copy->itemAtIndex(3)->isSeparator());
    MenuItem* xvtr = copy->itemAtIndex(4);
    EXPECT_EQ(std::any_cast<std::shared_ptr<Transverter>>(xvtr->representedObject())->name, "2m");
    EXPECT_EQ(xvtr->shortcut(), QKeySequence("Ctrl+2"));
    EXPECT_FALSE(xvtr->isEnabled());

    // Later changes to one leave the other as it was.
    original.itemWithTag(2)->setState(false);
    original.itemWithTag(3)->setState(true);
    original.itemWithTag(0)->setTag(7);
    EXPECT_TRUE(copy->itemWithTag(2)->state());
    EXPECT_FALSE(copy->itemWithTag(3)->state());
    EXPECT_TRUE(copy->itemWithTag(0));

    // Choosing an item of the copy calls the same action with that item; the click does not
    // change the item's state (the action decides).
    copy->itemWithTag(3)->trigger();
    copy->itemWithTag(2)->trigger();
    EXPECT_EQ(chosen, (std::vector<int>{3, 2}));
    EXPECT_FALSE(copy->itemWithTag(3)->state());
    EXPECT_FALSE(copy->itemWithTag(3)->isChecked());
    EXPECT_TRUE(copy->itemWithTag(2)->isChecked());
}

TEST(Menu, ReplacedSubmenuIsDeletedAndPositionsCountSeparators) {
    std::vector<int> chosen;
    MenuItem holder("Transmit");
    holder.setSubmenu(sliceMenu(chosen));
    QPointer<Menu> first = holder.submenu();
    holder.setSubmenu(sliceMenu(chosen));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(holder.menu(), holder.submenu());

    Menu& menu = *holder.submenu();
    EXPECT_EQ(menu.itemAtIndex(4)->title(), "2m");
    EXPECT_EQ(menu.itemAtIndex(5), nullptr);
    EXPECT_EQ(menu.itemAtIndex(-1), nullptr);
    EXPECT_EQ(menu.itemWithTag(9), nullptr);
    menu.removeAllItems();
    EXPECT_EQ(menu.numberOfItems(), 0);
}

TEST(WindowMenu, OneEntryPerWindowThatBringsItToTheFront) {
    WindowMenu menu;
    auto prefs = std::make_unique<Window>();
    Window other;
    menu.addWindowsItem(*prefs, "Preferences");
    menu.addWindowsItem(other, "CWX");
    menu.addWindowsItem(*prefs, "Preferences");
    ASSERT_EQ(menu.numberOfItems(), 2);
    EXPECT_EQ(menu.itemForWindow(*prefs)->title(), "Preferences");

    menu.itemForWindow(*prefs)->trigger();
    EXPECT_TRUE(prefs->isVisible());
    EXPECT_TRUE(QTest::qWaitForWindowActive(prefs.get()));

    prefs.reset();
    EXPECT_EQ(menu.numberOfItems(), 1);
    EXPECT_EQ(menu.itemAtIndex(0)->title(), "CWX");
}

}  // namespace
}  // namespace vm
