#pragma once
// The preferences' Transmit tab: power levels, the transmit filter, voice processing, the
// interlock delays and outputs, and the PTT source.
#include "app/windows/PreferencesPage.h"

#include <array>

class QLabel;

namespace vm {

class CheckBox;
class PopUpButton;
class Slider;
class Stepper;
class TextField;

class TransmitPrefsPage : public PreferencesPage {
public:
    explicit TransmitPrefsPage(QWidget* parent = nullptr);

private:
    Slider* powerSlider;
    TextField* powerLevelText;
    TextField* radioMaxPowerLevelText;
    Slider* atuPowerSlider;
    TextField* atuPowerLevelText;
    CheckBox* atuCheckBox;
    Slider* amCarrierSlider;
    TextField* amCarrierLevelText;
    CheckBox* txCheckBox;
    CheckBox* txInWaterfallCheckBox;
    CheckBox* txDaxEnabledCheckBox;
    CheckBox* fullDuplexEnabledCheckBox;
    CheckBox* radioBinauralRxCheckBox;
    Stepper* transmitFilterLoStepper;
    TextField* transmitFilterLoText;
    Stepper* transmitFilterHiStepper;
    TextField* transmitFilterHiText;
    CheckBox* radioVoxEnabledCheckBox;
    Slider* radioVoxLevelSlider;
    TextField* radioVoxLevelText;
    Slider* radioVoxDelaySlider;
    TextField* radioVoxDelayText;
    CheckBox* radioSpeechProcCheckBox;
    PopUpButton* radioSpeechProcPopup;
    CheckBox* radioCompanderEnabledCheckBox;
    Slider* radioCompanderLevelSlider;
    TextField* radioCompanderLevelText;
    TextField* radioTxDelayText;
    CheckBox* radioAccTxDelayCheckBox;
    TextField* radioAccTxDelayText;
    std::array<CheckBox*, 3>
        txEnabledCheckBoxes{};  // radioTx1EnabledCheckBox ... radioTx3EnabledCheckBox
    std::array<TextField*, 3> txDelayTexts{};  // radioTx1DelayText ... radioTx3DelayText
    QLabel* pttSourceTitle;
    QLabel* pttSourceText;
};

}  // namespace vm
