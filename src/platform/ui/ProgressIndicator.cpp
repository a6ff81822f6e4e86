#include "platform/ui/ProgressIndicator.h"

#include <QPainter>

#include <algorithm>

namespace vm {

namespace {
constexpr int kSpokes = 12;
constexpr int kStepMs = 80;
}  // namespace

ProgressIndicator::ProgressIndicator(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    timer_.setInterval(kStepMs);
    connect(&timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % kSpokes;
        update();
    });
}

void ProgressIndicator::startAnimation() {
    if (!timer_.isActive()) {
        timer_.start();
        update();
    }
}

void ProgressIndicator::stopAnimation() {
    if (timer_.isActive()) {
        timer_.stop();
        update();
    }
}

void ProgressIndicator::paintEvent(QPaintEvent*) {
    if (!isAnimating()) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double side = std::min(width(), height());
    painter.translate(width() / 2.0, height() / 2.0);
    const double outer = side / 2.0 - 1.0;
    const double inner = outer * 0.45;
    QColor colour = palette().color(QPalette::WindowText);
    QPen pen(colour, std::max(1.5, side / 10.0), Qt::SolidLine, Qt::RoundCap);
    for (int i = 0; i < kSpokes; ++i) {
        // The spoke at the current step is darkest; the ones behind it fade.
        const int age = (step_ - i + kSpokes) % kSpokes;
        colour.setAlphaF(float(1.0 - 0.75 * age / (kSpokes - 1)));
        pen.setColor(colour);
        painter.setPen(pen);
        painter.save();
        painter.rotate(360.0 * i / kSpokes);
        painter.drawLine(QPointF(0, -inner), QPointF(0, -outer));
        painter.restore();
    }
}

}  // namespace vm
