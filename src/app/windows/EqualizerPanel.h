#pragma once
// One eight-band equalizer of the radio (receive or transmit): its switch, a slider, a value
// field and a band label per band. objectNames: eq_rx_checkbox, eq_rx_slider0 ... eq_rx_val7,
// eq_rx_label0 ... for "rx", the same with "tx".
#include "app/windows/WidgetKit.h"

#include <QWidget>

#include <array>

namespace vm {

class EqualizerPanel : public QWidget {
public:
    EqualizerPanel(const QString& type, const QString& title, QWidget* parent = nullptr);

    CheckBox* checkbox;
    std::array<Slider*, 8> sliders{};
    std::array<TextField*, 8> values{};
    std::array<QLabel*, 8> labels{};
};

}  // namespace vm
