#include "localaudio/FileRecorder.h"

#include "localaudio/AudioFile.h"

#include "localaudio/AudioUtilities.h"
#include "localaudio/SoundFileFixture.h"
#include "platform/audio/AudioTestSupport.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>

namespace vm {
namespace {

using test::SoundFolder;
using test::tone;

class CountingRecorderDelegate : public FileRecorderDelegate {
public:
    void recorderUpdatedCurrentTime(FileRecorder&) override { ++updates; }
    void recorderDidClose(FileRecorder&) override { ++closes; }
    int updates = 0;
    int closes = 0;
};

// Appends `seconds` of a 1 kHz tone (0.5 on channel 0, 0.25 on the others) in the client format,
// 512 frames at a time.
void appendTone(FileRecorder& recorder, double seconds) {
    const AudioStreamBasicDescription format = recorder.clientFormat();
    const double rate = format.mSampleRate;
    const std::uint32_t channels = format.mChannelsPerFrame;
    const bool interleaved = AudioUtilities::isInterleaved(format);
    const std::uint32_t buffers = interleaved ? 1 : channels;
    const std::uint32_t perBuffer = interleaved ? channels : 1;
    test::OwnedBufferList list(buffers, 512 * format.mBytesPerFrame, perBuffer);
    const auto total = std::size_t(seconds * rate);
    for (std::size_t at = 0; at < total; at += 512) {
        const auto frames = std::uint32_t(std::min<std::size_t>(512, total - at));
        for (std::uint32_t f = 0; f < frames; ++f) {
            for (std::uint32_t c = 0; c < channels; ++c) {
                const float s = tone(1000, rate, at + f, c == 0 ? 0.5f : 0.25f);
                const std::uint32_t b = interleaved ? 0 : c;
                const std::size_t i = interleaved ? std::size_t(f) * channels + c : f;
                if (format.mBitsPerChannel == 16) {
                    list.samples<std::int16_t>(b)[i] = std::int16_t(std::lround(s * 32767));
                } else {
                    list.samples<float>(b)[i] = s;
                }
            }
        }
        recorder.appendDataFromBufferList(list.list(), frames);
    }
}

struct RecordCase {
    const char* name;
    const char* file;
    FileRecorderFileType type;
    AudioStreamBasicDescription client;
    std::optional<AudioStreamBasicDescription> fileFormat;  // set: the full initializer (AIFF)
    int expectedFormat;
    int expectedChannels;
    int expectedRate;
};
void PrintTo(const RecordCase& c, std::ostream* os) { *os << c.name; }

class FileRecorderWriteTest : public ::testing::TestWithParam<RecordCase> {};

// Five seconds recorded: while recording only a hidden temporary file exists; once closed, the
// file has its name, its format, five seconds of frames and the tone's level on each channel.
TEST_P(FileRecorderWriteTest, WritesFiveSecondsOfTheRightLevel) {
    const RecordCase& c = GetParam();
    SoundFolder folder;
    const std::string url = (folder.path / c.file).string();
    auto recorder = c.fileFormat ? FileRecorder::recorderWithURL(url, c.client, *c.fileFormat,
                                                                 kAudioFileAIFFType)
                                 : FileRecorder::recorderWithURL(url, c.client, c.type);
    ASSERT_TRUE(recorder);
    appendTone(*recorder, 5.0);
    const auto during = folder.names();
    ASSERT_EQ(1u, during.size());
    EXPECT_EQ("." + std::string(c.file) + ".", during[0].substr(0, std::strlen(c.file) + 2));
    EXPECT_EQ(std::int64_t(5 * c.client.mSampleRate), recorder->frameIndex());
    recorder->closeAudioFile();
    EXPECT_EQ(std::vector<std::string>{c.file}, folder.names());

    const auto contents = test::readSoundFile(url);
    EXPECT_EQ(c.expectedFormat, contents.info.format);
    EXPECT_EQ(c.expectedChannels, contents.info.channels);
    EXPECT_EQ(c.expectedRate, contents.info.samplerate);
    // A rate change keeps the resampler's few frames of delay.
    EXPECT_NEAR(5.0 * c.expectedRate, double(contents.info.frames), c.fileFormat ? 64 : 0);
    EXPECT_EQ(contents.info.frames, recorder->totalFrames());
    EXPECT_NEAR(5.0, recorder->duration(), 0.01);
    EXPECT_EQ("00:05", recorder->formattedDuration());
    for (int ch = 0; ch < contents.info.channels; ++ch) {
        const bool mono = c.client.mChannelsPerFrame == 1;
        const float amplitude = ch == 0 || mono ? 0.5f : 0.25f;
        EXPECT_NEAR(amplitude / std::sqrt(2.0f), contents.channelRms(ch), 1e-3) << "channel " << ch;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Types, FileRecorderWriteTest,
    ::testing::Values(RecordCase{"AiffFromMonoFloat", "voice.aiff", FileRecorderFileTypeAIFF,
                                 AudioUtilities::monoFloatFormatWithSampleRate(48000), std::nullopt,
                                 SF_FORMAT_AIFF | SF_FORMAT_PCM_32, 1, 48000},
                      RecordCase{
                          "WavFromStereoNonInterleaved", "voice.wav", FileRecorderFileTypeWAV,
                          AudioUtilities::stereoFloatNonInterleavedFormatWithSampleRate(44100),
                          std::nullopt, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 44100},
                      RecordCase{"WavFromInt16Interleaved", "voice.wav", FileRecorderFileTypeWAV,
                                 test::int16Interleaved(44100, 2), std::nullopt,
                                 SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 44100},
                      RecordCase{"OtherTypeIsCanonicalWav", "voice.wav", 5,
                                 AudioUtilities::monoFloatFormatWithSampleRate(44100), std::nullopt,
                                 SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 44100},
                      RecordCase{"AiffAtAnotherRate", "voice.aif", FileRecorderFileTypeAIFF,
                                 AudioUtilities::monoFloatFormatWithSampleRate(48000),
                                 AudioUtilities::aiffFormatWithNumberOfChannels(1, 24000),
                                 SF_FORMAT_AIFF | SF_FORMAT_PCM_32, 1, 24000}),
    [](const auto& test) { return std::string(test.param.name); });

class FileRecorderTest : public ::testing::Test {
protected:
    SoundFolder folder;
    test::LogCapture log;
};

// What a recorder writes, a file reads back: five seconds of the tone at its level.
TEST_F(FileRecorderTest, RecordingReadsBackThroughAudioFile) {
    const auto mono = AudioUtilities::monoFloatFormatWithSampleRate(48000);
    const std::string url = (folder.path / "voice.wav").string();
    auto recorder = FileRecorder::recorderWithURL(url, mono, FileRecorderFileTypeWAV);
    ASSERT_TRUE(recorder);
    appendTone(*recorder, 5.0);
    recorder->closeAudioFile();
    auto file = AudioFile::audioFileWithURL(url, {}, mono);
    ASSERT_TRUE(file);
    EXPECT_EQ(240000, file->totalFrames());
    EXPECT_EQ("00:05", file->formattedDuration());
    auto list = AudioUtilities::audioBufferListWithNumberOfFrames(512, 1, true);
    double sum = 0;
    std::int64_t frames = 0;
    for (bool eof = false; !eof;) {
        list->mBuffers[0].mDataByteSize = 512 * 4;
        std::uint32_t read = 0;
        file->readFrames(512, list, &read, &eof);
        const auto* samples = static_cast<const float*>(list->mBuffers[0].mData);
        for (std::uint32_t f = 0; f < read; ++f) {
            sum += double(samples[f]) * samples[f];
        }
        frames += read;
    }
    AudioUtilities::freeBufferList(list);
    EXPECT_EQ(240000, frames);
    EXPECT_NEAR(0.5 / std::sqrt(2.0), std::sqrt(sum / double(frames)), 1e-4);
}

TEST_F(FileRecorderTest, ClosesOnceAndTellsTheDelegate) {
    auto delegate = std::make_shared<CountingRecorderDelegate>();
    const std::string url = (folder.path / "a.wav").string();
    auto recorder =
        FileRecorder::recorderWithURL(url, AudioUtilities::monoFloatFormatWithSampleRate(8000),
                                      FileRecorderFileTypeWAV, delegate);
    ASSERT_TRUE(recorder);
    appendTone(*recorder, 0.2);  // 1600 frames: 4 appends
    EXPECT_EQ(4, delegate->updates);
    EXPECT_FLOAT_EQ(0.2f, float(recorder->currentTime()));
    recorder->closeAudioFile();
    recorder->closeAudioFile();
    EXPECT_EQ(1, delegate->closes);
    EXPECT_TRUE(log.lines().empty());

    appendTone(*recorder, 0.01);
    EXPECT_EQ(
        std::vector<std::string>{"Error: Failed to write audio data to recorded audio file (-38)"},
        log.lines());
    EXPECT_EQ(1600, test::readSoundFile(url).info.frames);
}

// A recorder given up without closing still finishes its file; a file already under the name is
// replaced only then.
TEST_F(FileRecorderTest, ReplacesAnExistingFileWhenFinished) {
    const auto path = folder.path / "b.aiff";
    std::ofstream(path) << "an earlier recording";
    auto recorder = FileRecorder::recorderWithURL(
        path.string(), AudioUtilities::monoFloatFormatWithSampleRate(8000),
        FileRecorderFileTypeAIFF);
    ASSERT_TRUE(recorder);
    appendTone(*recorder, 0.1);
    EXPECT_EQ(20u, std::filesystem::file_size(path));
    recorder.reset();
    EXPECT_EQ(std::vector<std::string>{"b.aiff"}, folder.names());
    EXPECT_EQ(800, test::readSoundFile(path).info.frames);
}

// Formats that cannot be written make no recorder and no file, and say why.
TEST_F(FileRecorderTest, UnwritableFormatsAndPlacesGiveNoRecorder) {
    const auto mono = AudioUtilities::monoFloatFormatWithSampleRate(44100);
    Error error;
    EXPECT_EQ(nullptr, FileRecorder::recorderWithURL((folder.path / "c.m4a").string(), mono,
                                                     FileRecorderFileTypeM4A, {}, &error));
    EXPECT_EQ(kAudioFormatUnsupportedError, error.code);
    EXPECT_EQ(
        "Files of format 'aac ' cannot be written here (no encoder for it); record in WAV or AIFF.",
        error.failureReason);
    EXPECT_EQ(
        (std::vector<std::string>{
            "Error: Failed to fill out the rest of the m4a AudioStreamBasicDescription ('fmt?')",
            "Error: Failed to fill out rest of destination format ('fmt?')"}),
        log.lines());

    // Three channels cannot become the canonical stereo of file type 5.
    auto three = test::floatNonInterleaved(44100, 3);
    EXPECT_EQ(nullptr, FileRecorder::recorderWithURL((folder.path / "d.wav").string(), three, 5, {},
                                                     &error));
    EXPECT_EQ(kAudioFormatUnsupportedError, error.code);

    EXPECT_EQ(nullptr, FileRecorder::recorderWithURL((folder.path / "no/such/e.wav").string(), mono,
                                                     FileRecorderFileTypeWAV, {}, &error));
    EXPECT_EQ(kAudioFilePermissionsError, error.code);
    EXPECT_EQ("No such file or directory", error.failureReason);
    EXPECT_EQ("Error: Failed to create audio file ('prm?')", log.lines().back());
    EXPECT_TRUE(folder.names().empty());
}

TEST(FileRecorderFormatTest, CompressedFormatsAreReportedUnsupported) {
    test::LogCapture log;
    const auto ilbc = AudioUtilities::ilbcFormatWithSampleRate(8000);
    EXPECT_EQ(kAudioFormatILBC, ilbc.mFormatID);
    EXPECT_EQ(1u, ilbc.mChannelsPerFrame);
    EXPECT_EQ(8000.0, ilbc.mSampleRate);
    const auto m4a = AudioUtilities::m4aFormatWithNumberOfChannels(2, 44100);
    EXPECT_EQ(kAudioFormatMPEG4AAC, m4a.mFormatID);
    EXPECT_EQ(2u, m4a.mChannelsPerFrame);
    EXPECT_EQ(
        (std::vector<std::string>{
            "Error: Failed to fill out the rest of the iLBC AudioStreamBasicDescription ('fmt?')",
            "Error: Failed to fill out the rest of the m4a AudioStreamBasicDescription ('fmt?')"}),
        log.lines());
    EXPECT_EQ(kAudioFileM4AType, FileRecorder::fileTypeIdForFileType(FileRecorderFileTypeM4A, m4a));
    EXPECT_EQ(kAudioFileWAVEType, FileRecorder::fileTypeIdForFileType(7, m4a));
}

}  // namespace
}  // namespace vm
