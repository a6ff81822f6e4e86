#pragma once
// The settings of one panadapter that an operator sets once rather than while operating: the
// waterfall's share of the window, the widest span the span slider offers and the DAX IQ
// channel. One page of the preferences' panadapter tabs per pan; objectNames carry the pan's
// suffix as in PanControls.
#include "app/windows/WidgetKit.h"

#include <QWidget>

namespace vm {

class PanSettingsPage : public QWidget {
public:
    PanSettingsPage(int pan, QWidget* parent = nullptr);

    int pan() const { return pan_; }

    Slider* viewProportion;  // waterfall share, percent
    TextField* viewProportionText;
    PopUpButton* maxBandwidthPopup;  // MHz
    PopUpButton* daxIqPopup;

private:
    int pan_;
};

}  // namespace vm
