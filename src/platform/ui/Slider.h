#pragma once
// A slider with a double value between a minimum and a maximum. Setting the value from code sends
// no action; a change by the user (drag, keys, scroll wheel) sends `action`. A circular slider
// wraps round at its ends under the scroll wheel. The logarithmic pair keeps the slider's range in
// natural-log units: setLogValue(v) stores ln v, getLogValue() reads e to the value.
#include "platform/ui/ControlValue.h"

#include <QSlider>

namespace vm {

class Slider : public QSlider {
    Q_OBJECT

public:
    explicit Slider(Qt::Orientation orientation = Qt::Horizontal, QWidget* parent = nullptr);

    double doubleValue() const { return value_.value; }
    // Clamped to minValue()..maxValue(); a value that is not a number is ignored.
    void setDoubleValue(double value);
    void setIntValue(int value) { setDoubleValue(value); }
    double minValue() const { return value_.minimum; }
    double maxValue() const { return value_.maximum; }
    void setMinValue(double value);
    void setMaxValue(double value);
    bool isCircular() const { return circular_; }
    void setCircular(bool circular) { circular_ = circular; }

    void setLogValue(double value);
    double getLogValue() const;

    // Sends the action to its target, as a change by the user does.
    void sendAction() { emit action(); }

signals:
    void action();

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    void showValue();
    void userMoved(int position);

    ControlValue value_;
    bool circular_ = false;
    bool showing_ = false;
};

}  // namespace vm
