#include "localaudio/AudioPlotGL.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <array>

namespace vm {

AudioPlotGL::AudioPlotGL(QWidget* parent) : AudioPlotBase(parent) {
    info_.vertices.assign(kMaximumVertices, QPointF());
    info_.pointCount = kMaximumVertices;
    setBackgroundColor(QColor::fromRgbF(0.569f, 0.82f, 0.478f, 1.0f));
    setColor(Qt::white);
    displayLink_ = AudioDisplayLink::displayLinkWithDelegate(this);
    displayLink_->start();
}

AudioPlotGL::~AudioPlotGL() { displayLink_.reset(); }

void AudioPlotGL::updateBuffer(const float* buffer, std::uint32_t bufferSize) {
    std::unique_lock lock(dataMutex_, std::try_to_lock);
    if (!lock) {
        return;  // a paint holds the vertices: this buffer is not shown
    }
    const auto [shown, length] = appendToHistory(buffer, bufferSize);
    setSampleDataLocked(shown, length);
}

void AudioPlotGL::setSampleData(const float* samples, std::uint32_t length) {
    std::lock_guard lock(dataMutex_);
    setSampleDataLocked(samples, length);
}

void AudioPlotGL::setSampleDataLocked(const float* samples, std::uint32_t length) {
    const bool fill = shouldFill();
    const std::uint32_t perValue = fill ? 2 : 1;
    const std::uint32_t kept = std::min(length, kMaximumVertices / perValue);
    samples += length - kept;
    auto& vertices = info_.vertices;
    for (std::uint32_t i = 0; i < kept; ++i) {
        if (fill) {
            vertices[2 * i] = QPointF(i, samples[i]);
            vertices[2 * i + 1] = QPointF(i, 0);
        } else {
            vertices[i] = QPointF(i, samples[i]);
        }
    }
    const std::uint32_t count = kept * perValue;
    if (count > 0) {
        vertices[0].setY(0);
        vertices[count - 1].setY(0);
    }
    info_.pointCount = count;
    info_.interpolated = fill;
}

void AudioPlotGL::clear() {
    const float silence = 0;
    {
        std::lock_guard lock(dataMutex_);
        setSampleDataLocked(&silence, 1);
        if (HistoryInfo* history = historyInfo()) {
            AudioUtilities::clearHistoryInfo(history);
        }
    }
    redraw();
}

void AudioPlotGL::pauseDrawing() { displayLink_->stop(); }

void AudioPlotGL::resumeDrawing() { displayLink_->start(); }

std::uint32_t AudioPlotGL::vertexCount() const {
    std::lock_guard lock(dataMutex_);
    return info_.pointCount;
}

std::vector<QPointF> AudioPlotGL::vertices() const {
    std::lock_guard lock(dataMutex_);
    return std::vector<QPointF>(info_.vertices.begin(), info_.vertices.begin() + info_.pointCount);
}

bool AudioPlotGL::interpolated() const {
    std::lock_guard lock(dataMutex_);
    return info_.interpolated;
}

void AudioPlotGL::displayLinkNeedsDisplay(AudioDisplayLink&) { redraw(); }

void AudioPlotGL::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The clear colour: the background's four components, or none.
    double red = 0, green = 0, blue = 0, alpha = 0;
    if (const QColor background = backgroundColor(); background.isValid()) {
        const std::array<double, 4> components = {background.redF(), background.greenF(),
                                                  background.blueF(), background.alphaF()};
        AudioUtilities::getColorComponentsFromCGColor(components, &red, &green, &blue, &alpha);
    }
    painter.fillRect(rect(), QColor::fromRgbF(float(red), float(green), float(blue), float(alpha)));

    std::lock_guard lock(dataMutex_);
    const std::uint32_t count = info_.pointCount;
    const double span = double(count) / (info_.interpolated ? 2 : 1);
    if (count < 2 || span <= 0) {
        return;
    }
    // Vertex x runs from 0 to the span across the width; y from -1 to 1 (times the gain) up
    // the height.
    const double w = width();
    const double h = height();
    const double scale = gain();
    painter.setRenderHint(QPainter::Antialiasing);
    for (const double sign : {1.0, -1.0}) {
        if (sign < 0 && !shouldMirror()) {
            break;
        }
        auto at = [&](const QPointF& v) {
            return QPointF(v.x() / span * w, (1 - sign * scale * v.y()) / 2 * h);
        };
        if (info_.interpolated) {
            // The triangle strip between each value and the axis: the values, then the axis back.
            QPolygonF area;
            for (std::uint32_t i = 0; i < count; i += 2) {
                area << at(info_.vertices[i]);
            }
            for (std::uint32_t i = count - 1; i < count; i -= 2) {
                area << at(info_.vertices[i]);
            }
            painter.setPen(Qt::NoPen);
            painter.setBrush(color());
            painter.drawPolygon(area, Qt::WindingFill);
        } else {
            QPolygonF line;
            for (std::uint32_t i = 0; i < count; ++i) {
                line << at(info_.vertices[i]);
            }
            QPen pen(color(), 1.0);
            pen.setCosmetic(true);
            painter.setPen(pen);
            painter.drawPolyline(line);
        }
    }
}

}  // namespace vm
