#include "localaudio/Microphone.h"

#include "localaudio/AudioUtilities.h"
#include "platform/audio/AudioTestSupport.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using test::makeDevice;

class RecordingDelegate : public MicrophoneDelegate {
public:
    explicit RecordingDelegate(bool wantsFloats = true) : floats(wantsFloats) {}
    void microphoneChangedPlayingState(Microphone&, bool on) override { states.push_back(on); }
    void microphoneChangedDevice(Microphone&, const AudioDevice& device) override {
        devices.push_back(device);
    }
    void microphoneHasAudioStreamBasicDescription(Microphone&,
                                                  AudioStreamBasicDescription format) override {
        formats.push_back(format);
    }
    void microphoneHasBufferList(Microphone&, AudioBufferList* list, std::uint32_t frames,
                                 std::uint32_t channelCount) override {
        channels = channelCount;
        const auto* samples = static_cast<const float*>(audioBuffers(list)[channels - 1].mData);
        captured.insert(captured.end(), samples, samples + frames);
    }
    bool takesFloatAudio() const override { return floats; }
    void microphoneHasAudioReceived(Microphone&, float** buffers, std::uint32_t frames,
                                    std::uint32_t channelCount) override {
        floatsReceived.insert(floatsReceived.end(), buffers[channelCount - 1],
                              buffers[channelCount - 1] + frames);
    }
    bool floats;
    std::vector<bool> states;
    std::vector<AudioDevice> devices;
    std::vector<AudioStreamBasicDescription> formats;
    std::vector<float> captured;
    std::vector<float> floatsReceived;
    std::uint32_t channels = 0;
};

std::vector<float> ramp(std::size_t n, float scale) {
    std::vector<float> values(n);
    for (std::size_t i = 0; i < n; ++i) {
        values[i] = float(i % 1000) * scale;
    }
    return values;
}

AudioDevice deviceWithID(AudioDeviceID id) {
    for (const auto& device : AudioDevice::devices()) {
        if (device.deviceID() == id) {
            return device;
        }
    }
    return AudioDevice();
}

class MicrophoneTest : public ::testing::Test {
protected:
    void SetUp() override {
        scope.backend->setDevices(
            {makeDevice(1, 0, 2, 44100), makeDevice(2, 1, 0, 48000), makeDevice(3, 2, 2, 44100)}, 2,
            1);
    }
    test::TestBackendScope scope;
};

TEST_F(MicrophoneTest, CapturesWhatTheDeviceDelivers) {
    auto delegate = std::make_shared<RecordingDelegate>();
    auto microphone = Microphone::microphoneWithDelegate(delegate);
    // The format was announced while the microphone was being made.
    ASSERT_EQ(1u, delegate->formats.size());
    EXPECT_EQ(AudioUtilities::floatFormatWithNumberOfChannels(1, 48000), delegate->formats[0]);
    EXPECT_EQ(2u, microphone->device().deviceID());
    EXPECT_EQ(1, microphone->numberOfChannels());

    microphone->setMicrophoneOn(true);
    EXPECT_TRUE(microphone->microphoneOn());
    const auto fed = ramp(3000, 0.001f);
    ASSERT_TRUE(scope.backend->capture(2, {fed}));
    EXPECT_EQ(fed, delegate->captured);
    EXPECT_EQ(fed, delegate->floatsReceived);

    microphone->setMicrophoneOn(false);
    EXPECT_EQ((std::vector<bool>{true, false}), delegate->states);
    EXPECT_FALSE(microphone->audioUnit()->isRunning());
    EXPECT_FALSE(scope.backend->capture(2, {fed}));
}

