#include "platform/ui/Menu.h"

namespace vm {

Menu::Menu(const std::string& title, QWidget* parent)
    : QMenu(QString::fromStdString(title), parent) {}

MenuItem* Menu::addItem(const std::string& title, MenuItem::Action action,
                        const QKeySequence& keyEquivalent) {
    return addItem(new MenuItem(title, std::move(action), keyEquivalent));
}

MenuItem* Menu::addItem(MenuItem* item) {
    item->setParent(this);
    addAction(item);
    return item;
}

MenuItem* Menu::addSeparatorItem() { return addItem(MenuItem::separatorItem()); }

void Menu::removeAllItems() { clear(); }

MenuItem* Menu::itemAtIndex(int index) const {
    const QList<QAction*> items = actions();
    if (index < 0 || index >= items.size()) {
        return nullptr;
    }
    return dynamic_cast<MenuItem*>(items[index]);
}

MenuItem* Menu::itemWithTag(int tag) const {
    for (QAction* action : actions()) {
        if (auto* item = dynamic_cast<MenuItem*>(action);
            item && !item->isSeparator() && item->tag() == tag) {
            return item;
        }
    }
    return nullptr;
}

std::unique_ptr<Menu> Menu::copy() const {
    auto menu = std::make_unique<Menu>(title());
    for (QAction* action : actions()) {
        if (auto* item = dynamic_cast<MenuItem*>(action)) {
            menu->addItem(item->copy());
        }
    }
    return menu;
}

}  // namespace vm
