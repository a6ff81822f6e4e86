#pragma once
// A waveform plot drawn as one path: the samples (or the rolling history) as a line across the
// view, centred on the middle or rising from the bottom, optionally mirrored about the axis and
// filled. Its coordinates have their origin at the lower left, y upwards. Optimised for real
// time (the default), it redraws at the display link's pace; otherwise after each buffer.
#include "localaudio/AudioDisplayLink.h"
#include "localaudio/AudioPlotBase.h"

#include <QPainterPath>
#include <QPointF>
#include <QRectF>

#include <atomic>
#include <memory>
#include <vector>

namespace vm {

class AudioPlot : public AudioPlotBase, public AudioDisplayLinkDelegate {
public:
    static constexpr std::uint32_t kMaximumPoints = 8192;
    static constexpr std::uint32_t kInitialPointCount = 100;
    static constexpr bool kIsDeviceOriginFlipped = false;

    explicit AudioPlot(QWidget* parent = nullptr);
    ~AudioPlot() override;

    bool shouldOptimizeForRealtimePlot() const { return realtime_; }
    void setShouldOptimizeForRealtimePlot(bool optimize);
    bool shouldCenterYAxis() const { return shouldCenterYAxis_; }
    void setShouldCenterYAxis(bool center) { shouldCenterYAxis_ = center; }

    void setColor(const QColor& color) override;
    void setBackgroundColor(const QColor& color) override;
    void setShouldFill(bool fill) override;

    void updateBuffer(const float* buffer, std::uint32_t bufferSize) override;
    // Point i is (i, gain × sample i), the first and last at 0; at most kMaximumPoints.
    void setSampleData(const float* samples, std::uint32_t length);
    void clear() override;
    // Builds the path from the points (on the GUI thread) and schedules a paint.
    void redraw();

    std::uint32_t pointCount() const;
    std::vector<QPointF> points() const;
    QPainterPath path() const { return path_; }
    AudioDisplayLink* displayLink() const { return displayLink_.get(); }

    // The path of `count` points in `rect` (no path for none).
    QPainterPath createPathWithPoints(const QPointF* points, std::uint32_t count,
                                      const QRectF& rect) const;

    void displayLinkNeedsDisplay(AudioDisplayLink& link) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void setSampleDataLocked(const float* samples, std::uint32_t length);
    // redraw() on the GUI thread, from any thread.
    void redrawSoon();

    bool shouldCenterYAxis_ = true;
    std::uint32_t pointCount_ = 0;
    std::vector<QPointF> points_;
    QPainterPath path_;
    std::unique_ptr<AudioDisplayLink> displayLink_;
    std::atomic<bool> realtime_{false};  // read by updateBuffer on any thread
};

}  // namespace vm
