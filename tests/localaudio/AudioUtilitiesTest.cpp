#include "localaudio/AudioUtilities.h"

#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace vm {
namespace {

TEST(AudioUtilitiesTest, CheckResultReportsFailuresOnly) {
    test::LogCapture log;
    AudioUtilities::checkResult(0, "Nothing wrong");
    AudioUtilities::checkResult(fourCC("fmt?"), "Failed to convert");
    AudioUtilities::checkResult(-50, "Failed to set");
    const std::vector<std::string> expected = {"Error: Failed to convert ('fmt?')",
                                               "Error: Failed to set (-50)"};
    EXPECT_EQ(expected, log.lines());
    EXPECT_EQ("'lpcm'", AudioUtilities::stringFromUInt32Code(fourCC("lpcm")));
    EXPECT_EQ("1", AudioUtilities::stringFromUInt32Code(1));
}

TEST(AudioUtilitiesTest, CheckResultEndsTheProcessWhenAsked) {
    // Other tests of this program leave dispatch threads running: the child starts afresh.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            AudioUtilities::setShouldExitOnCheckResultFail(true);
            AudioUtilities::checkResult(-1, "Failed");
        },
        ::testing::ExitedWithCode(255), "");
    EXPECT_FALSE(AudioUtilities::shouldExitOnCheckResultFail());
}

