#pragma once
// A menu of MenuItems, built in code: items are found by position (separators count) or tag,
// sub-menus are installed on items at run time, and copy() gives an independent menu with the
// same items. `aboutToShow` (from QMenu) is the moment to bring items up to date.
#include "platform/ui/MenuItem.h"

#include <QMenu>

#include <memory>
#include <string>

namespace vm {

class Menu : public QMenu {
public:
    explicit Menu(const std::string& title = {}, QWidget* parent = nullptr);

    std::string title() const { return QMenu::title().toStdString(); }

    // The menu owns its items.
    MenuItem* addItem(const std::string& title, MenuItem::Action action = {},
                      const QKeySequence& keyEquivalent = {});
    MenuItem* addItem(MenuItem* item);
    MenuItem* addSeparatorItem();
    // Deletes the items.
    void removeAllItems();

    int numberOfItems() const { return int(actions().size()); }
    // nullptr out of range.
    MenuItem* itemAtIndex(int index) const;
    MenuItem* itemWithTag(int tag) const;

    std::unique_ptr<Menu> copy() const;
};

}  // namespace vm
