#pragma once
// A level indicator: a bar of segments between a minimum and a maximum (0 to 32 by default, one
// segment per unit when the range has 2 to 64 units, a continuous bar otherwise). The value is
// kept as set, also beyond the range (an overfilled meter reads back what it was given); the bar
// draws it clamped to the range. Segments above the warning value are yellow, above the critical
// value red, when those are set.
#include <QWidget>

#include <optional>

namespace vm {

class LevelIndicator : public QWidget {
public:
    explicit LevelIndicator(QWidget* parent = nullptr);

    double doubleValue() const { return value_; }
    // A value that is not a number is ignored.
    void setDoubleValue(double value);
    void setIntValue(int value) { setDoubleValue(value); }
    double minValue() const { return minimum_; }
    double maxValue() const { return maximum_; }
    void setMinValue(double value);
    void setMaxValue(double value);
    void setWarningValue(std::optional<double> value);
    void setCriticalValue(std::optional<double> value);

    // Segments drawn (0 for a continuous bar) and how many of them are lit.
    int segmentCount() const;
    int litSegments() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double fraction() const;
    QColor colourAt(double value) const;

    double value_ = 0.0;
    double minimum_ = 0.0;
    double maximum_ = 32.0;
    std::optional<double> warning_;
    std::optional<double> critical_;
};

}  // namespace vm
