#pragma once
// The controls that a panadapter view serves: the grid tick sliders of all four pans (level axis
// and frequency axis, index = pan index), the colour wells of the trace fill, the filter
// passbands and the notch filters, the view's context menu and the status text of its window.
// The window layout makes them; the view restores them from the defaults and stores what the user
// changes. A slider or well carries its pan index as its "tag" property. A control left null is
// not touched.
#include <array>

namespace vm {

class ColorWell;
class Menu;
class Slider;
class TextField;

struct PanAdapterControls {
    std::array<Slider*, 4> verticalAxisTicksSliders{};    // verticalAxisTicksSlider, ...1 to 3
    std::array<Slider*, 4> horizontalAxisTicksSliders{};  // horizontalAxisTicksSlider, ...1 to 3
    ColorWell* fftColorWell = nullptr;
    ColorWell* filterColorWell = nullptr;
    ColorWell* tnfColorWell = nullptr;
    Menu* panaviewContextMenu = nullptr;
    TextField* frameStatus = nullptr;
};

}  // namespace vm
