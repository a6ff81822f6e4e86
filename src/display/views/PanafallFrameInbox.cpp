#include "display/views/PanafallFrameInbox.h"

#include "display/PanafallFrameBatch.h"
#include "platform/core/DispatchQueue.h"

#include <algorithm>
#include <cstring>

namespace vm {

std::shared_ptr<PanafallFrameInbox> PanafallFrameInbox::create(Receiver receiver) {
    return std::shared_ptr<PanafallFrameInbox>(new PanafallFrameInbox(std::move(receiver)));
}

PanafallFrameInbox::PanafallFrameInbox(Receiver receiver)
    : receiver_(std::move(receiver)), bins_(std::make_unique<Bins>()) {
    bins_->fill(0);
}

void PanafallFrameInbox::fftFrame(const PanafallFFTFrame& frame) {
    ++frameCount_;
    std::uint32_t frameBins = 0;
    {
        std::lock_guard lock(mutex_);
        frameBins = copyIn(frame);
    }
    taken(frameBins);
}

void PanafallFrameInbox::fftFrames(const PanafallFrameBatch& batch) {
    std::uint64_t count = 0;
    std::uint32_t frameBins = 0;
    {
        std::lock_guard lock(mutex_);
        batch.forEach([&](const PanafallFFTFrame& frame) {
            ++count;
            if (const std::uint32_t bins = copyIn(frame)) {
                frameBins = bins;
            }
        });
    }
    frameCount_ += count;
    taken(frameBins);
}

std::uint32_t PanafallFrameInbox::copyIn(const PanafallFFTFrame& frame) {
    const std::uint32_t start = frame.startBinIndex;
    const std::uint32_t count = frame.numBins;
    // The sum in 64 bits: a start near 2^32 must not wrap round to a small end.
    if (count == 0 || !frame.bins || std::uint64_t{start} + count >= PanafallFFTFrame::kMaxBins) {
        return 0;
    }
    std::memcpy(bins_->data() + start, frame.bins, count * sizeof(std::uint16_t));
    const std::uint32_t total = frame.totalBinsInFrame ? frame.totalBinsInFrame : count;
    return std::min(total, PanafallFFTFrame::kMaxBins);
}

void PanafallFrameInbox::taken(std::uint32_t frameBins) {
    if (frameBins == 0) {
        return;
    }
    frameBins_ = frameBins;
    if (!deliveryQueued_.exchange(true)) {
        DispatchQueue::main()->async([weak = weak_from_this()] {
            if (const auto inbox = weak.lock()) {
                inbox->deliver();
            }
        });
    }
}

void PanafallFrameInbox::copyBins(std::uint16_t* out, std::uint32_t count) const {
    std::lock_guard lock(mutex_);
    std::memcpy(out, bins_->data(),
                std::min(count, PanafallFFTFrame::kMaxBins) * sizeof(std::uint16_t));
}

void PanafallFrameInbox::deliver() {
    deliveryQueued_ = false;
    if (receiver_) {
        receiver_();
    }
}

}  // namespace vm
