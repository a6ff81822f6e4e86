#pragma once
// A colour gradient: colours at positions from 0.0 to 1.0, kept in ascending order of position,
// and the colour of any value between them by linear interpolation. The waterfall's colour map
// (WaterfallColorMap) is built from the default gradient.
#include "display/RgbaColor.h"

#include <cstdint>
#include <vector>

namespace vm {

// Red, green and blue, each from 0.0 to 1.0.
struct GradientColor {
    double red = 0;
    double green = 0;
    double blue = 0;
    bool operator==(const GradientColor&) const = default;
};

// One colour at one position of a gradient.
struct ColorPoint {
    GradientColor pointColor;
    float tValue = 0;
};

class ColorGradient {
public:
    void clearGradient() { colors_.clear(); }
    // Inserted in front of the first point whose position is greater, else at the end.
    void addColorPoint(GradientColor color, float threshold);
    // Black 0.0, blue 0.4, cyan 0.5, yellow 0.55, red 0.65, purple 0.75, white 1.0.
    void createDefaultGradient();

    // The interpolated colour of a value: below the first position the first colour, at or above
    // the last the last colour; white without points.
    GradientColor getColorColorForValue(double value) const;
    // 0x00RRGGBB, each component × 255 rounded to the nearest integer (halves away from zero).
    std::uint32_t getPackedColorAtValue(double value) const;
    // The interpolated colour of a value as a colour record, with an alpha of 0 (the waterfall
    // draws with the packed form; a caller that paints with this one sets its own alpha).
    RgbaColor getColorAtValue(double value) const;

    const std::vector<ColorPoint>& colors() const { return colors_; }
    void setColors(std::vector<ColorPoint> colors) { colors_ = std::move(colors); }

private:
    std::vector<ColorPoint> colors_;
};

// 0x00RRGGBB of a colour, as getPackedColorAtValue rounds it.
std::uint32_t packedColor(const GradientColor& color);

}  // namespace vm
