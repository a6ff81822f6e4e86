#pragma once
// The stored preferences of a preferences page or window, as rows: the control, its key and the
// key's own default. Restoring and returning to the defaults read the same rows, so a key and its
// default are written once. Check boxes restore the stored boolean or integer, pop-ups the item of
// the stored title, sliders the stored integer, tab views the stored index; none of them sends
// the control's action.
#include <functional>
#include <string>
#include <vector>

class QTabWidget;

namespace vm {

class CheckBox;
class PopUpButton;
class Slider;

class PreferenceRows {
public:
    void checkBox(CheckBox* box, std::string key, bool defaultState);
    // The default is the first item.
    void popUp(PopUpButton* popup, std::string key);
    // The default is 50.
    void slider(Slider* slider, std::string key);
    // Nothing stored leaves the tab view as it is; the default is the first tab.
    void tabView(QTabWidget* tabs, std::string key);

    // Each control from its key, or from the key's default when nothing is stored.
    void restore() const;
    // Each control at its key's default.
    void defaults() const;

private:
    struct Row {
        std::function<void()> restore;
        std::function<void()> reset;
    };
    std::vector<Row> rows_;
};

}  // namespace vm
