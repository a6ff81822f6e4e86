#pragma once
// Takes the panadapter's FFT packets on the pan's queue and keeps the spectrum for the main
// thread. Each packet's bins are copied at their start index into one fixed array of
// PanafallFFTFrame::kMaxBins values (no allocation per packet), so a frame that comes in several
// packets is put together in place and every column shows its latest value. The first packet
// after the main thread last looked queues one main-queue task; packets that follow before it
// runs only add their bins, so a busy main thread is asked once.
//
// The copy and the main thread's read of the array share a lock held only for the copy of the
// bins: the stream thread never waits for drawing.
#include "display/PanafallFFTFrame.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace vm {

class PanafallFrameInbox : public PanafallData,
                           public std::enable_shared_from_this<PanafallFrameInbox> {
public:
    using Bins = std::array<std::uint16_t, PanafallFFTFrame::kMaxBins>;
    // Main thread: packets have arrived since the last call.
    using Receiver = std::function<void()>;

    static std::shared_ptr<PanafallFrameInbox> create(Receiver receiver);

    // The pan's queue. Every packet is counted; one with no bins, or whose bins would end at index
    // kMaxBins or later, changes nothing else.
    void fftFrame(const PanafallFFTFrame& frame) override;
    // fftFrame() for each packet of the batch, in order, under one lock and with one request to
    // the main thread.
    void fftFrames(const PanafallFrameBatch& batch) override;

    // Frames counted since the last call (any thread).
    std::uint64_t takeFrameCount() { return frameCount_.exchange(0); }
    std::uint64_t frameCount() const { return frameCount_.load(); }
    // The bin count of the newest packet's frame: its total, or its own count when the total is
    // 0, never more than kMaxBins. 0 before the first packet.
    std::uint32_t frameBins() const { return frameBins_.load(); }
    // Copies the first `count` bins (at most kMaxBins) into `out`.
    void copyBins(std::uint16_t* out, std::uint32_t count) const;

    // Main thread: no later delivery reaches the receiver.
    void disconnect() { receiver_ = nullptr; }

private:
    explicit PanafallFrameInbox(Receiver receiver);
    // Under mutex_: copies the packet's bins when they fit. Its frame's bin count, 0 when the
    // packet is dropped.
    std::uint32_t copyIn(const PanafallFFTFrame& frame);
    // After packets were taken: their bin count, and the main thread asked to look.
    void taken(std::uint32_t frameBins);
    void deliver();

    Receiver receiver_;  // main thread only
    std::atomic<std::uint64_t> frameCount_{0};
    std::atomic<std::uint32_t> frameBins_{0};
    std::atomic<bool> deliveryQueued_{false};
    mutable std::mutex mutex_;
    std::unique_ptr<Bins> bins_;
};

}  // namespace vm
