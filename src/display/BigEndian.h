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
// overlap it). BigEndian.cpp.
void copy16ToHost(const char* from, std::size_t count, void* to);

}  // namespace vm::bigendian
