#pragma once
// The preferences' Amplifier tab: the amplifier's mode and interlock, and its four meters (hidden
// until the amplifier reports them).
#include "app/windows/PreferencesPage.h"

#include <array>

class QLabel;
class QString;

namespace vm {

class LevelIndicator;
class PopUpButton;

class AmplifierPrefsPage : public PreferencesPage {
public:
    explicit AmplifierPrefsPage(QWidget* parent = nullptr);

    // Meter 1 to 4 (forward power, return loss, current drain, temperature): its bar shown with
    // the value (0 to 32 segments), its label and tool tip. Other numbers are ignored.
    void showAmpMeter(int number, double bar, const QString& text, const QString& toolTip);

private:
    std::array<LevelIndicator*, 4> ampMeters{};  // amp_meter_1 ... amp_meter_4
    std::array<QLabel*, 4> ampMeterLabels{};     // amp_meter_label_1 ... amp_meter_label_4
    PopUpButton* amplifierInterlockPopup;
    QLabel* amplifierInterlockText;
};

}  // namespace vm
