#include "display/PanafallFrameBatch.h"

#include "display/BigEndian.h"

#include <algorithm>
#include <cstring>

namespace vm {

void PanafallData::fftFrames(const PanafallFrameBatch& batch) {
    batch.forEach([this](const PanafallFFTFrame& frame) { fftFrame(frame); });
}

void PanafallFrameBatch::add(const PanafallFFTFrame& frame, const char* bigEndianBins) {
    reserveBins(binCount_ + frame.numBins);
    bigendian::copy16ToHost(bigEndianBins, frame.numBins, bins_.get() + binCount_);
    entries_.push_back({frame, binCount_});
    entries_.back().frame.bins = nullptr;
    binCount_ += frame.numBins;
}

void PanafallFrameBatch::reserveBins(std::size_t count) {
    if (count <= binCapacity_) {
        return;
    }
    const std::size_t capacity = std::max(count, binCapacity_ * 2);
    auto grown = std::make_unique_for_overwrite<std::uint16_t[]>(capacity);
    if (binCount_ > 0) {
        std::memcpy(grown.get(), bins_.get(), binCount_ * sizeof(std::uint16_t));
    }
    bins_ = std::move(grown);
    binCapacity_ = capacity;
}

}  // namespace vm