TEST_F(MicrophoneTest, DelegateSetLaterHearsOfTheNextFormatOnly) {
    auto microphone = std::make_shared<Microphone>();
    auto delegate = std::make_shared<RecordingDelegate>(false);
    microphone->setDelegate(delegate);
    EXPECT_TRUE(delegate->formats.empty());
    const auto int16 = test::int16Interleaved(48000, 1);
    microphone->setAudioStreamBasicDescription(int16);
    ASSERT_EQ(1u, delegate->formats.size());
    EXPECT_EQ(int16, microphone->audioStreamBasicDescription());
    // A delegate without float audio still gets the buffer list, in the stream format.
    microphone->startFetchingAudio();
    std::vector<std::int16_t> got;
    class Int16Delegate : public MicrophoneDelegate {
    public:
        explicit Int16Delegate(std::vector<std::int16_t>& into) : out(into) {}
        void microphoneHasBufferList(Microphone&, AudioBufferList* list, std::uint32_t frames,
                                     std::uint32_t) override {
            const auto* s = static_cast<const std::int16_t*>(list->mBuffers[0].mData);
            out.insert(out.end(), s, s + frames);
        }
        std::vector<std::int16_t>& out;
    };
    auto int16Delegate = std::make_shared<Int16Delegate>(got);
    microphone->setDelegate(int16Delegate);
    ASSERT_TRUE(scope.backend->capture(2, {{0.5f, -0.25f}}));
    EXPECT_EQ((std::vector<std::int16_t>{16384, -8192}), got);
}

TEST_F(MicrophoneTest, DeviceChoiceSetsCaptureAndPlayFlags) {
    auto microphone = std::make_shared<Microphone>();
    auto flags = [&] {
        bool input = false, output = false;
        microphone->audioUnit()->getEnableIO(AudioUnitScope::Input, 1, &input);
        microphone->audioUnit()->getEnableIO(AudioUnitScope::Output, 0, &output);
        return std::pair(input, output);
    };
    EXPECT_EQ(std::pair(true, false), flags());  // device 2: inputs only
    microphone->setDevice(deviceWithID(1));
    EXPECT_EQ(std::pair(false, true), flags());  // outputs only
    microphone->setDevice(deviceWithID(3));
    EXPECT_EQ(std::pair(true, true), flags());
    EXPECT_EQ(3u, microphone->audioUnit()->currentDevice());
}

TEST_F(MicrophoneTest, ChangingDeviceRebuildsTheFormatBeforeCaptureGoesOn) {
    auto delegate = std::make_shared<RecordingDelegate>();
    auto microphone = Microphone::microphoneWithDelegate(delegate, true);
    ASSERT_EQ(std::vector<bool>{true}, delegate->states);
    microphone->setDevice(deviceWithID(3));  // two channels at 44.1 kHz
    EXPECT_EQ(AudioUtilities::floatFormatWithNumberOfChannels(2, 44100),
              microphone->audioStreamBasicDescription());
    EXPECT_EQ(44100, microphone->info()->inputFormat.mSampleRate);
    ASSERT_EQ(2u, delegate->formats.size());
    EXPECT_TRUE(microphone->audioUnit()->isRunning());
    const auto left = ramp(1200, 0.0005f);
    const auto right = ramp(1200, -0.0005f);
    ASSERT_TRUE(scope.backend->capture(3, {left, right}));
    EXPECT_EQ(2u, delegate->channels);
    EXPECT_EQ(right, delegate->captured);
    EXPECT_EQ(right, delegate->floatsReceived);
}

TEST_F(MicrophoneTest, FeedsAnOutputWithWhatItCaptured) {
    auto microphone = std::make_shared<Microphone>();
    microphone->setDevice(deviceWithID(3));
    auto output = AudioOutput::output();
    microphone->setOutput(output);
    EXPECT_EQ(microphone->audioStreamBasicDescription(), output->inputFormat());
    microphone->startFetchingAudio();
    const auto level = std::vector<float>(512, 0.25f);
    ASSERT_TRUE(scope.backend->capture(3, {level, level}));
    output->startPlayback();
    std::vector<std::vector<float>> out;
    ASSERT_TRUE(scope.backend->render(1, 256, &out));
    EXPECT_EQ(std::vector<float>(256, 0.25f), out[0]);
    EXPECT_EQ(std::vector<float>(256, 0.25f), out[1]);
    // The rest of the slice, then silence.
    ASSERT_TRUE(scope.backend->render(1, 512, &out));
    EXPECT_EQ(0.25f, out[1][255]);
    EXPECT_EQ(0.0f, out[1][256]);
    EXPECT_EQ(0.0f, out[0][511]);
}

}  // namespace
}  // namespace vm
