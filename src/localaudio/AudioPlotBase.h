#pragma once
// The base of the waveform plots: colours, gain, what is plotted (the latest buffer, or the
// rolling history of buffer RMS values), fill and mirror. It also keeps the rolling history and
// the lock that both plots guard their data with: buffers may arrive on an audio thread, which
// only tries the lock and drops a buffer rather than wait for a redraw.
#include "localaudio/AudioUtilities.h"

#include <QColor>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <utility>

namespace vm {

enum class AudioPlotType : std::int64_t {
    Buffer = 0,   // the latest buffer as given
    Rolling = 1,  // the rolling history of buffer RMS values
};

class AudioPlotBase : public QWidget {
public:
    static constexpr int kDefaultRollingHistoryLength = 512;
    static constexpr int kMaximumRollingHistoryLength = 8192;

    explicit AudioPlotBase(QWidget* parent = nullptr);
    ~AudioPlotBase() override;

    // No colour (an invalid QColor) leaves the background undrawn.
    QColor backgroundColor() const { return backgroundColor_; }
    virtual void setBackgroundColor(const QColor& color) { backgroundColor_ = color; }
    QColor color() const { return color_; }
    virtual void setColor(const QColor& color) { color_ = color; }
    float gain() const { return gain_; }
    void setGain(float gain) { gain_ = gain; }
    AudioPlotType plotType() const { return plotType_; }
    void setPlotType(AudioPlotType type) { plotType_ = type; }
    bool shouldFill() const { return shouldFill_; }
    virtual void setShouldFill(bool fill) { shouldFill_ = fill; }
    bool shouldMirror() const { return shouldMirror_; }
    void setShouldMirror(bool mirror) { shouldMirror_ = mirror; }

    virtual void clear() {}
    // From any thread.
    virtual void updateBuffer(const float* buffer, std::uint32_t bufferSize);

    // The history's window, in values; the setter caps it and answers what it stored.
    int rollingHistoryLength() const;
    int setRollingHistoryLength(int length);

protected:
    // A fresh, silent history of the default window.
    void resetHistoryBuffers();
    // With the data lock held: appends the buffer's RMS to the history and answers what the
    // plot type shows, the history's window or the buffer itself.
    std::pair<const float*, std::uint32_t> appendToHistory(const float* buffer,
                                                           std::uint32_t bufferSize);
    HistoryInfo* historyInfo() const { return historyInfo_; }

    mutable std::mutex dataMutex_;

private:
    QColor backgroundColor_;
    QColor color_;
    // Read with the buffers, on whatever thread delivers them.
    std::atomic<float> gain_{1.0f};
    std::atomic<AudioPlotType> plotType_{AudioPlotType::Buffer};
    bool shouldFill_ = false;
    bool shouldMirror_ = false;
    HistoryInfo* historyInfo_ = nullptr;
};

}  // namespace vm
