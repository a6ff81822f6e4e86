#pragma once
// Buffers for a number of frames of one linear PCM format, made once, and a buffer list over
// them that can be handed out for any number of frames up to that many.
#include "platform/audio/SampleFormat.h"

#include <cstdint>
#include <vector>

namespace vm {

class AudioBufferStorage {
public:
    void allocate(const PcmLayout& layout, std::uint32_t frames);
    void clear();
    bool empty() const { return data_.empty(); }
    std::uint32_t frames() const { return frames_; }
    std::uint32_t bytesPerFrame() const { return bytesPerFrame_; }
    // The list over the storage, each buffer sized for min(frames, capacity) frames.
    AudioBufferList* list(std::uint32_t frames);

private:
    std::vector<std::vector<std::uint8_t>> data_;
    std::vector<std::uint8_t> list_;
    std::uint32_t frames_ = 0;
    std::uint32_t bytesPerFrame_ = 0;
    std::uint32_t channelsPerBuffer_ = 0;
};

}  // namespace vm
