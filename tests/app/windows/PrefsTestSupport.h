#pragma once
// Reading the preferences pages as a person sees them: a control found by its outlet name, and
// its state in words ("on", a pop-up's title, a slider's value, a tab's index).
#include "platform/core/Defaults.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Slider.h"

#include <QTabWidget>
#include <QWidget>

#include <stdexcept>
#include <string>

namespace vm::test {

template <class Control>
Control& control(const QWidget& within, const char* name) {
    auto* found = within.findChild<Control*>(QString::fromLatin1(name));
    if (!found) {
        throw std::runtime_error(std::string("no control ") + name);
    }
    return *found;
}

inline std::string shown(const QWidget& within, const char* name) {
    QWidget& widget = control<QWidget>(within, name);
    if (auto* box = qobject_cast<CheckBox*>(&widget)) {
        return box->state() ? "on" : "off";
    }
    if (auto* popup = qobject_cast<PopUpButton*>(&widget)) {
        return popup->title();
    }
    if (auto* slider = qobject_cast<Slider*>(&widget)) {
        return std::to_string(static_cast<int>(slider->doubleValue()));
    }
    if (auto* tabs = qobject_cast<QTabWidget*>(&widget)) {
        return "tab " + std::to_string(tabs->currentIndex());
    }
    throw std::runtime_error(std::string("no state to read on ") + name);
}

// Every stored preference removed.
inline void forgetPreferences() {
    Defaults& defaults = Defaults::standard();
    for (const auto& [key, value] : defaults.dictionaryRepresentation()) {
        defaults.remove(key);
    }
}

}  // namespace vm::test
