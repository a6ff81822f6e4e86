#pragma once
// The waterfall controls of one panadapter window: the auto-black check box, the black-level,
// colour-gain and line-duration sliders with their text fields, and the tile-rate text. The window
// layout makes them; the window's WaterFallView serves them. A control left null is not touched.
namespace vm {

class CheckBox;
class Slider;
class TextField;

struct WaterfallControls {
    CheckBox* autoBlackEnabledCheckBox = nullptr;
    Slider* blackLevelSlider = nullptr;
    TextField* blackLevelText = nullptr;
    Slider* colorGainSlider = nullptr;
    TextField* colorGainText = nullptr;
    Slider* lineDurationSlider = nullptr;
    TextField* lineDurationText = nullptr;
    TextField* waterfallFpsText = nullptr;
};

}  // namespace vm
