#pragma once
// The Window menu: one entry per window added to it, titled as the caller says; choosing an entry
// brings its window to the front as the key window. Adding a window again only retitles its entry;
// a window's entry goes when the window is destroyed.
#include "platform/ui/Menu.h"

namespace vm {

class Window;

class WindowMenu : public Menu {
public:
    explicit WindowMenu(QWidget* parent = nullptr);

    void addWindowsItem(Window& window, const std::string& title);
    MenuItem* itemForWindow(const Window& window) const;
};

}  // namespace vm
