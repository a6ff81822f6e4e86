#pragma once
// A stepper: up and down arrows over a double value, with a minimum, a maximum and an increment,
// and, when it wraps, coming round from one end to the other. Its read-only field shows the value.
// Setting the value from code sends no action; the arrows and the scroll wheel send `action`.
#include "platform/ui/ControlValue.h"

#include <QAbstractSpinBox>

namespace vm {

class Stepper : public QAbstractSpinBox {
    Q_OBJECT

public:
    explicit Stepper(QWidget* parent = nullptr);

    double doubleValue() const { return value_.value; }
    // Clamped to minValue()..maxValue(); a value that is not a number is ignored.
    void setDoubleValue(double value);
    double minValue() const { return value_.minimum; }
    double maxValue() const { return value_.maximum; }
    void setMinValue(double value);
    void setMaxValue(double value);
    double increment() const { return increment_; }
    void setIncrement(double value) { increment_ = value; }
    bool valueWraps() const { return wraps_; }
    void setValueWraps(bool wraps) { wraps_ = wraps; }

    void stepBy(int steps) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    void sendAction() { emit action(); }

signals:
    void action();

protected:
    StepEnabled stepEnabled() const override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void showValue();

    ControlValue value_{0.0, 0.0, 100.0};
    double increment_ = 1.0;
    bool wraps_ = false;
};

}  // namespace vm
