#include "platform/ui/Stepper.h"

#include <QLineEdit>
#include <QStyleOptionSpinBox>
#include <QWheelEvent>

#include <algorithm>

namespace vm {

Stepper::Stepper(QWidget* parent) : QAbstractSpinBox(parent) {
    setReadOnly(true);
    showValue();
}

void Stepper::setDoubleValue(double value) {
    value_.set(value);
    showValue();
}

void Stepper::setMinValue(double value) {
    value_.setMinimum(value);
    showValue();
}

void Stepper::setMaxValue(double value) {
    value_.setMaximum(value);
    showValue();
}

void Stepper::stepBy(int steps) {
    double next = value_.value + steps * increment_;
    if (wraps_) {
        if (next > value_.maximum) {
            next = value_.minimum;
        } else if (next < value_.minimum) {
            next = value_.maximum;
        }
    }
    setDoubleValue(next);
    sendAction();
}

QAbstractSpinBox::StepEnabled Stepper::stepEnabled() const {
    if (wraps_) {
        return StepUpEnabled | StepDownEnabled;
    }
    StepEnabled enabled = StepNone;
    if (value_.value < value_.maximum) {
        enabled |= StepUpEnabled;
    }
    if (value_.value > value_.minimum) {
        enabled |= StepDownEnabled;
    }
    return enabled;
}

void Stepper::wheelEvent(QWheelEvent* event) {
    setDoubleValue(value_.afterWheel(wheelDeltaY(*event), event->inverted(), false));
    event->accept();
    sendAction();
}

void Stepper::showValue() {
    lineEdit()->setText(QString::number(value_.value));
    updateGeometry();
}

QSize Stepper::sizeHint() const {
    // Wide enough for the longest value of the range, so that no value is ever cut off.
    ensurePolished();
    const QFontMetrics metrics = fontMetrics();
    const int text = std::max({metrics.horizontalAdvance(QString::number(value_.minimum)),
                               metrics.horizontalAdvance(QString::number(value_.maximum)),
                               metrics.horizontalAdvance(lineEdit()->text())});
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QSize content(text + 2 * metrics.horizontalAdvance(QLatin1Char(' ')),
                        lineEdit()->sizeHint().height());
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, content, this);
}

}  // namespace vm
