#pragma once
// The operating controls at the top of the first panadapter window: the radio chooser and the
// activity light, transmit and tune, the active and alternate slice (VFO) with their
// frequencies and steppers, the mode, split, volume and span steppers and the band buttons.
#include "app/windows/WidgetKit.h"

#include <QWidget>

#include <array>

namespace vm {

class MainControlsBar : public QWidget {
public:
    explicit MainControlsBar(QWidget* parent = nullptr);

    PopUpButton* radioPortNamePopUp;
    ImageButton* pollButton;      // the activity light
    ImageButton* transmitButton;  // MOX (VOX while VOX is on)
    ImageButton* tuneButton;
    PopUpButton* tuneModePopup;  // "Auto Tune", "Manual Tune"
    PopUpButton* vfo_number;     // the active slice, by title
    TextField* vfo_mhz;
    Stepper* vfoSteppir;
    PopUpButton* vfo_mode;
    QLabel* vfoAltText;  // the alternate slice's title
    TextField* vfo_alt_mhz;
    Stepper* vfoAltSteppir;
    PopUpButton* split_popup;
    Stepper* volumeStepper;
    Stepper* panBandwidthStepper;
    // band160Button ... band6Button, in the order of kBands
    static constexpr std::array<const char*, 11> kBands{"160", "80", "60", "40", "30", "20",
                                                        "17",  "15", "12", "10", "6"};
    std::array<QPushButton*, 11> bandButtons{};
};

}  // namespace vm
