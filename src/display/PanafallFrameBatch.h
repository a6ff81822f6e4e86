#pragma once
// The FFT packets a panadapter took in since its view last took them: the frames in arrival
// order and the bins of all of them, one run after another, in host order. The bins are copied
// out of the datagram and turned to host order in one pass, so nothing of the datagram is kept.
// Cleared between turns, a batch keeps its storage: a steady stream of frames allocates nothing.
#include "display/PanafallFFTFrame.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace vm {

class PanafallFrameBatch {
public:
    // Appends `frame` with its `frame.numBins` bins read from `bigEndianBins` (the frame's `bins`
    // is ignored).
    void add(const PanafallFFTFrame& frame, const char* bigEndianBins);

    // Calls `each(frame)` for every frame in arrival order, its `bins` pointing into the batch.
    template <class Each>
    void forEach(Each&& each) const {
        for (const Entry& entry : entries_) {
            PanafallFFTFrame frame = entry.frame;
            frame.bins = bins_.get() + entry.binOffset;
            each(std::as_const(frame));
        }
    }

    bool empty() const { return entries_.empty(); }
    void clear() {
        entries_.clear();
        binCount_ = 0;
    }

private:
    struct Entry {
        PanafallFFTFrame frame;
        std::size_t binOffset;
    };
    void reserveBins(std::size_t count);

    std::vector<Entry> entries_;
    // Bins are written before they are read, so the storage is not zeroed first.
    std::unique_ptr<std::uint16_t[]> bins_;
    std::size_t binCount_ = 0;
    std::size_t binCapacity_ = 0;
};

}  // namespace vm
