#pragma once
// The double value of a slider or stepper, kept between its minimum and maximum, and the
// scroll-wheel rule they share: one wheel unit moves the value by a hundredth of the range.
class QWheelEvent;

namespace vm {

struct ControlValue {
    double value = 0.0;
    double minimum = 0.0;
    double maximum = 1.0;

    // Stores `v` clamped to the range; a value that is not a number changes nothing.
    void set(double v);
    void setMinimum(double v) {
        minimum = v;
        set(value);
    }
    void setMaximum(double v) {
        maximum = v;
        set(value);
    }

    // The value after turning the wheel by `deltaY` units (positive away from the user).
    // `inverted` is set when the system reverses the device's direction (natural scrolling). On a
    // circular range the result wraps round; otherwise it is left for set() to clamp.
    double afterWheel(double deltaY, bool inverted, bool circular) const;
};

// The vertical wheel units of a Qt wheel event (one notch is one unit).
double wheelDeltaY(const QWheelEvent& event);

}  // namespace vm
