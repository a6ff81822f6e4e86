#include "display/ColorGradient.h"

#include <algorithm>
#include <cmath>

namespace vm {

void ColorGradient::addColorPoint(GradientColor color, float threshold) {
    const auto place = std::find_if(colors_.begin(), colors_.end(), [&](const ColorPoint& point) {
        return point.tValue > threshold;
    });
    colors_.insert(place, ColorPoint{color, threshold});
}

void ColorGradient::createDefaultGradient() {
    addColorPoint({0, 0, 0}, 0.0f);
    addColorPoint({0, 0, 1}, 0.4f);
    addColorPoint({0, 1, 1}, 0.5f);
    addColorPoint({1, 1, 0}, 0.55f);
    addColorPoint({1, 0, 0}, 0.65f);
    addColorPoint({0.5, 0, 0.5}, 0.75f);
    addColorPoint({1, 1, 1}, 1.0f);
}

GradientColor ColorGradient::getColorColorForValue(double value) const {
    if (colors_.empty()) {
        return {1, 1, 1};
    }
    const auto upper = std::find_if(colors_.begin(), colors_.end(),
                                    [&](const ColorPoint& point) { return point.tValue > value; });
    if (upper == colors_.end()) {
        return colors_.back().pointColor;
    }
    const auto lower = upper == colors_.begin() ? upper : upper - 1;
    const double span = double(lower->tValue) - double(upper->tValue);
    const float weight = span == 0 ? 0.0f : float((value - double(upper->tValue)) / span);
    const auto mix = [&](double high, double low) { return high + (low - high) * weight; };
    const GradientColor& a = upper->pointColor;
    const GradientColor& b = lower->pointColor;
    return {mix(a.red, b.red), mix(a.green, b.green), mix(a.blue, b.blue)};
}

std::uint32_t ColorGradient::getPackedColorAtValue(double value) const {
    return packedColor(getColorColorForValue(value));
}

RgbaColor ColorGradient::getColorAtValue(double value) const {
    const GradientColor color = getColorColorForValue(value);
    return {color.red, color.green, color.blue, 0.0};
}

std::uint32_t packedColor(const GradientColor& color) {
    const auto byte = [](double component) {
        return static_cast<std::uint32_t>(std::round(std::clamp(component, 0.0, 1.0) * 255.0));
    };
    return byte(color.red) << 16 | byte(color.green) << 8 | byte(color.blue);
}

}  // namespace vm
