#include "platform/ui/ControlPrefs.h"

#include "platform/core/Defaults.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Slider.h"

#include <QTabWidget>

#include <algorithm>

namespace vm {

void setSliderWithPref(Slider* control, const std::string& key) {
    if (!control || key.empty()) {
        return;
    }
    control->setIntValue(int(Defaults::standard().integerForKey(key).value_or(50)));
}

void safeSelectTabViewWithPref(QTabWidget* tabView, const std::string& key) {
    if (!tabView || key.empty() || tabView->count() == 0) {
        return;
    }
    if (auto index = Defaults::standard().integerForKey(key)) {
        tabView->setCurrentIndex(int(std::clamp<long long>(*index, 0, tabView->count() - 1)));
    }
}

void setCheckBoxWithPrefAndDefault(CheckBox* button, const std::string& key, bool defaultState) {
    if (!button || key.empty()) {
        return;
    }
    button->setState(Defaults::standard().boolForKey(key).value_or(defaultState));
}

void setPopupWithPrefTitle(PopUpButton* popup, const std::string& key) {
    if (!popup || key.empty() || popup->numberOfItems() < 1) {
        return;
    }
    int index = -1;
    if (auto title = Defaults::standard().stringForKey(key)) {
        index = popup->indexOfItemWithTitle(*title);
    }
    popup->selectItemAtIndex(std::max(index, 0));
}

}  // namespace vm
