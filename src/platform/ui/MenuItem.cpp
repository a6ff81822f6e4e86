#include "platform/ui/MenuItem.h"

#include "platform/ui/Menu.h"

namespace vm {

MenuItem::MenuItem(const std::string& title, Action action, const QKeySequence& keyEquivalent,
                   QObject* parent)
    : QAction(QString::fromStdString(title), parent), action_(std::move(action)) {
    setShortcut(keyEquivalent);
    connect(this, &QAction::triggered, this, [this] {
        setChecked(
            state_);  // a checkable action flips itself on a click; the item's state does not
        performAction();
    });
}

MenuItem::~MenuItem() = default;

MenuItem* MenuItem::separatorItem(QObject* parent) {
    auto* item = new MenuItem({}, {}, {}, parent);
    item->setSeparator(true);
    return item;
}

void MenuItem::setState(bool on) {
    // Only an item that is on shows a mark; an off item looks like a plain one.
    state_ = on;
    if (on) {
        setCheckable(true);
        setChecked(true);
    } else {
        setChecked(false);
        setCheckable(false);
    }
}

void MenuItem::setSubmenu(std::unique_ptr<Menu> submenu) {
    submenu_.reset(submenu.release());
    setMenu(submenu_.get());
}

void MenuItem::MenuDeleter::operator()(Menu* menu) const {
    if (menu) {
        menu->deleteLater();
    }
}

MenuItem* MenuItem::copy(QObject* parent) const {
    auto* item = new MenuItem(title(), action_, shortcut(), parent);
    item->setSeparator(isSeparator());
    item->setTag(tag_);
    item->setState(state_);
    item->setRepresentedObject(object_);
    item->setEnabled(isEnabled());
    item->setToolTip(toolTip());
    if (submenu_) {
        item->setSubmenu(submenu_->copy());
    }
    return item;
}

void MenuItem::performAction() {
    if (action_) {
        action_(*this);
    }
}

}  // namespace vm
