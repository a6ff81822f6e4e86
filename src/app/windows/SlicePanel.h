#pragma once
// The controls of one slice panel (A to D, slices 0 to 3): audio, noise reduction and filters,
// AGC, antennas, RIT and XIT, DAX, FM repeater settings and the quick recorder. The four panels
// are four instances of this class; each control's objectName is its outlet name with the
// panel's letter (volumeASlider, sliceBMuteCheckBox, qrLengthTextC...).
#include "app/windows/WidgetKit.h"

#include <QWidget>

#include <string>

namespace vm {

class SlicePanel : public QWidget {
public:
    SlicePanel(char letter, QWidget* parent = nullptr);

    char letter() const { return letter_; }

    // Frequency and panadapter
    TextField* freqText;       // slice%cFreqText (MHz, megahertz formatter set by the controller)
    QLabel* detachedText;      // slice%cDetachedText: the panadapter that shows the slice
    CheckBox* lockedCheckBox;  // sliceLocked%cCheckBox
    // Audio
    Slider* volumeSlider;    // volume%cSlider
    TextField* volumeText;   // volume%cText
    CheckBox* muteCheckBox;  // slice%cMuteCheckBox
    Slider* panSlider;       // pan%cSlider
    // Noise reduction and filters
    Slider* nrSlider;
    TextField* nrText;
    CheckBox* nrCheckBox;
    Slider* nbSlider;
    TextField* nbText;
    CheckBox* nbCheckBox;
    Slider* anfSlider;
    TextField* anfText;
    CheckBox* anfCheckBox;
    Slider* apfSlider;
    TextField* apfText;
    CheckBox* apfCheckBox;
    Slider* squelchSlider;
    TextField* squelchText;
    CheckBox* squelchCheckBox;
    CheckBox* wideCheckBox;
    // AGC
    PopUpButton* agcModePopup;  // agcMode%cpopup
    Slider* agctSlider;         // agct%cSlider
    TextField* agctText;
    // Filter
    PopUpButton* filterPresetPopup;  // filterPreset%cpopup
    Stepper* filterLoStepper;        // sliceFilterLo%cStepper
    TextField* filterLoText;         // filterLoText%c
    Stepper* filterHiStepper;        // sliceFilterHi%cStepper
    TextField* filterHiText;         // filterHiText%c
    TextField* filterText;           // filterText%c (the filter width)
    // Antennas and DAX
    PopUpButton* rxAntPopup;    // rxAnt%cpopup
    PopUpButton* txAntPopup;    // txAnt%cpopup
    PopUpButton* daxPopup;      // dax%cpopup
    TextField* daxClientsText;  // daxClients%cText
    // RIT and XIT
    ImageButton* ritButton;  // sliceRIT%cButton
    Stepper* ritStepper;     // sliceRIT%cStepper
    TextField* ritText;      // sliceRIT%cText
    ImageButton* xitButton;  // sliceXIT%cButton
    Stepper* xitStepper;
    TextField* xitText;
    // FM
    PopUpButton* fmToneModePopup;         // fmToneMode%cpopup
    PopUpButton* fmToneFreqPopup;         // fmToneFreq%cpopup
    CheckBox* fmToneBurstCheckBox;        // fmToneBurstEnabled%cCheckBox
    PopUpButton* repeaterOffsetDirPopup;  // repeaterOffsetDir%cpopup
    TextField* fmRepeaterOffsetText;      // fmRepeaterOffset%cText
    TextField* txOffsetText;              // txOffset%cText
    // Quick recorder
    ImageButton* recordButton;    // recordEnabled%cButton
    ImageButton* playbackButton;  // playbackEnabled%cButton
    TextField* qrLengthText;      // qrLengthText%c
    CheckBox* qrTransmitButton;   // qrTransmit%cButton

private:
    char letter_;
};

}  // namespace vm
