#pragma once
// Reading the big-endian numbers of the display streams' payloads, and turning runs of 16-bit
// values into host order. Callers check that the bytes are there first.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vm::bigendian {

inline std::uint16_t toHost(std::uint16_t value) {
    return std::endian::native == std::endian::big ? value : __builtin_bswap16(value);
}

inline std::uint16_t read16(const char* p) {
    std::uint16_t value;
    std::memcpy(&value, p, sizeof value);
    return toHost(value);
}

inline std::uint32_t read32(const char* p) {
    std::uint32_t value;
    std::memcpy(&value, p, sizeof value);
    return std::endian::native == std::endian::big ? value : __builtin_bswap32(value);
}

inline std::uint64_t read64(const char* p) {
    std::uint64_t value;
    std::memcpy(&value, p, sizeof value);
    return std::endian::native == std::endian::big ? value : __builtin_bswap64(value);
}

// `count` 16-bit values at `from`, in host order at `to` (which may be `from` itself, or must not
// overlap it). Sixteen values at a time in vector registers, which the compiler turns into the
// target's shifts or byte shuffles; the rest one by one.
inline void copy16ToHost(const char* from, std::size_t count, void* to) {
    auto* out = static_cast<char*>(to);
    if constexpr (std::endian::native == std::endian::big) {
        std::memmove(out, from, count * 2);
        return;
    }
    using Lanes = std::uint16_t __attribute__((vector_size(16)));
    constexpr std::size_t kPerVector = sizeof(Lanes) / 2;
    std::size_t i = 0;
    for (; i + 2 * kPerVector <= count; i += 2 * kPerVector) {
        Lanes a;
        Lanes b;
        std::memcpy(&a, from + 2 * i, sizeof a);
        std::memcpy(&b, from + 2 * i + sizeof a, sizeof b);
        a = a << 8 | a >> 8;
        b = b << 8 | b >> 8;
        std::memcpy(out + 2 * i, &a, sizeof a);
        std::memcpy(out + 2 * i + sizeof a, &b, sizeof b);
    }
    for (; i < count; ++i) {
        const std::uint16_t value = read16(from + 2 * i);
        std::memcpy(out + 2 * i, &value, sizeof value);
    }
}

}  // namespace vm::bigendian
