#include "platform/ui/Colors.h"

#include <algorithm>
#include <cstdint>

namespace vm::colors {

QColor brighterColor(const QColor& color, double step) {
    float hue = 0, saturation = 0, brightness = 0, alpha = 0;
    color.getHsvF(&hue, &saturation, &brightness, &alpha);
    const double moved = std::clamp(double(brightness) + step, 0.0, 1.0);
    return QColor::fromHsvF(hue, saturation, float(moved), alpha);
}

PlistValue toPlist(const QColor& color) {
    const QColor rgb = color.toRgb();
    return PlistArray{double(rgb.redF()), double(rgb.greenF()), double(rgb.blueF()),
                      double(rgb.alphaF())};
}

std::optional<QColor> fromPlist(const PlistValue& value) {
    const PlistArray* array = value.get<PlistArray>();
    if (!array || array->size() != 4) {
        return std::nullopt;
    }
    float parts[4];
    for (std::size_t i = 0; i < 4; ++i) {
        const PlistValue& part = (*array)[i];
        double v = 0;
        if (const double* real = part.get<double>()) {
            v = *real;
        } else if (const std::int64_t* integer = part.get<std::int64_t>()) {
            v = double(*integer);
        } else {
            return std::nullopt;
        }
        if (!(v >= 0.0 && v <= 1.0)) {
            return std::nullopt;
        }
        parts[i] = float(v);
    }
    return QColor::fromRgbF(parts[0], parts[1], parts[2], parts[3]);
}

}  // namespace vm::colors
