#include "platform/audio/AudioConverter.h"

#include "platform/audio/AudioTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vm {
namespace {

using test::OwnedBufferList;

// An input procedure that hands over `frames` frames of a list once, then nothing.
struct OneShot {
    AudioBufferList* source;
    std::uint32_t frames;
    std::uint32_t bytesPerFrame;
    std::uint32_t handed = 0;
    OSStatus operator()(std::uint32_t* count, AudioBufferList* io, AudioStreamPacketDescription**) {
        const std::uint32_t n = std::min(*count, frames - handed);
        for (std::uint32_t b = 0; b < io->mNumberBuffers; ++b) {
            audioBuffers(io)[b] = audioBuffers(source)[b];
            audioBuffers(io)[b].mData =
                static_cast<std::uint8_t*>(audioBuffers(io)[b].mData) + handed * bytesPerFrame;
            audioBuffers(io)[b].mDataByteSize = n * bytesPerFrame;
        }
        handed += n;
        *count = n;
        return 0;
    }
};

TEST(AudioConverterTest, ConvertsSampleTypesLayoutsAndChannelCounts) {
    // Stereo int16 interleaved -> float non-interleaved.
    std::unique_ptr<AudioConverter> converter;
    ASSERT_EQ(0, AudioConverter::create(test::int16Interleaved(24000, 2),
                                        test::floatNonInterleaved(24000, 2), &converter));
    OwnedBufferList in(1, 4 * 2, 2);
    const std::int16_t pcm[] = {16384, -32768, -16384, 32767};
    std::memcpy(in.samples<std::int16_t>(0), pcm, sizeof pcm);
    OwnedBufferList out(2, 2 * 4);
    std::uint32_t frames = 2;
    OneShot source{in.list(), 2, 4};
    ASSERT_EQ(0, converter->fillComplexBuffer(std::ref(source), &frames, out.list(), nullptr));
    EXPECT_EQ(2u, frames);
    EXPECT_FLOAT_EQ(0.5f, out.samples<float>(0)[0]);
    EXPECT_FLOAT_EQ(-0.5f, out.samples<float>(0)[1]);
    EXPECT_FLOAT_EQ(-1.0f, out.samples<float>(1)[0]);
    EXPECT_NEAR(1.0f, out.samples<float>(1)[1], 1e-4);

    // Mono float -> stereo copies; stereo -> mono averages; float -> big-endian int32.
    ASSERT_EQ(0, AudioConverter::create(test::floatNonInterleaved(8000, 1),
                                        test::floatNonInterleaved(8000, 2), &converter));
    OwnedBufferList mono(1, 4);
    *mono.samples<float>(0) = 0.25f;
    OwnedBufferList stereo(2, 4);
    frames = 1;
    OneShot monoSource{mono.list(), 1, 4};
    ASSERT_EQ(0,
              converter->fillComplexBuffer(std::ref(monoSource), &frames, stereo.list(), nullptr));
    EXPECT_EQ(0.25f, *stereo.samples<float>(0));
    EXPECT_EQ(0.25f, *stereo.samples<float>(1));

    AudioStreamBasicDescription bigEndian = test::int16Interleaved(8000, 1);
    bigEndian.mFormatFlags |= kAudioFormatFlagIsBigEndian;
    bigEndian.mBitsPerChannel = 32;
    bigEndian.mBytesPerFrame = bigEndian.mBytesPerPacket = 4;
    ASSERT_EQ(0, AudioConverter::create(test::floatNonInterleaved(8000, 2), bigEndian, &converter));
    *stereo.samples<float>(0) = 0.5f;
    *stereo.samples<float>(1) = 0.0f;
    OwnedBufferList be(1, 4);
    frames = 1;
    OneShot stereoSource{stereo.list(), 1, 4};
    ASSERT_EQ(0, converter->fillComplexBuffer(std::ref(stereoSource), &frames, be.list(), nullptr));
    const std::uint8_t expected[] = {0x20, 0x00, 0x00, 0x00};  // 0.25 as big-endian int32
    EXPECT_EQ(0, std::memcmp(expected, be.samples<std::uint8_t>(0), 4));
}

TEST(AudioConverterTest, RefusesWhatItCannotConvert) {
    std::unique_ptr<AudioConverter> converter;
    AudioStreamBasicDescription aac{};
    aac.mFormatID = kAudioFormatMPEG4AAC;
    aac.mSampleRate = 44100;
    aac.mChannelsPerFrame = 2;
    EXPECT_EQ(kAudioFormatUnsupportedError,
              AudioConverter::create(aac, test::floatNonInterleaved(44100, 2), &converter));
    EXPECT_EQ(kAudioFormatUnsupportedError,
              AudioConverter::create(test::floatNonInterleaved(44100, 2),
                                     test::floatNonInterleaved(44100, 4), &converter));
    EXPECT_EQ(nullptr, converter);
}

TEST(AudioConverterTest, NeverWritesPastTheOutputBuffers) {
    std::unique_ptr<AudioConverter> converter;
    ASSERT_EQ(0, AudioConverter::create(test::floatNonInterleaved(8000, 1),
                                        test::floatNonInterleaved(8000, 1), &converter));
    OwnedBufferList in(1, 4000 * 4);
    OwnedBufferList out(1, 100 * 4);
    std::uint32_t frames = 4000;
    OneShot source{in.list(), 4000, 4};
    ASSERT_EQ(0, converter->fillComplexBuffer(std::ref(source), &frames, out.list(), nullptr));
    EXPECT_EQ(100u, frames);
    EXPECT_EQ(400u, out.list()->mBuffers[0].mDataByteSize);
}

TEST(AudioConverterTest, ResamplesAToneKeepingItsFrequency) {
    // 1 kHz at 24 kHz in, 48 kHz out: the output holds twice the frames and the same tone.
    std::unique_ptr<AudioConverter> converter;
    ASSERT_EQ(0, AudioConverter::create(test::int16Interleaved(24000, 1),
                                        test::floatNonInterleaved(48000, 1), &converter));
    constexpr std::uint32_t inFrames = 24000;
    OwnedBufferList in(1, inFrames * 2);
    for (std::uint32_t i = 0; i < inFrames; ++i) {
        in.samples<std::int16_t>(0)[i] = std::int16_t(test::tone(1000, 24000, i) * 32767);
    }
    OneShot source{in.list(), inFrames, 2};
    std::vector<float> output;
    for (;;) {
        OwnedBufferList out(1, 512 * 4);
        std::uint32_t frames = 512;
        ASSERT_EQ(0, converter->fillComplexBuffer(std::ref(source), &frames, out.list(), nullptr));
        output.insert(output.end(), out.samples<float>(0), out.samples<float>(0) + frames);
        if (frames == 0) {
            break;
        }
    }
    // The resampler holds back a few frames of history at the end of a stream.
    EXPECT_NEAR(double(output.size()), 2.0 * inFrames, 200);
    int crossings = 0;
    for (std::size_t i = 1000; i + 1 < 41000; ++i) {
        crossings += (output[i] < 0) != (output[i + 1] < 0);
    }
    EXPECT_NEAR(crossings, 2 * 1000 * 40000 / 48000, 2);  // two per cycle over 40000 frames
    float peak = 0;
    for (std::size_t i = 1000; i < 41000; ++i) {
        peak = std::max(peak, std::abs(output[i]));
    }
    EXPECT_NEAR(0.5f, peak, 0.01f);
}

TEST(AudioConverterTest, ResamplingPullsOnlyWhatEachOutputNeeds) {
    // 441 frames out at 44100 Hz are 240 frames in at 24000 Hz. A source that renders on demand
    // (a ring that a player fills at the same pace) must be asked for that much each time, not
    // for a little more that the resampler then keeps.
    std::unique_ptr<AudioConverter> converter;
    ASSERT_EQ(0, AudioConverter::create(test::int16Interleaved(24000, 2),
                                        test::floatNonInterleaved(44100, 2), &converter));
    std::vector<std::int16_t> silence(2 * AudioConverter::kChunk);
    std::uint32_t pulled = 0;
    auto source = [&](std::uint32_t* count, AudioBufferList* io, AudioStreamPacketDescription**) {
        audioBuffers(io)[0] = AudioBuffer{2, *count * 4, silence.data()};
        pulled += *count;
        return OSStatus(0);
    };
    for (int call = 0; call < 400; ++call) {
        SCOPED_TRACE(call);
        OwnedBufferList out(2, 441 * 4);
        pulled = 0;
        std::uint32_t frames = 441;
        ASSERT_EQ(0, converter->fillComplexBuffer(source, &frames, out.list(), nullptr));
        ASSERT_EQ(441u, frames);
        if (call >= 2) {
            ASSERT_NEAR(240.0, double(pulled), 1.0);
        }
    }
}

}  // namespace
}  // namespace vm
