#include "localaudio/AudioFloatConverter.h"

#include "localaudio/AudioUtilities.h"
#include "platform/audio/AudioTestSupport.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

TEST(AudioFloatConverterTest, ConvertsAnyNumberOfFramesToPerChannelFloats) {
    // Interleaved stereo int16 holds 1024 frames per step of the converter; ask for 3000.
    AudioFloatConverter converter(test::int16Interleaved(24000, 2));
    EXPECT_EQ(AudioUtilities::floatFormatWithNumberOfChannels(2, 24000), converter.floatFormat());
    EXPECT_EQ(1024u, converter.info()->packetsPerBuffer);
    constexpr std::uint32_t frames = 3000;
    test::OwnedBufferList source(1, frames * 4, 2);
    for (std::uint32_t i = 0; i < frames; ++i) {
        source.samples<std::int16_t>(0)[2 * i] = std::int16_t(i);
        source.samples<std::int16_t>(0)[2 * i + 1] = std::int16_t(-std::int32_t(i));
    }
    std::vector<float> left(frames, -9), right(frames, -9);
    float* buffers[] = {left.data(), right.data()};
    converter.convertDataFromAudioBufferList(source.list(), frames, buffers);
    for (std::uint32_t i = 0; i < frames; ++i) {
        ASSERT_EQ(float(i) / 32768.0f, left[i]) << i;
        ASSERT_EQ(-float(i) / 32768.0f, right[i]) << i;
    }
    // Zero frames touches nothing.
    left[0] = 7;
    converter.convertDataFromAudioBufferList(source.list(), 0, buffers);
    EXPECT_EQ(7.0f, left[0]);
}

}  // namespace
}  // namespace vm
