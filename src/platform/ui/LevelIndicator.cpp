#include "platform/ui/LevelIndicator.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace vm {

namespace {
constexpr int kMaxSegments = 64;
constexpr double kGap = 1.0;
constexpr double kRadius = 1.5;
const QColor kNormal(60, 180, 75);
const QColor kWarning(232, 197, 26);
const QColor kCritical(216, 58, 46);
}  // namespace

LevelIndicator::LevelIndicator(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void LevelIndicator::setDoubleValue(double value) {
    if (std::isnan(value) || value == value_) {
        return;
    }
    value_ = value;
    update();
}

void LevelIndicator::setMinValue(double value) {
    minimum_ = value;
    update();
}

void LevelIndicator::setMaxValue(double value) {
    maximum_ = value;
    update();
}

void LevelIndicator::setWarningValue(std::optional<double> value) {
    warning_ = value;
    update();
}

void LevelIndicator::setCriticalValue(std::optional<double> value) {
    critical_ = value;
    update();
}

int LevelIndicator::segmentCount() const {
    const double units = std::round(maximum_ - minimum_);
    return units >= 2 && units <= kMaxSegments ? int(units) : 0;
}

double LevelIndicator::fraction() const {
    const double range = maximum_ - minimum_;
    if (!(range > 0)) {
        return 0.0;
    }
    return std::clamp((value_ - minimum_) / range, 0.0, 1.0);
}

int LevelIndicator::litSegments() const {
    const int segments = segmentCount();
    return segments == 0 ? 0 : int(std::floor(fraction() * segments + 1e-9));
}

QColor LevelIndicator::colourAt(double value) const {
    if (critical_ && value > *critical_) {
        return kCritical;
    }
    if (warning_ && value > *warning_) {
        return kWarning;
    }
    return kNormal;
}

QSize LevelIndicator::sizeHint() const { return {200, 14}; }

QSize LevelIndicator::minimumSizeHint() const { return {40, 8}; }

void LevelIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QColor unlit = palette().color(QPalette::WindowText);  // a shade of the text, on light and dark
    unlit.setAlpha(38);
    const int segments = segmentCount();
    painter.setPen(Qt::NoPen);

    if (segments == 0) {
        painter.setBrush(unlit);
        painter.drawRoundedRect(area, kRadius, kRadius);
        QRectF lit = area;
        lit.setWidth(area.width() * fraction());
        painter.setBrush(colourAt(value_));
        painter.drawRoundedRect(lit, kRadius, kRadius);
        return;
    }

    const double step = (maximum_ - minimum_) / segments;
    const double width = (area.width() - kGap * (segments - 1)) / segments;
    const int lit = litSegments();
    for (int i = 0; i < segments; ++i) {
        const QRectF segment(area.left() + i * (width + kGap), area.top(), width, area.height());
        painter.setBrush(i < lit ? colourAt(minimum_ + (i + 1) * step) : unlit);
        painter.drawRoundedRect(segment, kRadius, kRadius);
    }
}

}  // namespace vm