TEST(AudioUtilitiesTest, FormatFactories) {
    struct Case {
        AudioStreamBasicDescription format;
        AudioFormatFlags flags;
        std::uint32_t bytes;
        std::uint32_t channels;
    };
    const Case cases[] = {
        {AudioUtilities::monoFloatFormatWithSampleRate(8000), 0x9, 4, 1},
        {AudioUtilities::monoCanonicalFormatWithSampleRate(8000), 0x29, 4, 1},
        {AudioUtilities::stereoCanonicalNonInterleavedFormatWithSampleRate(8000), 0x29, 4, 2},
        {AudioUtilities::stereoFloatInterleavedFormatWithSampleRate(8000), 0x1, 8, 2},
        {AudioUtilities::stereoFloatNonInterleavedFormatWithSampleRate(8000), 0x21, 4, 2},
        {AudioUtilities::floatFormatWithNumberOfChannels(3, 8000), 0x21, 4, 3},
        {AudioUtilities::aiffFormatWithNumberOfChannels(3, 8000), 0xE, 12, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(8000, c.format.mSampleRate);
        EXPECT_EQ(kAudioFormatLinearPCM, c.format.mFormatID);
        EXPECT_EQ(c.flags, c.format.mFormatFlags);
        EXPECT_EQ(c.bytes, c.format.mBytesPerFrame);
        EXPECT_EQ(c.bytes, c.format.mBytesPerPacket);
        EXPECT_EQ(1u, c.format.mFramesPerPacket);
        EXPECT_EQ(c.channels, c.format.mChannelsPerFrame);
        EXPECT_EQ(32u, c.format.mBitsPerChannel);
    }
    AudioStreamBasicDescription canonical{};
    canonical.mSampleRate = 48000;
    AudioUtilities::setCanonicalAudioStreamBasicDescription(&canonical, 2, true);
    EXPECT_EQ(AudioUtilities::stereoFloatInterleavedFormatWithSampleRate(48000).mBytesPerFrame,
              canonical.mBytesPerFrame);
    EXPECT_EQ(0x9u, canonical.mFormatFlags);
    EXPECT_TRUE(AudioUtilities::isInterleaved(canonical));
    AudioUtilities::setCanonicalAudioStreamBasicDescription(&canonical, 2, false);
    EXPECT_EQ(0x29u, canonical.mFormatFlags);
    EXPECT_EQ(4u, canonical.mBytesPerFrame);
    EXPECT_FALSE(AudioUtilities::isInterleaved(canonical));
    EXPECT_TRUE(AudioUtilities::isFloatFormat(canonical));
    EXPECT_TRUE(AudioUtilities::isLinearPCM(canonical));
}

TEST(AudioUtilitiesTest, DescribesFormats) {
    const auto format = AudioUtilities::stereoFloatNonInterleavedFormatWithSampleRate(44100);
    test::LogCapture log;
    AudioUtilities::printASBD(format);
    ASSERT_EQ(8u, log.lines().size());
    EXPECT_EQ("  Sample Rate:              44100", log.lines()[0]);
    EXPECT_EQ("  Format ID:                 lpcm", log.lines()[1]);
    EXPECT_EQ("  Format Flags:                21", log.lines()[2]);
    const std::string text = AudioUtilities::stringForAudioStreamBasicDescription(format);
    EXPECT_EQ(0u, text.find("\nSample Rate:            44100,\nFormat ID:                 lpcm,"));
    EXPECT_NE(std::string::npos, text.find("\nIsInterleaved:       0,\nIsFloat:             1,"));
}

TEST(AudioUtilitiesTest, BufferListsAndFloatBuffers) {
    AudioBufferList* stereo = AudioUtilities::audioBufferListWithNumberOfFrames(256, 2, false);
    ASSERT_EQ(2u, stereo->mNumberBuffers);
    for (std::uint32_t b = 0; b < 2; ++b) {
        EXPECT_EQ(256u * 4, audioBuffers(stereo)[b].mDataByteSize);
        EXPECT_EQ(1u, audioBuffers(stereo)[b].mNumberChannels);
    }
    EXPECT_EQ(0.0f, static_cast<float*>(audioBuffers(stereo)[1].mData)[255]);
    AudioBufferList* interleaved = AudioUtilities::audioBufferListWithNumberOfFrames(256, 2, true);
    ASSERT_EQ(1u, interleaved->mNumberBuffers);
    EXPECT_EQ(256u * 8, interleaved->mBuffers[0].mDataByteSize);
    EXPECT_EQ(2u, interleaved->mBuffers[0].mNumberChannels);
    AudioUtilities::freeBufferList(stereo);
    AudioUtilities::freeBufferList(interleaved);
    AudioUtilities::freeBufferList(nullptr);

    float** buffers = AudioUtilities::floatBuffersWithNumberOfFrames(16, 3);
    buffers[2][15] = 1.0f;
    AudioUtilities::freeFloatBuffers(buffers, 3);
    AudioUtilities::freeFloatBuffers(nullptr, 3);
    // A null first pointer means nothing was allocated in the array: nothing is freed.
    float* empty[2] = {nullptr, nullptr};
    AudioUtilities::freeFloatBuffers(empty, 2);
}

TEST(AudioUtilitiesTest, Numbers) {
    EXPECT_FLOAT_EQ(75.0f, AudioUtilities::map(0.5f, 0, 1, 50, 100));
    const float values[] = {3, -4};
    EXPECT_FLOAT_EQ(std::sqrt(12.5f), AudioUtilities::rms(values, 2));
    EXPECT_TRUE(std::isnan(AudioUtilities::rms(values, 0)));
    EXPECT_EQ(0.0f, AudioUtilities::rms(values, -1));
    EXPECT_EQ(-1.0f, AudioUtilities::sgn(-0.1f));
    EXPECT_EQ(0.0f, AudioUtilities::sgn(0));
    EXPECT_EQ(1.0f, AudioUtilities::sgn(3));

    EXPECT_EQ("01:02", AudioUtilities::displayTimeStringFromSeconds(61.2));
    EXPECT_EQ("00:00", AudioUtilities::displayTimeStringFromSeconds(3600));
    EXPECT_EQ("00:00", AudioUtilities::displayTimeStringFromSeconds(0));

    struct Note {
        float frequency;
        const char* name;
    };
    const Note notes[] = {
        {440, "A4"},     {261.63f, "C4"}, {246.94f, "B3"}, {523.25f, "C5"},  {987.77f, "B5"},
        {130.81f, "C3"}, {123.47f, "B2"}, {61.74f, "B1"},  {466.16f, "A#4"}, {27.5f, "A0"},
    };
    for (const auto& note : notes) {
        EXPECT_EQ(note.name, AudioUtilities::noteNameStringForFrequency(note.frequency, true))
            << note.frequency;
    }
    EXPECT_EQ("A", AudioUtilities::noteNameStringForFrequency(440, false));
    EXPECT_EQ("", AudioUtilities::noteNameStringForFrequency(0, true));
}

TEST(AudioUtilitiesTest, ScrollingHistory) {
    float history[4] = {1, 2, 3, 4};
    const float more[] = {5, 6};
    AudioUtilities::appendBufferAndShift(more, 2, history, 4);
    EXPECT_EQ((std::vector<float>{3, 4, 5, 6}), std::vector<float>(history, history + 4));
    const float many[] = {7, 8, 9, 10, 11, 12};
    AudioUtilities::appendBufferAndShift(many, 6, history, 4);  // only the newest fit
    EXPECT_EQ((std::vector<float>{9, 10, 11, 12}), std::vector<float>(history, history + 4));
    AudioUtilities::appendValue(13, history, 4);
    EXPECT_EQ(13.0f, history[3]);

    float* scroll = nullptr;
    int index = 0;
    const float level[] = {0.5f, -0.5f};
    for (int i = 0; i < 3; ++i) {
        AudioUtilities::updateScrollHistory(&scroll, 2, &index, level, 2, false);
    }
    ASSERT_NE(nullptr, scroll);
    EXPECT_EQ(2, index);
    EXPECT_FLOAT_EQ(0.5f, scroll[1]);
    AudioUtilities::updateScrollHistory(&scroll, 2, &index, level, 2, true);
    EXPECT_EQ(2, index);
    AudioUtilities::freeScrollHistory(scroll);
}

TEST(AudioUtilitiesTest, RollingHistoryKeepsTheNewestWindow) {
    HistoryInfo* info = AudioUtilities::historyInfoWithDefaultLength(4, 8);
    ASSERT_NE(nullptr, info);
    EXPECT_EQ(4, info->bufferSize);
    // The window shows the oldest values held before the ring is cut back to the window, so
    // it trails the newest append by one.
    auto window = [&] { return std::vector<float>(info->buffer, info->buffer + 4); };
    const float first[] = {1, 2, 3};
    AudioUtilities::appendBuffer(first, 3, info);
    EXPECT_EQ((std::vector<float>{0, 0, 0, 0}), window());
    const float second[] = {4, 5};
    AudioUtilities::appendBuffer(second, 2, info);
    EXPECT_EQ((std::vector<float>{0, 1, 2, 3}), window());
    const float rms[] = {3, -3};
    AudioUtilities::appendBufferRMS(rms, 2, info);
    EXPECT_EQ((std::vector<float>{2, 3, 4, 5}), window());
    AudioUtilities::appendBufferRMS(rms, 0, info);  // not a number counts as 0
    EXPECT_EQ((std::vector<float>{3, 4, 5, 3}), window());
    AudioUtilities::appendBuffer(first, 1, info);
    EXPECT_EQ((std::vector<float>{4, 5, 3, 0}), window());
    AudioUtilities::clearHistoryInfo(info);
    EXPECT_EQ((std::vector<float>{0, 0, 0, 0}), std::vector<float>(info->buffer, info->buffer + 4));
    EXPECT_EQ(0, info->circularBuffer.fillCount.load());
    AudioUtilities::freeHistoryInfo(info);
}

TEST(AudioUtilitiesTest, ColorComponentsOnlyFromFourComponents) {
    double r = -1, g = -1, b = -1, a = -1;
    const double gray[] = {0.5, 1.0};
    AudioUtilities::getColorComponentsFromCGColor(gray, &r, &g, &b, &a);
    EXPECT_EQ(-1, r);
    EXPECT_EQ(-1, a);
    const double rgba[] = {0.569, 0.82, 0.478, 1.0};
    AudioUtilities::getColorComponentsFromCGColor(rgba, &r, &g, &b, &a);
    EXPECT_EQ((std::vector<double>{0.569, 0.82, 0.478, 1.0}), (std::vector<double>{r, g, b, a}));
}

}  // namespace
}  // namespace vm
