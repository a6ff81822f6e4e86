// The panadapter's FFT packets (class 0x8003). Payload layouts, all numbers big-endian:
//
//   firmware 3.3 and later         older firmware
//   0  start bin index (u16)       0  start bin index (u16)
//   2  bins in the packet (u16)    6  bins in the packet (u16)
//   4  bytes per bin (u16)         10 bytes per bin (u16)
//   6  bins in the frame (u16)     (not sent: 0)
//   8  frame index (u32)           12 frame index (u32)
//   12 bins (u16 each)             16 bins (u16 each)
//
// Nothing is read before the payload is known to hold its whole header, and the bins are copied out
// (turned to host order on the way) only when all of them lie inside the payload, whatever the bin
// size says.
#include "display/BigEndian.h"
#include "display/Panafall.h"
#include "platform/core/Log.h"
#include "radio/VITA.h"

namespace vm {

namespace {

struct FftLayout {
    std::size_t numBins;
    std::size_t binSize;
    std::size_t totalBins;  // 0: not in this layout
    std::size_t frameIndex;
    std::size_t headerSize;
};

constexpr FftLayout kLayout33{2, 4, 6, 8, 12};
constexpr FftLayout kOlderLayout{6, 10, 0, 12, 16};
constexpr double kLayout33Version = 3.3;

}  // namespace

void Panafall::streamHandler(const VITA& packet) {
    if (!delegate_.isSet()) {
        return;
    }
    const FftLayout& layout = packet.fversion >= kLayout33Version ? kLayout33 : kOlderLayout;
    if (!packet.payload || packet.payloadLength < layout.headerSize) {
        log("pan:streamHandler:discard short packet: payload:[{}] header:[{}]",
            packet.payloadLength, layout.headerSize);
        return;
    }
    const char* payload = packet.payload;
    const std::uint32_t frameIndex = bigendian::read32(payload + layout.frameIndex);
    if (frameIndex < lastFFTFrameIndex_.load(std::memory_order_relaxed)) {
        countDroppedFrame();
        return;
    }
    lastFFTFrameIndex_.store(frameIndex, std::memory_order_relaxed);

    PanafallFFTFrame frame;
    frame.numBins = bigendian::read16(payload + layout.numBins);
    frame.binSize = bigendian::read16(payload + layout.binSize);
    if (frame.numBins == 0 || frame.numBins > PanafallFFTFrame::kMaxBins || frame.binSize == 0) {
        return;
    }
    const std::uint64_t room = packet.payloadLength - layout.headerSize;
    if (room < std::uint64_t{frame.numBins} * frame.binSize ||
        room < std::uint64_t{frame.numBins} * 2) {
        log("pan:streamHandler:discard oversize frame: index:[{}] numBins:[{}] binSize:[{}] "
            "vitaBuffer:[{}]",
            frameIndex, frame.numBins, frame.binSize, room);
        return;
    }
    frame.startBinIndex = bigendian::read16(payload);
    frame.totalBinsInFrame = layout.totalBins ? bigendian::read16(payload + layout.totalBins) : 0;

    const bool started = frames_.addWith(
        [&](PanafallFrameBatch& batch) { batch.add(frame, payload + layout.headerSize); });
    if (started) {
        runQueue()->async([weak = weak_from_this()] {
            if (const auto self = weak.lock()) {
                self->frames_.deliverBatch([&](const PanafallFrameBatch& batch) {
                    if (const auto view = self->delegate()) {
                        view->fftFrames(batch);
                    }
                });
            }
        });
    }
}

// The stream manager's queue is the only writer. The drops of one burst share one announcement:
// the flag is cleared before the announcement reads the count, so a later drop starts another.
void Panafall::countDroppedFrame() {
    droppedFrames.store(droppedFrames() + 1);
    if (dropsAnnouncing_.exchange(true)) {
        return;
    }
    DispatchQueue::main()->async([weak = weak_from_this()] {
        if (const auto self = weak.lock()) {
            self->dropsAnnouncing_.store(false);
            self->droppedFrames.announce();
        }
    });
}

}  // namespace vm
