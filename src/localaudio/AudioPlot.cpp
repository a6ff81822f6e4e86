#include "localaudio/AudioPlot.h"

#include <QPainter>
#include <QPolygonF>
#include <QThread>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace vm {

AudioPlot::AudioPlot(QWidget* parent) : AudioPlotBase(parent), points_(kMaximumPoints) {
    setShouldOptimizeForRealtimePlot(true);
    setColor(QColor::fromHsvF(0, 1, 1, 1));
    pointCount_ = kInitialPointCount;
    redraw();
}

AudioPlot::~AudioPlot() { displayLink_.reset(); }

void AudioPlot::setShouldOptimizeForRealtimePlot(bool optimize) {
    if (optimize && !displayLink_) {
        displayLink_ = AudioDisplayLink::displayLinkWithDelegate(this);
        displayLink_->start();
    } else if (!optimize && displayLink_) {
        displayLink_->stop();
        displayLink_.reset();
    }
    realtime_ = optimize;
}

void AudioPlot::setColor(const QColor& color) {
    AudioPlotBase::setColor(color);
    update();
}

void AudioPlot::setBackgroundColor(const QColor& color) {
    AudioPlotBase::setBackgroundColor(color);
    update();
}

void AudioPlot::setShouldFill(bool fill) {
    AudioPlotBase::setShouldFill(fill);
    update();
}

void AudioPlot::updateBuffer(const float* buffer, std::uint32_t bufferSize) {
    {
        std::unique_lock lock(dataMutex_, std::try_to_lock);
        if (!lock) {
            return;  // a redraw holds the points: this buffer is not shown
        }
        const auto [shown, length] = appendToHistory(buffer, bufferSize);
        setSampleDataLocked(shown, length);
    }
    if (!realtime_) {
        redrawSoon();
    }
}

void AudioPlot::setSampleData(const float* samples, std::uint32_t length) {
    std::lock_guard lock(dataMutex_);
    setSampleDataLocked(samples, length);
}

void AudioPlot::setSampleDataLocked(const float* samples, std::uint32_t length) {
    length = std::min(length, kMaximumPoints);
    const float scale = gain();
    for (std::uint32_t i = 0; i < length; ++i) {
        points_[i] = QPointF(i, scale * samples[i]);
    }
    if (length > 0) {
        points_[0].setY(0);
        points_[length - 1].setY(0);
    }
    pointCount_ = length;
}

void AudioPlot::clear() {
    {
        std::lock_guard lock(dataMutex_);
        if (pointCount_ == 0) {
            return;
        }
        resetHistoryBuffers();
        const std::vector<float> zeros(pointCount_, 0.0f);
        setSampleDataLocked(zeros.data(), pointCount_);
    }
    redraw();
}

std::uint32_t AudioPlot::pointCount() const {
    std::lock_guard lock(dataMutex_);
    return pointCount_;
}

std::vector<QPointF> AudioPlot::points() const {
    std::lock_guard lock(dataMutex_);
    return std::vector<QPointF>(points_.begin(), points_.begin() + pointCount_);
}

void AudioPlot::redraw() {
    {
        std::lock_guard lock(dataMutex_);
        path_ = createPathWithPoints(points_.data(), pointCount_, QRectF(0, 0, width(), height()));
    }
    update();
}

void AudioPlot::redrawSoon() {
    if (QThread::currentThread() == thread()) {
        redraw();
    } else {
        QMetaObject::invokeMethod(
            this, [this] { redraw(); }, Qt::QueuedConnection);
    }
}

QPainterPath AudioPlot::createPathWithPoints(const QPointF* points, std::uint32_t count,
                                             const QRectF& rect) const {
    QPainterPath path;
    if (count == 0) {
        return path;
    }
    const double halfHeight = std::floor(rect.height() * 0.5);
    const double xScale = rect.width() / count;
    const double yTranslate = shouldCenterYAxis_ ? rect.y() + halfHeight : 0;
    double yScale = shouldCenterYAxis_ ? halfHeight : 2 * halfHeight;
    if (kIsDeviceOriginFlipped) {
        yScale = -yScale;
    }
    const QPolygonF line(QList<QPointF>(points, points + count));
    path.addPolygon(QTransform(xScale, 0, 0, yScale, 0, yTranslate).map(line));
    if (shouldMirror()) {
        path.addPolygon(QTransform(xScale, 0, 0, -yScale, 0, yTranslate).map(line));
    }
    if (shouldFill()) {
        path.closeSubpath();
    }
    return path;
}

void AudioPlot::displayLinkNeedsDisplay(AudioDisplayLink&) { redraw(); }

void AudioPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (backgroundColor().isValid()) {
        painter.fillRect(rect(), backgroundColor());
    }
    if (path_.isEmpty()) {
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    // The plot's origin is at the lower left, y upwards.
    painter.translate(0, height());
    painter.scale(1, -1);
    if (shouldFill()) {
        painter.fillPath(path_, color());
    }
    QPen pen(color(), 1.0);
    pen.setCosmetic(true);
    painter.strokePath(path_, pen);
}

void AudioPlot::resizeEvent(QResizeEvent* event) {
    AudioPlotBase::resizeEvent(event);
    redraw();
}

}  // namespace vm
