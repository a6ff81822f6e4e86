#pragma once
// One user memory: the settings of a slice kept as the texts they were read or made from (numbers
// are parsed only where they are used). A field that was never given stays without a value.
// `number` is set only for the radio's own memories; the marker fields are where the panadapter
// view last drew the memory, for its mouse hit tests.
#include <optional>
#include <string>

namespace vm {

struct MemorySlot {
    using Text = std::optional<std::string>;

    struct Rect {
        double x = 0;
        double y = 0;
        double width = 0;
        double height = 0;
        bool operator==(const Rect&) const = default;
    };

    Text number;
    Text owner;
    Text group;
    Text freq;
    Text name;
    Text mode;
    Text step;
    Text offset_direction;
    Text repeater_offset;
    Text tone_mode;
    Text tone_value;
    Text rf_power;
    Text rx_filter_low;
    Text rx_filter_high;
    Text highlight;
    Text highlight_color;
    Text squelch;
    Text squelch_level;
    Text rtty_mark;
    Text rtty_shift;
    Text digl_offset;
    Text digu_offset;
    double marker_x = 0;
    double marker_y = 0;
    Rect label_rect;

    bool operator==(const MemorySlot&) const = default;
};

}  // namespace vm
