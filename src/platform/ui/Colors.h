#pragma once
// Colours: a brighter or darker variant, and the form in which a colour is kept in the defaults.
//
// A colour in the defaults is an array of four reals, red, green, blue and alpha, each from 0 to
// 1, in sRGB: [0.0, 0.5, 1.0, 1.0]. Any other value does not decode.
#include "platform/core/PlistValue.h"

#include <QColor>

#include <optional>

namespace vm::colors {

// The colour with the same hue, saturation and alpha and its brightness moved by `step` (clamped
// to 0..1); a negative step darkens.
QColor brighterColor(const QColor& color, double step);

PlistValue toPlist(const QColor& color);
std::optional<QColor> fromPlist(const PlistValue& value);

}  // namespace vm::colors
