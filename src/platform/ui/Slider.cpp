#include "platform/ui/Slider.h"

#include <QWheelEvent>

#include <cmath>

namespace vm {

namespace {
// The knob's positions: the double value is kept apart, so the knob's resolution limits nothing.
constexpr int kPositions = 10000;
}  // namespace

Slider::Slider(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent) {
    setRange(0, kPositions);
    setSingleStep(kPositions / 100);  // the arrow keys move a hundredth, page keys a tenth
    setPageStep(kPositions / 10);
    connect(this, &QSlider::valueChanged, this, &Slider::userMoved);
    showValue();
}

void Slider::setDoubleValue(double value) {
    value_.set(value);
    showValue();
}

void Slider::setMinValue(double value) {
    value_.setMinimum(value);
    showValue();
}

void Slider::setMaxValue(double value) {
    value_.setMaximum(value);
    showValue();
}

void Slider::setLogValue(double value) { setDoubleValue(std::log(value)); }

double Slider::getLogValue() const { return std::exp(value_.value); }

void Slider::wheelEvent(QWheelEvent* event) {
    setDoubleValue(value_.afterWheel(wheelDeltaY(*event), event->inverted(), circular_));
    event->accept();
    sendAction();
}

void Slider::showValue() {
    const double span = value_.maximum - value_.minimum;
    const int position =
        span > 0 ? int(std::lround((value_.value - value_.minimum) / span * kPositions)) : 0;
    showing_ = true;
    setValue(position);
    showing_ = false;
}

void Slider::userMoved(int position) {
    if (showing_) {
        return;
    }
    value_.value = value_.minimum + (value_.maximum - value_.minimum) * position / kPositions;
    sendAction();
}

}  // namespace vm
