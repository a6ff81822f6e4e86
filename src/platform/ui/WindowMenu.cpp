#include "platform/ui/WindowMenu.h"

#include "platform/ui/Window.h"

#include <QPointer>

namespace vm {

namespace {
const char* const kWindowProperty = "vmWindow";
}

WindowMenu::WindowMenu(QWidget* parent) : Menu("Window", parent) {}

MenuItem* WindowMenu::itemForWindow(const Window& window) const {
    for (QAction* action : actions()) {
        if (action->property(kWindowProperty).value<QObject*>() == &window) {
            return dynamic_cast<MenuItem*>(action);
        }
    }
    return nullptr;
}

void WindowMenu::addWindowsItem(Window& window, const std::string& title) {
    if (MenuItem* existing = itemForWindow(window)) {
        existing->setTitle(title);
        return;
    }
    QPointer<Window> target(&window);
    MenuItem* item = addItem(title, [target](MenuItem&) {
        if (target) {
            target->makeKeyAndOrderFront();
        }
    });
    item->setProperty(kWindowProperty, QVariant::fromValue<QObject*>(&window));
    connect(&window, &QObject::destroyed, item, [this, item] {
        removeAction(item);
        item->deleteLater();
    });
}

}  // namespace vm
