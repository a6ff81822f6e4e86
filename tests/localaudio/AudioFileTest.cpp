#include "localaudio/AudioFile.h"

#include "localaudio/AudioUtilities.h"
#include "localaudio/SoundFileFixture.h"
#include "localaudio/SoundFileFormat.h"
#include "platform/audio/AudioTestSupport.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vm {
namespace {

using test::SoundFolder;
using test::tone;
using test::writeSoundFile;

// Reads the whole file in pieces of `piece` frames into one vector per channel (client format
// float, non-interleaved or interleaved).
std::vector<std::vector<float>> readAll(AudioFile& file, std::uint32_t piece = 512) {
    const AudioStreamBasicDescription client = file.clientFormat();
    const std::uint32_t channels = client.mChannelsPerFrame;
    const bool interleaved = AudioUtilities::isInterleaved(client);
    std::vector<std::vector<float>> out(channels);
    AudioBufferList* list =
        AudioUtilities::audioBufferListWithNumberOfFrames(piece, channels, interleaved);
    for (;;) {
        for (std::uint32_t b = 0; b < list->mNumberBuffers; ++b) {
            audioBuffers(list)[b].mDataByteSize = piece * (interleaved ? channels : 1) * 4;
        }
        std::uint32_t read = 0;
        bool eof = false;
        file.readFrames(piece, list, &read, &eof);
        if (eof) {
            EXPECT_EQ(0u, read);
            break;
        }
        for (std::uint32_t c = 0; c < channels; ++c) {
            const auto* data =
                static_cast<const float*>(audioBuffers(list)[interleaved ? 0 : c].mData);
            for (std::uint32_t f = 0; f < read; ++f) {
                out[c].push_back(interleaved ? data[f * channels + c] : data[f]);
            }
        }
    }
    AudioUtilities::freeBufferList(list);
    return out;
}

float rms(const std::vector<float>& v, std::size_t from = 0, std::size_t to = SIZE_MAX) {
    to = std::min(to, v.size());
    double sum = 0;
    for (std::size_t i = from; i < to; ++i) {
        sum += double(v[i]) * v[i];
    }
    return to > from ? float(std::sqrt(sum / double(to - from))) : 0.0f;
}

struct ReadCase {
    const char* name;
    int format;
    int rate;
    int channels;
    AudioStreamBasicDescription client;
    bool exact;  // no rate change: the samples come back as written
};
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class AudioFileReadTest : public ::testing::TestWithParam<ReadCase> {};

// One second of a 1 kHz tone at 0.5 on channel 0 and at 0.25 on channel 1, read in the client
// format: the length, the level of each channel and, without a rate change, every sample.
TEST_P(AudioFileReadTest, ReadsTheWholeFileInTheClientFormat) {
    const ReadCase& c = GetParam();
    SoundFolder folder;
    const auto path = folder.path / "tone";
    writeSoundFile(path, c.format, c.rate, c.channels, c.rate, [&](int channel, std::int64_t f) {
        return tone(1000, c.rate, std::size_t(f), channel == 0 ? 0.5f : 0.25f);
    });
    auto file = AudioFile::audioFileWithURL(path, {}, c.client);
    ASSERT_TRUE(file);
    EXPECT_EQ(c.rate, file->totalFrames());
    EXPECT_DOUBLE_EQ(1.0, file->duration());
    EXPECT_EQ(std::uint32_t(c.channels), file->fileFormat().mChannelsPerFrame);
    EXPECT_EQ(std::int64_t(c.client.mSampleRate), file->totalClientFrames());
    EXPECT_EQ("00:01", file->formattedDuration());

    const auto channels = readAll(*file);
    ASSERT_EQ(c.client.mChannelsPerFrame, channels.size());
    // A rate change holds back the resampler's few frames of delay at the end.
    EXPECT_NEAR(double(file->totalClientFrames()), double(channels[0].size()), c.exact ? 0 : 64);
    EXPECT_EQ(std::int64_t(channels[0].size()), file->frameIndex());
    const float quantum = (c.format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_16 ? 1.0f / 32768 : 1e-6f;
    for (std::size_t ch = 0; ch < channels.size(); ++ch) {
        // A mono file plays on both channels; a stereo file read as mono is the mean.
        const float amplitude = c.channels == 1                   ? 0.5f
                                : c.client.mChannelsPerFrame == 1 ? 0.375f
                                : ch == 0                         ? 0.5f
                                                                  : 0.25f;
        EXPECT_NEAR(amplitude / std::sqrt(2.0f), rms(channels[ch], 100, channels[ch].size() - 100),
                    2e-3)
            << "channel " << ch;
        if (c.exact) {
            for (std::size_t f = 0; f < channels[ch].size(); f += 97) {
                ASSERT_NEAR(amplitude * tone(1000, c.rate, f, 1.0f), channels[ch][f], quantum * 2)
                    << f;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, AudioFileReadTest,
    ::testing::Values(ReadCase{"Wav16StereoToDefault", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2,
                               AudioFile::defaultClientFormat(), true},
                      ReadCase{"AiffMono48kToDefault", SF_FORMAT_AIFF | SF_FORMAT_PCM_32, 48000, 1,
                               AudioFile::defaultClientFormat(), false},
                      ReadCase{"WavFloatStereoToMono24k", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2,
                               AudioUtilities::monoFloatFormatWithSampleRate(24000), false},
                      ReadCase{
                          "CafFloatStereoToInterleaved", SF_FORMAT_CAF | SF_FORMAT_FLOAT, 44100, 2,
                          AudioUtilities::stereoFloatInterleavedFormatWithSampleRate(44100), true}),
    [](const auto& test) { return std::string(test.param.name); });

class RecordingFileDelegate : public AudioFileDelegate {
public:
    void audioFileUpdatedPosition(AudioFile& file) override {
        ++updates;
        if (onUpdate) {
            onUpdate(file);
        }
    }
    void audioFileUpdatedPosition(AudioFile&, std::int64_t position) override {
        positions.push_back(position);
    }
    bool takesReadAudio() const override { return floats; }
    void audioFileReadAudio(AudioFile&, float** buffers, std::uint32_t frames,
                            std::uint32_t channels) override {
        lastChannels = channels;
        floatsRead.insert(floatsRead.end(), buffers[channels - 1], buffers[channels - 1] + frames);
    }
    int updates = 0;
    std::vector<std::int64_t> positions;
    bool floats = false;
    std::uint32_t lastChannels = 0;
    std::vector<float> floatsRead;
    std::function<void(AudioFile&)> onUpdate;
};

class AudioFileTest : public ::testing::Test {
protected:
    // 44100 frames: a ramp on channel 0 (frame / 44100) and silence on channel 1.
    std::filesystem::path writeRamp(int frames = 44100) {
        const auto path = folder.path / "ramp.wav";
        writeSoundFile(
            path, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 2, frames,
            [](int channel, std::int64_t f) { return channel == 0 ? float(f) / 44100 : 0.0f; });
        return path;
    }
    SoundFolder folder;
};

TEST_F(AudioFileTest, SeeksAndTellsThePositionInClientFrames) {
    auto delegate = std::make_shared<RecordingFileDelegate>();
    auto file = AudioFile::audioFileWithURL(writeRamp(), delegate);
    ASSERT_TRUE(file);
    file->seekToFrame(22050);
    EXPECT_EQ(22050, file->frameIndex());
    EXPECT_FLOAT_EQ(0.5f, file->currentTime());
    EXPECT_EQ(std::vector<std::int64_t>{22050}, delegate->positions);

    auto list = AudioUtilities::audioBufferListWithNumberOfFrames(4, 2, false);
    std::uint32_t read = 0;
    bool eof = true;
    file->readFrames(4, list, &read, &eof);
    EXPECT_EQ(4u, read);
    EXPECT_FALSE(eof);
    EXPECT_FLOAT_EQ(22050.0f / 44100, static_cast<float*>(list->mBuffers[0].mData)[0]);
    EXPECT_EQ(22054, delegate->positions.back());
    EXPECT_EQ(2, delegate->updates);

    file->setCurrentTime(0.25);
    EXPECT_EQ(11025, file->frameIndex());
    // Seeks stay within the file.
    file->seekToFrame(-5);
    EXPECT_EQ(0, file->frameIndex());
    file->seekToFrame(1'000'000);
    EXPECT_EQ(44100, file->frameIndex());
    EXPECT_EQ("00:01", file->formattedCurrentTime());
    // At the end: nothing more, and the end of file.
    read = 7;
    file->readFrames(4, list, &read, &eof);
    EXPECT_EQ(0u, read);
    EXPECT_TRUE(eof);
    AudioUtilities::freeBufferList(list);
}

// Position and time agree when the client rate is not the file's: the time reaches the
// duration at the last client frame.
TEST_F(AudioFileTest, TimeFollowsClientFramesAcrossRates) {
    const auto path = folder.path / "48k.wav";
    writeSoundFile(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1, 96000,
                   [](int, std::int64_t) { return 0.0f; });
    auto file = AudioFile::audioFileWithURL(path);
    ASSERT_TRUE(file);
    EXPECT_EQ(88200, file->totalClientFrames());
    file->seekToFrame(88200);
    EXPECT_FLOAT_EQ(2.0f, file->currentTime());
    file->setCurrentTime(1.0);
    EXPECT_EQ(44100, file->frameIndex());
}

// While a read holds the file (here: from inside the delegate's position callback), a second
// read, a seek and a waveform request do nothing, and the read leaves its out-values alone.
TEST_F(AudioFileTest, BusyFileRefusesWithoutWaiting) {
    auto delegate = std::make_shared<RecordingFileDelegate>();
    auto file = AudioFile::audioFileWithURL(writeRamp(), delegate);
    ASSERT_TRUE(file);
    std::uint32_t innerRead = 1234;
    bool innerEof = true;
    std::shared_ptr<AudioFloatData> innerWaveform = std::make_shared<AudioFloatData>(0, nullptr, 0);
    auto innerList = AudioUtilities::audioBufferListWithNumberOfFrames(8, 2, false);
    bool inner = false;
    delegate->onUpdate = [&](AudioFile& f) {
        if (std::exchange(inner, true)) {
            return;
        }
        f.readFrames(8, innerList, &innerRead, &innerEof);
        f.seekToFrame(40000);
        innerWaveform = f.getWaveformDataWithNumberOfPoints(4);
    };
    auto list = AudioUtilities::audioBufferListWithNumberOfFrames(16, 2, false);
    std::uint32_t read = 0;
    bool eof = false;
    file->readFrames(16, list, &read, &eof);
    EXPECT_EQ(16u, read);
    EXPECT_EQ(1234u, innerRead);
    EXPECT_TRUE(innerEof);
    EXPECT_EQ(nullptr, innerWaveform);
    EXPECT_EQ(16, file->frameIndex());
    AudioUtilities::freeBufferList(list);
    AudioUtilities::freeBufferList(innerList);
}

// A file whose first half is a tone at 0.5 and second half at 0.25 (channel 0), silence on
// channel 1: four points give the RMS of each quarter, and the position is kept.
TEST_F(AudioFileTest, WaveformDataIsTheRmsOfEqualParts) {
    const auto path = folder.path / "halves.aif";
    writeSoundFile(
        path, SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 44100, 2, 88200, [](int c, std::int64_t f) {
            return c == 1 ? 0.0f : tone(441, 44100, std::size_t(f), f < 44100 ? 0.5f : 0.25f);
        });
    auto file = AudioFile::audioFileWithURL(path);
    ASSERT_TRUE(file);
    file->seekToFrame(1000);
    auto data = file->getWaveformDataWithNumberOfPoints(4);
    ASSERT_TRUE(data);
    EXPECT_EQ(2, data->numberOfChannels());
    EXPECT_EQ(4u, data->bufferSize());
    const float expected[] = {0.5f, 0.5f, 0.25f, 0.25f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(expected[i] / std::sqrt(2.0f), data->bufferForChannel(0)[i], 1e-4) << i;
        EXPECT_EQ(0.0f, data->bufferForChannel(1)[i]) << i;
    }
    EXPECT_EQ(nullptr, data->bufferForChannel(2));
    EXPECT_EQ(nullptr, data->bufferForChannel(-1));
    EXPECT_EQ(1000, file->frameIndex());
    // The default is 1024 points.
    auto defaults = file->getWaveformData();
    ASSERT_TRUE(defaults);
    EXPECT_EQ(1024u, defaults->bufferSize());
}

TEST_F(AudioFileTest, WaveformOfNoPointsOrTooFewFramesIsNothing) {
    auto file = AudioFile::audioFileWithURL(writeRamp(100));
    ASSERT_TRUE(file);
    EXPECT_EQ(nullptr, file->getWaveformDataWithNumberOfPoints(0));
    EXPECT_EQ(nullptr, file->getWaveformDataWithNumberOfPoints(101));
    auto data = file->getWaveformDataWithNumberOfPoints(100);
    ASSERT_TRUE(data);
    EXPECT_NEAR(99.0f / 44100, data->bufferForChannel(0)[99], 1e-7);
}

// The completion is called on the main queue, with nothing for a request that has no answer.
TEST_F(AudioFileTest, WaveformCompletionRunsOnTheMainQueue) {
    auto file = AudioFile::audioFileWithURL(writeRamp());
    ASSERT_TRUE(file);
    std::vector<std::pair<float, std::int32_t>> results;
    file->getWaveformDataWithNumberOfPoints(10, [&](float** buffers, std::int32_t length) {
        EXPECT_TRUE(isMainThread());
        results.emplace_back(buffers ? buffers[0][9] : -1.0f, length);
    });
    file->getWaveformDataWithNumberOfPoints(0, [&](float** buffers, std::int32_t length) {
        results.emplace_back(buffers ? 0.0f : -1.0f, length);
    });
    file->getWaveformDataWithNumberOfPoints(10, nullptr);
    ASSERT_TRUE(runMainUntil([&] { return results.size() == 2; }));
    EXPECT_EQ(10, results[0].second);
    EXPECT_GT(results[0].first, 0.9f * 0.95f);  // the last tenth of the ramp
    EXPECT_EQ((std::pair<float, std::int32_t>(-1.0f, 0)), results[1]);
}

TEST_F(AudioFileTest, ReadsAreHandedToTheDelegateAsFloat) {
    auto delegate = std::make_shared<RecordingFileDelegate>();
    delegate->floats = true;
    const auto path = folder.path / "int.wav";
    writeSoundFile(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, 3000,
                   [](int c, std::int64_t) { return c == 1 ? 0.25f : 0.0f; });
    auto file = AudioFile::audioFileWithURL(path, delegate, test::int16Interleaved(44100, 2));
    ASSERT_TRUE(file);
    auto list = AudioUtilities::audioBufferListWithNumberOfFrames(
        2048, 1, true);  // room for 2048 int16 stereo frames
    std::uint32_t read = 0;
    bool eof = false;
    file->readFrames(2048, list, &read, &eof);
    EXPECT_EQ(2048u, read);
    EXPECT_EQ(8192u, list->mBuffers[0].mDataByteSize);
    EXPECT_EQ(8192, static_cast<std::int16_t*>(list->mBuffers[0].mData)[1]);
    // At most the float buffers' 1024 frames reach the delegate.
    EXPECT_EQ(2u, delegate->lastChannels);
    ASSERT_EQ(1024u, delegate->floatsRead.size());
    EXPECT_FLOAT_EQ(0.25f, delegate->floatsRead[1023]);
    AudioUtilities::freeBufferList(list);
}

TEST_F(AudioFileTest, MetadataDescriptionAndCopy) {
    const auto path = folder.path / "titled.wav";
    writeSoundFile(
        path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, 1, 800,
        [](int, std::int64_t) { return 0.0f; }, "CQ contest");
    auto file =
        AudioFile::audioFileWithURL(path, {}, AudioUtilities::monoFloatFormatWithSampleRate(8000));
    ASSERT_TRUE(file);
    EXPECT_EQ("CQ contest", file->metadata().at("title"));
    const std::string text = file->description();
    EXPECT_NE(std::string::npos, text.find("url: " + path.string() + ",\n"));
    EXPECT_NE(std::string::npos, text.find("totalFrames: 800,"));
    EXPECT_NE(std::string::npos, text.find("title = \"CQ contest\";"));
    EXPECT_NE(std::string::npos, text.find("clientFormat: { \nSample Rate:             8000,"));

    auto copy = file->copy();
    ASSERT_TRUE(copy);
    EXPECT_EQ(path.string(), copy->url());
    EXPECT_EQ(AudioFile::defaultClientFormat(), copy->clientFormat());
    EXPECT_EQ(AudioFile::floatFormat(), AudioFile::defaultClientFormat());
}

TEST_F(AudioFileTest, MissingOrUnreadableFilesGiveNoFile) {
    test::LogCapture log;
    Error error;
    EXPECT_EQ(nullptr, AudioFile::audioFileWithURL((folder.path / "none.wav").string(), &error));
    EXPECT_EQ("There is no file at " + (folder.path / "none.wav").string() + ".",
              error.failureReason);
    EXPECT_TRUE(log.lines().empty());

    // An AAC file: libsndfile does not know the format.
    const auto m4a = folder.path / "voice.m4a";
    std::FILE* f = std::fopen(m4a.c_str(), "wb");
    const char header[] =
        "\0\0\0\x20"
        "ftypM4A \0\0\0\0M4A mp42isom\0\0\0\0";
    std::fwrite(header, 1, sizeof header, f);
    std::fclose(f);
    EXPECT_EQ(nullptr, AudioFile::audioFileWithURL(m4a.string(), &error));
    EXPECT_EQ(kAudioFileUnsupportedFileTypeError, error.code);
    EXPECT_EQ(std::vector<std::string>{"Error: Failed to create ExtAudioFileRef ('typ?')"},
              log.lines());
    const auto types = AudioFile::supportedAudioFileTypes();
    EXPECT_EQ(types.end(), std::find(types.begin(), types.end(), "m4a"));
    EXPECT_NE(types.end(), std::find(types.begin(), types.end(), "wav"));
}

}  // namespace
}  // namespace vm
