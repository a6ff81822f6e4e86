#include "app/windows/PreferenceRows.h"

#include "platform/ui/CheckBox.h"
#include "platform/ui/ControlPrefs.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Slider.h"

#include <QTabWidget>

#include <utility>

namespace vm {

void PreferenceRows::checkBox(CheckBox* box, std::string key, bool defaultState) {
    rows_.push_back({[box, key = std::move(key), defaultState] {
                         setCheckBoxWithPrefAndDefault(box, key, defaultState);
                     },
                     [box, defaultState] { box->setState(defaultState); }});
}

void PreferenceRows::popUp(PopUpButton* popup, std::string key) {
    rows_.push_back({[popup, key = std::move(key)] { setPopupWithPrefTitle(popup, key); },
                     [popup] {
                         if (popup->numberOfItems() > 0) {
                             popup->selectItemAtIndex(0);
                         }
                     }});
}

void PreferenceRows::slider(Slider* slider, std::string key) {
    rows_.push_back({[slider, key = std::move(key)] { setSliderWithPref(slider, key); },
                     [slider] { slider->setIntValue(50); }});
}

void PreferenceRows::tabView(QTabWidget* tabs, std::string key) {
    rows_.push_back({[tabs, key = std::move(key)] { safeSelectTabViewWithPref(tabs, key); },
                     [tabs] {
                         if (tabs->count() > 0) {
                             tabs->setCurrentIndex(0);
                         }
                     }});
}

void PreferenceRows::restore() const {
    for (const Row& row : rows_) {
        row.restore();
    }
}

void PreferenceRows::defaults() const {
    for (const Row& row : rows_) {
        row.reset();
    }
}

}  // namespace vm
