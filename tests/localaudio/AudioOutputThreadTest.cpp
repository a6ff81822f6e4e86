// The render thread and the owner's thread on one output: formats, volume, pan and delegates
// change while a device renders, and neither waits for the other.
#include "localaudio/AudioOutput.h"
#include "localaudio/AudioUtilities.h"

#include "platform/audio/AudioTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace vm {
namespace {

class Source : public AudioOutputDataSource {
public:
    OSStatus outputShouldFillAudioBufferList(AudioOutput&, AudioBufferList* list,
                                             std::uint32_t frames, const AudioTimeStamp&) override {
        for (std::uint32_t b = 0; b < list->mNumberBuffers; ++b) {
            auto* out = static_cast<float*>(audioBuffers(list)[b].mData);
            std::fill_n(out, std::min<std::size_t>(frames, audioBuffers(list)[b].mDataByteSize / 4),
                        0.25f);
        }
        return 0;
    }
};

class Listener : public AudioOutputDelegate {
public:
    bool takesPlayedAudio() const override { return true; }
    void outputPlayedAudio(AudioOutput&, float** buffers, std::uint32_t frames,
                           std::uint32_t channels) override {
        for (std::uint32_t c = 0; c < channels; ++c) {
            sum += buffers[c][frames - 1];
        }
    }
    float sum = 0;  // touched on the render thread only
};

TEST(AudioOutputThreadTest, OwnerReconfiguresWhileTheDeviceRenders) {
    test::TestBackendScope scope;
    scope.backend->setDevices({test::makeDevice(1, 0, 2)}, kAudioObjectUnknown, 1);
    auto source = std::make_shared<Source>();
    auto listener = std::make_shared<Listener>();
    auto output = AudioOutput::outputWithDataSource(source);
    output->setDelegate(listener);
    output->startPlayback();

    std::atomic<bool> stop{false};
    std::atomic<int> rendered{0};
    std::thread device([&] {
        std::vector<std::vector<float>> out;
        while (!stop) {
            if (scope.backend->render(1, 1024, &out)) {
                ++rendered;
            }
        }
    });
    for (int i = 0; i < 200; ++i) {
        const std::uint32_t channels = 1 + std::uint32_t(i % 2);
        output->setClientFormat(AudioUtilities::floatFormatWithNumberOfChannels(channels, 44100));
        output->setInputFormat(i % 3 ? AudioUtilities::floatFormatWithNumberOfChannels(2, 24000)
                                     : AudioOutput::defaultInputFormat());
        output->setVolume(float(i % 10) / 10);
        output->setPan(float(i % 5) / 2 - 1);
        output->setDelegate(i % 4 ? std::weak_ptr<AudioOutputDelegate>(listener)
                                  : std::weak_ptr<AudioOutputDelegate>());
        output->setDataSource(i % 7 ? std::weak_ptr<AudioOutputDataSource>(source)
                                    : std::weak_ptr<AudioOutputDataSource>());
        std::this_thread::yield();
    }
    stop = true;
    device.join();
    EXPECT_GT(rendered.load(), 0);
    output->stopPlayback();
}

}  // namespace
}  // namespace vm
