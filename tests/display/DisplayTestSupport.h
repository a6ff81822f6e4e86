#pragma once
// Helpers for the tests of the display models: views that record what their panadapter and
// waterfall hand them, a RadioLink that records commands, and stream packets of the simulated
// radio's encoder decoded as the stream manager decodes them.
#include "display/Panafall.h"
#include "display/Waterfall.h"
#include "radio/VITA.h"
#include "support/sim/SimVita.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace vm::test {

// One FFT packet as the view received it.
struct ReceivedFrame {
    std::uint32_t startBinIndex = 0;
    std::uint32_t numBins = 0;
    std::uint32_t totalBinsInFrame = 0;
    std::uint32_t binSize = 0;
    std::vector<std::uint16_t> bins;
};

// An FFT packet with bins of its own, to hand to a view directly.
struct TestFftFrame {
    TestFftFrame(std::vector<std::uint16_t> values, std::uint32_t start, std::uint32_t total)
        : bins(std::move(values)) {
        header.startBinIndex = start;
        header.numBins = static_cast<std::uint32_t>(bins.size());
        header.totalBinsInFrame = total;
    }
    // The frame as the panadapter hands it over, its bins pointing into `bins`.
    PanafallFFTFrame frame() const {
        PanafallFFTFrame f = header;
        f.bins = bins.data();
        return f;
    }
    PanafallFFTFrame header;
    std::vector<std::uint16_t> bins;
};

// A panadapter view that keeps every frame and joins the packets of a frame by their start bin,
// as the panadapter view does.
class RecordingPanView : public PanafallData {
public:
    explicit RecordingPanView(DispatchQueuePtr queue = nullptr) : queue_(std::move(queue)) {}
    void fftFrame(const PanafallFFTFrame& frame) override {
        if (queue_) {
            EXPECT_TRUE(queue_->isCurrent()) << "frames arrive on the pan's queue";
        }
        ReceivedFrame received{frame.startBinIndex, frame.numBins, frame.totalBinsInFrame,
                               frame.binSize,
                               std::vector<std::uint16_t>(frame.bins, frame.bins + frame.numBins)};
        std::lock_guard lock(mutex_);
        const std::size_t total = frame.totalBinsInFrame ? frame.totalBinsInFrame : frame.numBins;
        joined_.resize(std::max<std::size_t>(total, frame.startBinIndex + frame.numBins));
        std::copy(received.bins.begin(), received.bins.end(),
                  joined_.begin() + frame.startBinIndex);
        frames_.push_back(std::move(received));
    }
    std::vector<ReceivedFrame> frames() const {
        std::lock_guard lock(mutex_);
        return frames_;
    }
    std::size_t count() const { return frames().size(); }
    std::vector<std::uint16_t> joined() const {
        std::lock_guard lock(mutex_);
        return joined_;
    }

private:
    DispatchQueuePtr queue_;
    mutable std::mutex mutex_;
    std::vector<ReceivedFrame> frames_;
    std::vector<std::uint16_t> joined_;
};

class RecordingWaterfallView : public WaterfallData {
public:
    explicit RecordingWaterfallView(DispatchQueuePtr queue = nullptr) : queue_(std::move(queue)) {}
    void waterfallTile(const std::shared_ptr<WaterfallTile>& tile) override {
        if (queue_) {
            EXPECT_TRUE(queue_->isCurrent()) << "tiles arrive on the waterfall's queue";
        }
        std::lock_guard lock(mutex_);
        tiles_.push_back(tile);
    }
    std::vector<std::shared_ptr<WaterfallTile>> tiles() const {
        std::lock_guard lock(mutex_);
        return tiles_;
    }
    std::size_t count() const { return tiles().size(); }

private:
    DispatchQueuePtr queue_;
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<WaterfallTile>> tiles_;
};

// A session that records what its objects send, and answers nothing.
class RecordingLink : public RadioLink {
public:
    void commandToRadio(const std::string& command) override {
        std::lock_guard lock(mutex_);
        commands_.push_back(command);
    }
    std::optional<std::uint32_t> commandToRadio(const std::string& command,
                                                std::weak_ptr<RadioDelegate> notify) override {
        std::lock_guard lock(mutex_);
        commands_.push_back(command);
        receivers_.push_back(std::move(notify));
        return static_cast<std::uint32_t>(commands_.size());
    }
    std::shared_ptr<RadioInstance> radioRecord() const override { return record_; }
    int logLevel() const override { return 0; }
    // The display objects use nothing of the session's audio.
    void txStreamPacket(const Bytes&) override {}
    std::shared_ptr<Slice> sliceAt(int) const override { return nullptr; }
    void cmdNewAudioStream(int) override {}
    void cmdNewAudioStreamV3(int) override {}
    void cmdRemoveAudioStreamHandler(const std::shared_ptr<DAXAudio>&) override {}

    std::vector<std::string> commands() const {
        std::lock_guard lock(mutex_);
        return commands_;
    }
    std::vector<std::weak_ptr<RadioDelegate>> receivers() const {
        std::lock_guard lock(mutex_);
        return receivers_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> commands_;
    std::vector<std::weak_ptr<RadioDelegate>> receivers_;
    std::shared_ptr<RadioInstance> record_ = std::make_shared<RadioInstance>();
};

// A stream packet of the simulated radio, decoded, with the radio's firmware version stamped on
// it as the stream manager stamps it.
inline VITA streamPacket(std::uint16_t classCode, std::uint32_t streamId,
                         const std::string& payload, double fversion) {
    VITA packet(
        std::make_shared<Bytes>(sim::encodeVita(sim::streamHeader(classCode, streamId), payload)));
    packet.fversion = fversion;
    return packet;
}

// The span the drawing tests paint: 14.0 to 14.2 MHz, -140 to -40 dBm.
inline void setDrawingSpan(Panafall& pan) {
    pan.center.set(14.1f);
    pan.bandwidth.set(0.2f);
    pan.minDbm.set(-140.0f);
    pan.maxDbm.set(-40.0f);
}

}  // namespace vm::test
