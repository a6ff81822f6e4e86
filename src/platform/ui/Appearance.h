#pragma once
// The application's appearance: a light or a dark palette, for QApplication::setPalette.
#include <QPalette>

namespace vm {

QPalette desiredAppearanceObject(bool dark);

}  // namespace vm
