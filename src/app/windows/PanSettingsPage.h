#pragma once
// The settings of one panadapter that an operator sets once rather than while operating: the
// waterfall's share of the window, the widest span the span slider offers, the DAX IQ channel,
// the grid's tick counts and the colours of the spectrum fill, the filter passbands and the
// notch filters. One page of the preferences' panadapter tabs per pan; objectNames carry the
// pan's suffix as in PanControls, and each control's tag property is the pan index.
#include "app/windows/WidgetKit.h"

#include <QWidget>

#include <string>

namespace vm {

class ColorWell;

class PanSettingsPage : public QWidget {
public:
    PanSettingsPage(int pan, QWidget* parent = nullptr);

    int pan() const { return pan_; }

    // Where the pan's waterfall share is kept: "view_proportion", then "view_proportion1"..3.
    static std::string viewProportionKey(int pan);
    // Where the title of the pan's widest span is kept: "max_band_width_1" for pan 0 to
    // "max_band_width_4" for pan 3.
    static std::string maxBandwidthKey(int pan);

    Slider* viewProportion;  // waterfall share, percent
    TextField* viewProportionText;
    PopUpButton* maxBandwidthPopup;  // MHz
    PopUpButton* daxIqPopup;
    Slider* verticalAxisTicksSlider;    // level axis; verticalAxisTicksSlider1.. for pans 1 to 3
    Slider* horizontalAxisTicksSlider;  // frequency axis
    ColorWell* fftColorWell;
    ColorWell* filterColorWell;
    ColorWell* tnfColorWell;

private:
    int pan_;
};

}  // namespace vm
