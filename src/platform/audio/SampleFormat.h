#pragma once
// Linear PCM sample layouts and the conversion of runs of samples to and from 32-bit float.
#include "platform/audio/AudioTypes.h"

#include <cstddef>
#include <cstdint>

namespace vm {

struct PcmLayout {
    enum class Kind { Float32, Float64, Int16, Int24, Int32 };
    Kind kind = Kind::Float32;
    bool bigEndian = false;
    bool interleaved = true;
    std::uint32_t channels = 0;
    std::uint32_t bytesPerSample = 0;
    std::uint32_t bytesPerFrame = 0;  // of one buffer: all channels when interleaved, else one
    std::uint32_t buffers() const { return interleaved ? 1 : channels; }
};

// False for anything but packed linear PCM of one frame per packet, with 16, 24 or 32-bit
// integer or 32 or 64-bit float samples, at a rate above 0.
bool pcmLayout(const AudioStreamBasicDescription& format, PcmLayout* layout);

// Reads `count` samples that lie `srcStride` bytes apart into floats `dstStride` apart.
// Integers map to [-1, 1).
void decodeSamples(const PcmLayout& layout, const std::uint8_t* src, std::size_t srcStride,
                   float* dst, std::size_t dstStride, std::uint32_t count);
// The reverse; integers are rounded and clipped.
void encodeSamples(const PcmLayout& layout, const float* src, std::size_t srcStride,
                   std::uint8_t* dst, std::size_t dstStride, std::uint32_t count);

}  // namespace vm
