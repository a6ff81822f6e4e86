#pragma once
// A colour to draw with: red, green, blue and alpha (opacity), each from 0.0 to 1.0, in sRGB.
namespace vm {

struct RgbaColor {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;
    bool operator==(const RgbaColor&) const = default;
};

}  // namespace vm
