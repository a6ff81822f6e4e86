// The capture thread and the owner's thread on one microphone: device and format change while a
// device captures, and neither waits for the other.
#include "localaudio/AudioUtilities.h"
#include "localaudio/Microphone.h"

#include "platform/audio/AudioTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace vm {
namespace {

class Listener : public MicrophoneDelegate {
public:
    void microphoneHasBufferList(Microphone&, AudioBufferList*, std::uint32_t frames,
                                 std::uint32_t) override {
        lists += frames > 0;
    }
    bool takesFloatAudio() const override { return true; }
    void microphoneHasAudioReceived(Microphone&, float** buffers, std::uint32_t frames,
                                    std::uint32_t) override {
        last = buffers[0][frames - 1];
    }
    std::atomic<int> lists{0};
    float last = 0;  // touched on the capture thread only
};

TEST(MicrophoneThreadTest, OwnerSwitchesDeviceAndFormatWhileTheDeviceCaptures) {
    test::TestBackendScope scope;
    scope.backend->setDevices({test::makeDevice(1, 0, 2, 44100), test::makeDevice(2, 1, 0, 48000),
                               test::makeDevice(3, 2, 0, 44100)},
                              2, 1);
    auto listener = std::make_shared<Listener>();
    auto microphone = Microphone::microphoneWithDelegate(listener, true);
    const auto devices = AudioDevice::inputDevices();
    ASSERT_EQ(2u, devices.size());
    // It also plays what it captures on the default output, from that output's render thread.
    auto output = AudioOutput::output();
    microphone->setOutput(output);
    output->startPlayback();

    std::atomic<bool> stop{false};
    std::thread device([&] {
        const std::vector<float> block(700, 0.125f);
        while (!stop) {
            scope.backend->capture(2, {block});
            scope.backend->capture(3, {block, block});
        }
    });
    std::thread speaker([&] {
        std::vector<std::vector<float>> out;
        while (!stop) {
            scope.backend->render(1, 512, &out);
        }
    });
    for (int i = 0; i < 100; ++i) {
        microphone->setDevice(devices[std::size_t(i % 2)]);
        if (i % 3 == 0) {
            microphone->setAudioStreamBasicDescription(
                AudioUtilities::floatFormatWithNumberOfChannels(std::uint32_t(1 + i % 2), 48000));
        }
        std::this_thread::yield();
    }
    stop = true;
    device.join();
    speaker.join();
    EXPECT_GT(listener->lists.load(), 0);
    microphone->setMicrophoneOn(false);
    output->stopPlayback();
}

}  // namespace
}  // namespace vm
