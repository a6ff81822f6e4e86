#pragma once
// A menu item: a title, an action called with the item itself, a tag, an on/off state shown as a
// check mark, a represented object, a key equivalent and an optional sub-menu, which the item
// owns. Choosing the item does not change its state: the action decides. Enabling is the
// controller's: an item is enabled or not as it was last set.
#include <QAction>
#include <QKeySequence>

#include <any>
#include <functional>
#include <memory>
#include <string>

namespace vm {

class Menu;

class MenuItem : public QAction {
public:
    using Action = std::function<void(MenuItem&)>;

    explicit MenuItem(const std::string& title = {}, Action action = {},
                      const QKeySequence& keyEquivalent = {}, QObject* parent = nullptr);
    ~MenuItem() override;
    static MenuItem* separatorItem(QObject* parent = nullptr);

    std::string title() const { return text().toStdString(); }
    void setTitle(const std::string& title) { setText(QString::fromStdString(title)); }
    void setAction(Action action) { action_ = std::move(action); }
    const Action& action() const { return action_; }
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    bool state() const { return state_; }
    void setState(bool on);
    const std::any& representedObject() const { return object_; }
    void setRepresentedObject(std::any object) { object_ = std::move(object); }
    void setKeyEquivalent(const QKeySequence& key) { setShortcut(key); }

    Menu* submenu() const { return submenu_.get(); }
    // Replaces the sub-menu; the previous one is deleted once it has closed.
    void setSubmenu(std::unique_ptr<Menu> submenu);

    // A new item with the same title, action, tag, state, represented object, key equivalent,
    // enabling and a copy of the sub-menu; later changes to either leave the other as it is.
    MenuItem* copy(QObject* parent = nullptr) const;

    // Calls the action, as choosing the item does.
    void performAction();

private:
    struct MenuDeleter {
        void operator()(Menu* menu) const;
    };

    Action action_;
    int tag_ = 0;
    bool state_ = false;
    std::any object_;
    std::unique_ptr<Menu, MenuDeleter> submenu_;
};

}  // namespace vm
