#pragma once
// The display controls of one panadapter, under its waterfall: centre, span, level range,
// averaging, frame rate, preamplifier and wideband noise blanker, and the waterfall's black
// level, colour gain, line duration and tile rate. The four pans have one instance
// each; the objectNames carry no suffix for pan 0 and "1", "2" or "3" for the others
// (bandwidthSlider, bandwidthSlider1...), and each control's tag property is its pan index.
#include "app/windows/WidgetKit.h"

#include <QWidget>

namespace vm {

class PanControls : public QWidget {
public:
    PanControls(int pan, QWidget* parent = nullptr);

    int pan() const { return pan_; }

    TextField* bandText;      // centre frequency, MHz
    Slider* bandwidthSlider;  // span, MHz; its maximum follows the pan's maximum pop-up
    TextField* bandwidthText;
    Slider* minDbmSlider;
    TextField* minDbmText;
    Slider* maxDbmSlider;
    TextField* maxDbmText;
    Slider* averageSlider;
    TextField* averageText;
    Slider* fpsSlider;
    TextField* fpsText;
    PopUpButton* preAmpListPopup;
    ImageButton* wnbButton;
    Slider* wnbLevelSlider;
    TextField* wnbLevelText;
    // The waterfall's: black level (automatic or set), colour gain, line duration, tile rate.
    CheckBox* autoBlackEnabledCheckBox;
    Slider* blackLevelSlider;
    TextField* blackLevelText;
    Slider* colorGainSlider;
    TextField* colorGainText;
    Slider* lineDurationSlider;
    TextField* lineDurationText;
    TextField* waterfallFpsText;

private:
    int pan_;
};

// The suffix of a pan's outlet names: "" for pan 0, else the pan index.
QString panSuffix(int pan);

}  // namespace vm
