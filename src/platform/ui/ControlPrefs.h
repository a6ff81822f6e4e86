#pragma once
// Restoring controls from the standard defaults. Each does nothing when the control is null or the
// key is empty; none sends the control's action.
#include <string>

class QTabWidget;

namespace vm {

class CheckBox;
class PopUpButton;
class Slider;

// The stored integer, or 50 when nothing is stored.
void setSliderWithPref(Slider* control, const std::string& key);
// The stored tab index, clamped to the tabs there are; nothing when no index is stored.
void safeSelectTabViewWithPref(QTabWidget* tabView, const std::string& key);
// The stored boolean, or `defaultState` when nothing is stored.
void setCheckBoxWithPrefAndDefault(CheckBox* button, const std::string& key, bool defaultState);
// The item with the stored title, else the first item; nothing on a pop-up without items.
void setPopupWithPrefTitle(PopUpButton* popup, const std::string& key);

}  // namespace vm
