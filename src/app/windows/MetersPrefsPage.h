#pragma once
// The preferences' Meters tab: the radio's meters of one source, 28 slots of a bar and its label.
#include "app/windows/PreferencesPage.h"

#include <array>

class QLabel;

namespace vm {

class LevelIndicator;
class PopUpButton;

class MetersPrefsPage : public PreferencesPage {
public:
    explicit MetersPrefsPage(QWidget* parent = nullptr);

private:
    PopUpButton* meterPanelPopUp;
    std::array<LevelIndicator*, 28> meters{};  // meter_1 ... meter_28
    std::array<QLabel*, 28> meterLabels{};     // meter_1_Label ... meter_28_Label
};

}  // namespace vm
