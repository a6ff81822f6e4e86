// Turning runs of big-endian 16-bit values into host order, in place and into another buffer,
// for run lengths around the widths the conversion works in.
#include "display/BigEndian.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace vm {
namespace {

TEST(BigEndian, RunsOfSixteenBitValuesReachHostOrder) {
    for (const std::size_t count : {0u, 1u, 7u, 15u, 16u, 17u, 31u, 32u, 33u, 100u}) {
        SCOPED_TRACE(count);
        std::string wire;
        std::vector<std::uint16_t> expected;
        for (std::size_t i = 0; i < count; ++i) {
            const auto value = static_cast<std::uint16_t>(0x0102 * (i + 1) + (i << 12));
            wire += static_cast<char>(value >> 8);
            wire += static_cast<char>(value & 0xFF);
            expected.push_back(value);
        }
        // One more value after the run, which neither conversion may touch.
        std::vector<std::uint16_t> out(count + 1, 0xBEEF);
        bigendian::copy16ToHost(wire.data(), count, out.data());
        EXPECT_EQ(std::vector<std::uint16_t>(out.begin(), out.end() - 1), expected);
        EXPECT_EQ(out.back(), 0xBEEF);

        std::string inPlace = wire + "\xAB\xCD";
        bigendian::copy16ToHost(inPlace.data(), count, inPlace.data());
        std::vector<std::uint16_t> swapped(count);
        if (count > 0) {  // an empty vector's data() may be null
            std::memcpy(swapped.data(), inPlace.data(), count * 2);
        }
        EXPECT_EQ(swapped, expected);
        EXPECT_EQ(inPlace.substr(count * 2), "\xAB\xCD");
    }
}

}  // namespace
}  // namespace vm
