#include "platform/ui/ControlValue.h"

#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace vm {

void ControlValue::set(double v) {
    if (!std::isnan(v)) {
        value = std::clamp(v, minimum, std::max(minimum, maximum));
    }
}

double ControlValue::afterWheel(double deltaY, bool inverted, bool circular) const {
    // Computed in single precision, as the controls have always done.
    float step = static_cast<float>(deltaY) * static_cast<float>(maximum - minimum) / 100.0f;
    if (inverted) {
        step = -step;
    }
    double next = value + step;
    if (circular) {
        const double size = std::fabs(step);
        if (next < minimum) {
            next = maximum - size;
        }
        if (next > maximum) {
            next = minimum + size;
        }
    }
    return next;
}

double wheelDeltaY(const QWheelEvent& event) {
    return event.angleDelta().y() / double(QWheelEvent::DefaultDeltasPerStep);
}

}  // namespace vm
