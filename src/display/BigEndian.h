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

// `count` 16-bit values at `from`, in host order at `to` (which may be `from` itself). Four values
// at a time: the bytes of each 16-bit lane of a 64-bit word are exchanged together.
inline void copy16ToHost(const char* from, std::size_t count, void* to) {
    auto* out = static_cast<char*>(to);
    if constexpr (std::endian::native == std::endian::big) {
        std::memmove(out, from, count * 2);
        return;
    }
    constexpr std::uint64_t kLowBytes = 0x00FF00FF00FF00FFull;
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        std::uint64_t lanes;
        std::memcpy(&lanes, from + 2 * i, sizeof lanes);
        lanes = (lanes & kLowBytes) << 8 | (lanes >> 8 & kLowBytes);
        std::memcpy(out + 2 * i, &lanes, sizeof lanes);
    }
    for (; i < count; ++i) {
        const std::uint16_t value = read16(from + 2 * i);
        std::memcpy(out + 2 * i, &value, sizeof value);
    }
}

}  // namespace vm::bigendian
