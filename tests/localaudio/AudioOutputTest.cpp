#include "localaudio/AudioOutput.h"
#include "localaudio/AudioUtilities.h"

#include "platform/audio/AudioTestSupport.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using test::makeDevice;

// A 1 kHz tone at 0.5, the same on both channels, continuing from call to call.
class ToneSource : public AudioOutputDataSource {
public:
    OSStatus outputShouldFillAudioBufferList(AudioOutput&, AudioBufferList* list,
                                             std::uint32_t frames, const AudioTimeStamp&) override {
        for (std::uint32_t b = 0; b < list->mNumberBuffers; ++b) {
            auto* out = static_cast<float*>(audioBuffers(list)[b].mData);
            for (std::uint32_t f = 0; f < frames; ++f) {
                out[f] = test::tone(1000, 44100, next + f);
            }
        }
        next += frames;
        return status;
    }
    std::size_t next = 0;
    OSStatus status = 0;
};

class SilentSource : public AudioOutputDataSource {};

class RecordingDelegate : public AudioOutputDelegate {
public:
    void outputChangedPlayingState(AudioOutput&, bool playing) override {
        states.push_back(playing);
    }
    void outputChangedDevice(AudioOutput&, const AudioDevice& device) override {
        devices.push_back(device);
    }
    bool takesPlayedAudio() const override { return true; }
    void outputPlayedAudio(AudioOutput&, float** buffers, std::uint32_t frames,
                           std::uint32_t channelCount) override {
        channels = channelCount;
        for (std::uint32_t f = 0; f < frames; ++f) {
            played.push_back(buffers[channels - 1][f]);
        }
        ++buffersPlayed;
    }
    std::vector<bool> states;
    std::vector<AudioDevice> devices;
    std::vector<float> played;
    std::uint32_t channels = 0;
    int buffersPlayed = 0;
};

class AudioOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        scope.backend->setDevices({makeDevice(1, 0, 2), makeDevice(2, 1, 0)}, 2, 1);
    }
    test::TestBackendScope scope;
};

TEST_F(AudioOutputTest, PlaysTheDataSourceOnTheDefaultDevice) {
    auto source = std::make_shared<ToneSource>();
    auto delegate = std::make_shared<RecordingDelegate>();
    auto output = AudioOutput::outputWithDataSource(source);
    output->setDelegate(delegate);
    EXPECT_EQ(1u, output->device().deviceID());
    EXPECT_EQ(AudioOutput::defaultClientFormat(), output->clientFormat());
    EXPECT_EQ(AudioOutput::defaultInputFormat(), output->inputFormat());
    EXPECT_FALSE(output->isPlaying());

    output->startPlayback();
    EXPECT_TRUE(output->isPlaying());
    EXPECT_EQ(std::vector<bool>{true}, delegate->states);
    std::vector<std::vector<float>> out;
    ASSERT_TRUE(scope.backend->render(1, 2048, &out));
    ASSERT_EQ(2u, out.size());
    for (std::size_t i = 0; i < 2048; ++i) {
        ASSERT_EQ(test::tone(1000, 44100, i), out[0][i]) << i;
        ASSERT_EQ(test::tone(1000, 44100, i), out[1][i]) << i;
    }
    // Each rendered buffer reached the delegate as float, after rendering.
    EXPECT_EQ(4, delegate->buffersPlayed);
    EXPECT_EQ(2u, delegate->channels);
    EXPECT_EQ(out[1], delegate->played);

    output->setVolume(0.5f);
    output->setPan(-1.0f);
    EXPECT_EQ(0.5f, output->volume());
    EXPECT_EQ(-1.0f, output->pan());
    ASSERT_TRUE(scope.backend->render(1, 512, &out));
    EXPECT_EQ(0.5f * test::tone(1000, 44100, 2048 + 5), out[0][5]);
    EXPECT_EQ(0.0f, out[1][5]);

    output->stopPlayback();
    EXPECT_FALSE(output->isPlaying());
    EXPECT_EQ((std::vector<bool>{true, false}), delegate->states);
}

TEST_F(AudioOutputTest, ConverterInputYieldsSilenceOrTheDataSourceStatus) {
    auto silent = std::make_shared<SilentSource>();
    auto output = AudioOutput::outputWithDataSource(silent);
    test::OwnedBufferList list(2, 64 * 4);
    std::fill_n(list.samples<float>(0), 64, 1.0f);
    AudioTimeStamp time{};
    EXPECT_EQ(0, output->converterAudioUnit()->render(nullptr, time, 0, 64, list.list()));
    EXPECT_EQ(0.0f, list.samples<float>(0)[63]);

    auto failing = std::make_shared<ToneSource>();
    failing->status = -50;
    output->setDataSource(failing);
    EXPECT_EQ(-50, output->converterAudioUnit()->render(nullptr, time, 0, 64, list.list()));
    output->setDataSource(std::weak_ptr<AudioOutputDataSource>());
    EXPECT_EQ(0, output->converterAudioUnit()->render(nullptr, time, 0, 64, list.list()));
}

TEST_F(AudioOutputTest, DeviceWithoutOutputsDisablesOutputButIsStillChosen) {
    auto output = AudioOutput::output();
    auto delegate = std::make_shared<RecordingDelegate>();
    output->setDelegate(delegate);
    AudioDevice microphoneOnly;
    for (const auto& device : AudioDevice::devices()) {
        if (device.deviceID() == 2) {
            microphoneOnly = device;
        }
    }
    output->setDevice(microphoneOnly);
    bool enabled = true;
    ASSERT_EQ(0, output->outputAudioUnit()->getEnableIO(AudioUnitScope::Output, 0, &enabled));
    EXPECT_FALSE(enabled);
    EXPECT_EQ(2u, output->outputAudioUnit()->currentDevice());
    ASSERT_EQ(1u, delegate->devices.size());
    EXPECT_EQ(microphoneOnly, delegate->devices[0]);
    EXPECT_EQ(2u, output->device().deviceID());
}

TEST_F(AudioOutputTest, ClientFormatChangeRebuildsTheFloatPath) {
    auto source = std::make_shared<ToneSource>();
    auto delegate = std::make_shared<RecordingDelegate>();
    auto output = AudioOutput::outputWithDataSource(
        source, AudioUtilities::floatFormatWithNumberOfChannels(1, 44100));
    output->setDelegate(delegate);
    output->setClientFormat(AudioUtilities::floatFormatWithNumberOfChannels(1, 44100));
    EXPECT_EQ(1u, output->floatConverter()->inputFormat().mChannelsPerFrame);
    output->startPlayback();
    std::vector<std::vector<float>> out;
    ASSERT_TRUE(scope.backend->render(1, 512, &out));
    EXPECT_EQ(1u, delegate->channels);
    ASSERT_EQ(512u, delegate->played.size());
    EXPECT_EQ(test::tone(1000, 44100, 100), delegate->played[100]);
    EXPECT_EQ(out[0], delegate->played);
}

TEST_F(AudioOutputTest, WithoutSoundHardwareItReportsAndStaysQuiet) {
    scope.backend->setDevices({}, kAudioObjectUnknown, kAudioObjectUnknown);
    test::LogCapture log;
    auto output = AudioOutput::output();
    output->startPlayback();
    EXPECT_FALSE(output->isPlaying());
    EXPECT_TRUE(log.contains("Error: Couldn't set default device on I/O unit"));
    EXPECT_TRUE(log.contains("Error: Failed to start graph"));
}

}  // namespace
}  // namespace vm
