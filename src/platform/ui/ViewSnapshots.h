#pragma once
// Pictures of widgets: for problem reports and for tests that save what a window shows.
#include "platform/core/Bytes.h"

#include <QImage>

#include <optional>

class QWidget;

namespace vm::views {

// The widget and its children drawn into an image of its size, with alpha; a null image when the
// widget has no area.
QImage imageDrawn(QWidget& view);
// The same picture, also of a hidden widget (which stays hidden); an empty image when the widget
// has no area.
QImage imageRepresentation(QWidget& view);
// The visible part of the widget as PNG bytes. `compression` runs from 0 (smallest file) to 1
// (fastest). Logs and gives nullopt when the widget shows nothing or encoding fails.
std::optional<Bytes> get2dPngData(QWidget& view, float compression);

}  // namespace vm::views
