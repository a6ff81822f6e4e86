#include "display/BigEndian.h"

namespace vm::bigendian {

// Sixteen values at a time in vector registers, which the compiler turns into the target's shifts
// or byte shuffles; the rest one by one. Built twice, for processors with AVX2 (32 bytes per
// instruction) and for any x86-64 (two 16-byte halves), and the loader picks the one this
// processor runs.
#if defined(__x86_64__)
__attribute__((target_clones("avx2", "default")))
#endif
void copy16ToHost(const char* from, std::size_t count, void* to) {
    auto* out = static_cast<char*>(to);
    if constexpr (std::endian::native == std::endian::big) {
        std::memmove(out, from, count * 2);
        return;
    }
    using Lanes = std::uint16_t __attribute__((vector_size(32)));
    constexpr std::size_t kPerVector = sizeof(Lanes) / 2;
    std::size_t i = 0;
    for (; i + kPerVector <= count; i += kPerVector) {
        Lanes lanes;
        std::memcpy(&lanes, from + 2 * i, sizeof lanes);
        lanes = lanes << 8 | lanes >> 8;
        std::memcpy(out + 2 * i, &lanes, sizeof lanes);
    }
    for (; i < count; ++i) {
        const std::uint16_t value = read16(from + 2 * i);
        std::memcpy(out + 2 * i, &value, sizeof value);
    }
}

}  // namespace vm::bigendian
