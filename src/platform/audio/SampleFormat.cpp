#include "platform/audio/SampleFormat.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace vm {

bool pcmLayout(const AudioStreamBasicDescription& f, PcmLayout* layout) {
    if (f.mFormatID != kAudioFormatLinearPCM || f.mFramesPerPacket != 1 ||
        f.mChannelsPerFrame == 0 || !(f.mSampleRate > 0) || f.mBitsPerChannel % 8 != 0) {
        return false;
    }
    PcmLayout l;
    l.bytesPerSample = f.mBitsPerChannel / 8;
    const bool isFloat = f.mFormatFlags & kAudioFormatFlagIsFloat;
    if (isFloat) {
        if (l.bytesPerSample == 4) {
            l.kind = PcmLayout::Kind::Float32;
        } else if (l.bytesPerSample == 8) {
            l.kind = PcmLayout::Kind::Float64;
        } else {
            return false;
        }
    } else {
        switch (l.bytesPerSample) {
            case 2: l.kind = PcmLayout::Kind::Int16; break;
            case 3: l.kind = PcmLayout::Kind::Int24; break;
            case 4: l.kind = PcmLayout::Kind::Int32; break;
            default: return false;
        }
    }
    l.bigEndian = f.mFormatFlags & kAudioFormatFlagIsBigEndian;
    l.interleaved = !(f.mFormatFlags & kAudioFormatFlagIsNonInterleaved);
    l.channels = f.mChannelsPerFrame;
    l.bytesPerFrame = l.interleaved ? l.bytesPerSample * l.channels : l.bytesPerSample;
    if (f.mBytesPerFrame != l.bytesPerFrame || f.mBytesPerPacket != l.bytesPerFrame) {
        return false;
    }
    *layout = l;
    return true;
}

namespace {

constexpr bool hostIsBigEndian = std::endian::native == std::endian::big;

// Loads `n` bytes in the layout's byte order as an unsigned value, least significant first.
inline std::uint64_t load(const std::uint8_t* p, std::uint32_t n, bool bigEndian) {
    std::uint64_t v = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        v |= std::uint64_t(p[bigEndian ? n - 1 - i : i]) << (8 * i);
    }
    return v;
}

inline void store(std::uint8_t* p, std::uint64_t v, std::uint32_t n, bool bigEndian) {
    for (std::uint32_t i = 0; i < n; ++i) {
        p[bigEndian ? n - 1 - i : i] = std::uint8_t(v >> (8 * i));
    }
}

inline std::int64_t signExtend(std::uint64_t v, std::uint32_t bytes) {
    const unsigned shift = 64 - 8 * bytes;
    return std::int64_t(v << shift) >> shift;
}

inline std::uint64_t quantize(float x, std::uint32_t bytes) {
    const double scale = double(std::uint64_t(1) << (8 * bytes - 1));
    const double v = std::clamp(std::nearbyint(double(x) * scale), -scale, scale - 1);
    return std::uint64_t(std::int64_t(v));
}

}  // namespace

void decodeSamples(const PcmLayout& layout, const std::uint8_t* src, std::size_t srcStride,
                   float* dst, std::size_t dstStride, std::uint32_t count) {
    const bool native = layout.bigEndian == hostIsBigEndian;
    if (layout.kind == PcmLayout::Kind::Float32 && native) {
        for (std::uint32_t i = 0; i < count; ++i) {
            std::memcpy(dst + i * dstStride, src + i * srcStride, 4);
        }
        return;
    }
    if (layout.kind == PcmLayout::Kind::Int16 && native) {
        for (std::uint32_t i = 0; i < count; ++i) {
            std::int16_t v;
            std::memcpy(&v, src + i * srcStride, 2);
            dst[i * dstStride] = float(v) * (1.0f / 32768.0f);
        }
        return;
    }
    const std::uint32_t n = layout.bytesPerSample;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t raw = load(src + i * srcStride, n, layout.bigEndian);
        float value;
        if (layout.kind == PcmLayout::Kind::Float32) {
            value = std::bit_cast<float>(std::uint32_t(raw));
        } else if (layout.kind == PcmLayout::Kind::Float64) {
            value = float(std::bit_cast<double>(raw));
        } else {
            value = float(double(signExtend(raw, n)) / double(std::uint64_t(1) << (8 * n - 1)));
        }
        dst[i * dstStride] = value;
    }
}

void encodeSamples(const PcmLayout& layout, const float* src, std::size_t srcStride,
                   std::uint8_t* dst, std::size_t dstStride, std::uint32_t count) {
    const bool native = layout.bigEndian == hostIsBigEndian;
    if (layout.kind == PcmLayout::Kind::Float32 && native) {
        for (std::uint32_t i = 0; i < count; ++i) {
            std::memcpy(dst + i * dstStride, src + i * srcStride, 4);
        }
        return;
    }
    const std::uint32_t n = layout.bytesPerSample;
    for (std::uint32_t i = 0; i < count; ++i) {
        const float x = src[i * srcStride];
        std::uint64_t raw;
        if (layout.kind == PcmLayout::Kind::Float32) {
            raw = std::bit_cast<std::uint32_t>(x);
        } else if (layout.kind == PcmLayout::Kind::Float64) {
            raw = std::bit_cast<std::uint64_t>(double(x));
        } else {
            raw = quantize(x, n);
        }
        store(dst + i * dstStride, raw, n, layout.bigEndian);
    }
}

}  // namespace vm
