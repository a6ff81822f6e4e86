#pragma once
// The strip plot: the samples (or the rolling history) laid out as vertices across a solid
// background, drawn as a line strip, or, when filled, as a triangle strip between each value and
// the axis; mirrored, drawn once more upside down. It keeps the vertex store of the graphics
// plot it stands for (8192 vertices, two per value when filled) and draws it with QPainter at
// the display link's pace, which always runs unless paused.
#include "localaudio/AudioDisplayLink.h"
#include "localaudio/AudioPlotBase.h"

#include <QPointF>

#include <memory>
#include <vector>

namespace vm {

struct AudioPlotGLInfo {
    bool interpolated = false;  // the fill setting at the last data update
    std::vector<QPointF> vertices;
    std::uint32_t pointCount = 0;  // vertices in use
};

class AudioPlotGL : public AudioPlotBase, public AudioDisplayLinkDelegate {
public:
    static constexpr std::uint32_t kMaximumVertices = 8192;

    explicit AudioPlotGL(QWidget* parent = nullptr);
    ~AudioPlotGL() override;

    void updateBuffer(const float* buffer, std::uint32_t bufferSize) override;
    // One vertex per value, or two when filled: (i, value) and (i, 0); the first and last at 0.
    // A filled strip holds the newest kMaximumVertices / 2 values.
    void setSampleData(const float* samples, std::uint32_t length);
    void clear() override;
    void redraw() { update(); }
    void pauseDrawing();
    void resumeDrawing();

    std::uint32_t vertexCount() const;
    std::vector<QPointF> vertices() const;
    bool interpolated() const;
    AudioDisplayLink* displayLink() const { return displayLink_.get(); }

    void displayLinkNeedsDisplay(AudioDisplayLink& link) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void setSampleDataLocked(const float* samples, std::uint32_t length);

    AudioPlotGLInfo info_;
    std::unique_ptr<AudioDisplayLink> displayLink_;
};

}  // namespace vm
