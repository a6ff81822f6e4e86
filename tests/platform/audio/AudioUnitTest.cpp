#include "platform/audio/AudioGraph.h"
#include "platform/audio/HALOutputUnit.h"
#include "platform/audio/PortAudioBackend.h"
#include "platform/audio/StereoMixerUnit.h"

#include "platform/audio/AudioTestSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>

namespace vm {
namespace {

using test::makeDevice;

class AudioUnitTest : public ::testing::Test {
protected:
    void SetUp() override {
        scope.backend->setDevices({makeDevice(1, 0, 2, 48000), makeDevice(2, 1, 0, 48000)}, 2, 1);
    }
    test::TestBackendScope scope;
};

TEST_F(AudioUnitTest, DeviceUnitPlaysWhatItPullsAndConvertsToARateTheDeviceTakes) {
    HALOutputUnit unit;
    ASSERT_EQ(0, unit.setCurrentDevice(1));
    // The client side runs at 24 kHz; this device only takes 48 kHz.
    scope.backend->setSupportedRates({48000});
    ASSERT_EQ(0,
              unit.setStreamFormat(AudioUnitScope::Input, 0, test::floatNonInterleaved(24000, 2)));
    std::size_t produced = 0;
    unit.setRenderCallback(0, [&](AudioUnitRenderActionFlags*, const AudioTimeStamp&, std::uint32_t,
                                  std::uint32_t frames, AudioBufferList* data) {
        for (std::uint32_t c = 0; c < 2; ++c) {
            auto* out = static_cast<float*>(audioBuffers(data)[c].mData);
            for (std::uint32_t f = 0; f < frames; ++f) {
                out[f] = test::tone(1000, 24000, produced + f);
            }
        }
        produced += frames;
        return OSStatus(0);
    });
    EXPECT_EQ(kAudioUninitializedError, unit.start());
    ASSERT_EQ(0, unit.initialize());
    ASSERT_EQ(0, unit.start());
    auto request = scope.backend->runningStream(1, AudioDirection::Output);
    ASSERT_TRUE(request);
    EXPECT_EQ(48000, request->sampleRate);
    EXPECT_EQ(2u, request->channels);

    std::vector<std::vector<float>> out;
    ASSERT_TRUE(scope.backend->render(1, 9600, &out));
    EXPECT_NEAR(double(produced), 4800, 200);
    float peak = 0;
    for (std::size_t i = 1000; i < 9600; ++i) {
        peak = std::max(peak, std::abs(out[1][i]));
    }
    EXPECT_NEAR(0.5f, peak, 0.01f);

    unit.stop();
    EXPECT_FALSE(unit.isRunning());
    EXPECT_FALSE(scope.backend->render(1, 10, &out));
    EXPECT_EQ(0u, scope.backend->openStreamCount());
}

TEST_F(AudioUnitTest, DeviceUnitCapturesIntoTheClientFormat) {
    // A device period longer than the converter's pulls reaches the client whole as well.
    for (const std::uint32_t period : {512u, 2048u}) {
        SCOPED_TRACE(period);
        scope.backend->setPeriod(period);
        HALOutputUnit unit;
        ASSERT_EQ(0, unit.setEnableIO(AudioUnitScope::Input, 1, true));
        ASSERT_EQ(0, unit.setCurrentDevice(2));
        AudioStreamBasicDescription deviceSide{};
        ASSERT_EQ(0, unit.getStreamFormat(AudioUnitScope::Input, 1, &deviceSide));
        EXPECT_EQ(test::floatNonInterleaved(48000, 1), deviceSide);
        ASSERT_EQ(
            0, unit.setStreamFormat(AudioUnitScope::Output, 1, test::int16Interleaved(48000, 1)));
        std::vector<std::int16_t> captured;
        unit.setInputCallback([&](AudioUnitRenderActionFlags* flags, const AudioTimeStamp& time,
                                  std::uint32_t bus, std::uint32_t frames, AudioBufferList*) {
            test::OwnedBufferList list(1, frames * 2);
            const OSStatus status = unit.render(flags, time, bus, frames, list.list());
            captured.insert(captured.end(), list.samples<std::int16_t>(0),
                            list.samples<std::int16_t>(0) + frames);
            return status;
        });
        ASSERT_EQ(0, unit.initialize());
        ASSERT_EQ(0, unit.start());
        std::vector<float> fed(1500);
        for (std::size_t i = 0; i < fed.size(); ++i) {
            fed[i] = float(i % 100) / 200.0f;
        }
        ASSERT_TRUE(scope.backend->capture(2, {fed}));
        ASSERT_EQ(fed.size(), captured.size());
        for (std::size_t i = 0; i < fed.size(); ++i) {
            ASSERT_EQ(std::int16_t(std::lround(fed[i] * 32768)), captured[i]) << i;
        }
        // Outside a capture there is nothing to render.
        test::OwnedBufferList list(1, 8);
        AudioTimeStamp time{};
        EXPECT_EQ(kAudioUninitializedError, unit.render(nullptr, time, 1, 4, list.list()));
    }
}

TEST_F(AudioUnitTest, GraphPullsThroughConverterAndMixer) {
    AudioGraph graph;
    AUNode converterNode, mixerNode, outputNode;
    ASSERT_EQ(0, graph.addNode(AudioUnitKind::Converter, &converterNode));
    ASSERT_EQ(0, graph.addNode(AudioUnitKind::StereoMixer, &mixerNode));
    ASSERT_EQ(0, graph.addNode(AudioUnitKind::HALOutput, &outputNode));
    ASSERT_EQ(0, graph.connectNodeInput(converterNode, 0, mixerNode, 0));
    EXPECT_EQ(kAudioBadObjectError, graph.connectNodeInput(mixerNode, 0, mixerNode, 0));
    ASSERT_EQ(0, graph.open());
    ASSERT_EQ(0, graph.connectNodeInput(mixerNode, 0, outputNode, 0));
    AudioUnit *converter, *mixer, *output;
    ASSERT_EQ(0, graph.nodeInfo(converterNode, &converter));
    ASSERT_EQ(0, graph.nodeInfo(mixerNode, &mixer));
    ASSERT_EQ(0, graph.nodeInfo(outputNode, &output));
    const auto client = test::floatNonInterleaved(48000, 2);
    ASSERT_EQ(
        0, converter->setStreamFormat(AudioUnitScope::Input, 0, test::int16Interleaved(48000, 1)));
    ASSERT_EQ(0, converter->setStreamFormat(AudioUnitScope::Output, 0, client));
    ASSERT_EQ(0, mixer->setStreamFormat(AudioUnitScope::Input, 0, client));
    ASSERT_EQ(0, mixer->setStreamFormat(AudioUnitScope::Output, 0, client));
    ASSERT_EQ(0, static_cast<HALOutputUnit*>(output)->setCurrentDevice(1));
    converter->setRenderCallback(0, [](AudioUnitRenderActionFlags*, const AudioTimeStamp&,
                                       std::uint32_t, std::uint32_t frames, AudioBufferList* data) {
        std::fill_n(static_cast<std::int16_t*>(data->mBuffers[0].mData), frames,
                    std::int16_t(16384));
        return OSStatus(0);
    });
    int pre = 0, post = 0;
    mixer->addRenderNotify([&](AudioUnitRenderActionFlags* flags, const AudioTimeStamp&,
                               std::uint32_t, std::uint32_t, AudioBufferList*) {
        pre += (*flags & kAudioUnitRenderAction_PreRender) != 0;
        post += (*flags & kAudioUnitRenderAction_PostRender) != 0;
        return OSStatus(0);
    });
    ASSERT_EQ(0, mixer->setParameter(kStereoMixerParam_Volume, AudioUnitScope::Input, 0, 0.5f));
    ASSERT_EQ(0, mixer->setParameter(kStereoMixerParam_Pan, AudioUnitScope::Input, 0, 1.0f));
    ASSERT_EQ(0, graph.initialize());
    ASSERT_EQ(0, graph.start());
    bool running = false;
    graph.isRunning(&running);
    EXPECT_TRUE(running);

    std::vector<std::vector<float>> out;
    ASSERT_TRUE(scope.backend->render(1, 1024, &out));
    EXPECT_EQ(2, pre);  // two device callbacks of 512 frames
    EXPECT_EQ(2, post);
    for (std::size_t i = 0; i < 1024; ++i) {
        ASSERT_EQ(0.0f, out[0][i]);   // panned hard right
        ASSERT_EQ(0.25f, out[1][i]);  // 0.5 at half volume
    }
    graph.stop();
    graph.isRunning(&running);
    EXPECT_FALSE(running);
}

TEST_F(AudioUnitTest, TestBackendTellsListenersAndAnswersProperties) {
    int notices = 0;
    const auto token = scope.backend->addDevicesChangedListener([&] { ++notices; });
    scope.backend->setDevices({makeDevice(7, 2, 2)}, 7, 7);
    EXPECT_EQ(1, notices);
    std::string name;
    EXPECT_EQ(0, scope.backend->stringProperty(7, AudioDeviceStringProperty::Name, &name));
    EXPECT_EQ("Device 7", name);
    EXPECT_EQ(kAudioBadDeviceError,
              scope.backend->stringProperty(8, AudioDeviceStringProperty::Name, &name));
    scope.backend->removeDevicesChangedListener(token);
    scope.backend->setDevices({}, kAudioObjectUnknown, kAudioObjectUnknown);
    EXPECT_EQ(1, notices);
}

TEST(PortAudioBackendTest, ListsDevicesWithoutFailingWhereThereIsNoSoundCard) {
    auto backend = std::make_shared<PortAudioBackend>();
    std::vector<AudioDeviceID> ids;
    ASSERT_EQ(0, backend->deviceIDs(&ids));
    for (const auto direction : {AudioDirection::Input, AudioDirection::Output}) {
        const AudioDeviceID id = backend->defaultDevice(direction);
        EXPECT_TRUE(id == kAudioObjectUnknown ||
                    std::find(ids.begin(), ids.end(), id) != ids.end());
    }
    // Reading the list again finds the same devices under the same ids, and tells nobody.
    int notices = 0;
    backend->addDevicesChangedListener([&] { ++notices; });
    const auto before = backend->devices();
    backend->rescan();
    EXPECT_EQ(before, backend->devices());
    EXPECT_EQ(0, notices);
}

// The program's end with the PortAudio backend made: exit runs the backend's shut-down before the
// dispatch threads stop, so its device watch never waits on a queue nobody drains. A hang is cut
// short by the alarm and shows as a signal, not a hung test.
TEST(PortAudioBackendDeathTest, ExitEndsTheProcessOnceTheSharedBackendIsMade) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ::alarm(20);
            AudioBackend::setShared(nullptr);
            const bool made = AudioBackend::shared() != nullptr;
            std::exit(made ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace vm
