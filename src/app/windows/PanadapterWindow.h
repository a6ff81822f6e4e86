#pragma once
// One of the four main windows: a panadapter view over its waterfall view, with the pan's display
// controls under them. The first window also carries the operating controls at the top and the
// status line. The views are placed into the two areas when the display classes make them.
#include "platform/ui/Window.h"

#include <QLabel>

namespace vm {

class MainControlsBar;
class PanControls;
class ViewArea;
class ViewSplit;

class PanadapterWindow : public Window {
public:
    PanadapterWindow(int pan, QWidget* parent = nullptr);

    int pan() const { return pan_; }

    MainControlsBar* controlsBar = nullptr;  // first window only
    ViewArea* panAdapterViewArea;            // panAdapterViewArea, panAdapterViewArea1...
    ViewArea* waterFallViewArea;             // waterFallViewArea, waterFallViewArea1...
    ViewSplit* viewSplit;                    // the two areas, by the waterfall's share
    PanControls* panControls;
    QLabel* frameStatus = nullptr;  // first window only: the connection status line

private:
    int pan_;
};

}  // namespace vm
