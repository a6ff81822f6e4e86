#pragma once
// The preferences' CW tab: the keyer (speed, pitch, iambic mode, paddles, CWX speed sync), break-in
// and the side tone.
#include "app/windows/PreferencesPage.h"

namespace vm {

class CheckBox;
class PopUpButton;
class Slider;
class TextField;

class CwPrefsPage : public PreferencesPage {
public:
    explicit CwPrefsPage(QWidget* parent = nullptr);

private:
    Slider* radioCwPitchSlider;
    TextField* radioCwPitchText;
    Slider* radioCwSpeedSlider;
    TextField* radioCwSpeedText;
    CheckBox* radioCwIambicEnabledCheckBox;
    PopUpButton* radioCwIambicModePopup;
    CheckBox* radioCwSwapPaddlesCheckBox;
    CheckBox* radioCwBreakInCheckBox;
    Slider* radioCwBreakInDelaySlider;
    TextField* radioCwBreakInDelayText;
    CheckBox* radioCwSideToneEnabledCheckBox;
    Slider* radioCwSideToneGainSlider;
    TextField* radioCwSideToneGainText;
    Slider* radioCwSideTonePanSlider;
    CheckBox* radioSyncCWXCheckBox;
};

}  // namespace vm
