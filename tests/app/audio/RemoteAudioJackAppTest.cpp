// The application with remote audio saved as on, connected to the simulated radio, on the real
// PortAudio backend over a JACK server with its dummy driver: the sound system starts on the
// remote-audio room's queue, the receive stream is created at the end of the start-up chain, and
// the radio's tone leaves the JACK device's render callback as that tone.
#include "../control/ConnectingFixture.h"

#include "app/audio/RemoteAudioController.h"
#include "audio/RemoteAudio.h"
#include "audio/VMRemoteAudioHandler.h"
#include "support/sim/SimAudio.h"

#include "../../audio/JackServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>

namespace vm {
namespace {

using test::runEventsUntil;

// Keeps the left channel of what the device played from its first loud sample on, on the
// render thread.
class PlayedAudio : public AudioOutputDelegate {
public:
    bool takesPlayedAudio() const override { return true; }
    void outputPlayedAudio(AudioOutput&, float** buffers, std::uint32_t frames,
                           std::uint32_t) override {
        std::size_t n = count.load();
        for (std::uint32_t f = 0; f < frames && n < samples.size(); ++f) {
            if (n > 0 || std::fabs(buffers[0][f]) > 0.1f) {
                samples[n++] = buffers[0][f];
            }
        }
        count.store(n);
    }
    std::array<float, 48000> samples{};
    std::atomic<std::size_t> count{0};
};

// The tone's frequency from the median distance between rising zero crossings: a gap that a late
// packet leaves on a busy machine lengthens one distance, not the median.
double medianToneFrequency(const std::vector<float>& mono, double rate) {
    std::vector<double> crossings, periods;
    for (std::size_t i = 1; i < mono.size(); ++i) {
        if (mono[i - 1] < 0 && mono[i] >= 0) {
            crossings.push_back(double(i - 1) + mono[i - 1] / double(mono[i - 1] - mono[i]));
        }
    }
    for (std::size_t i = 1; i < crossings.size(); ++i) {
        periods.push_back(crossings[i] - crossings[i - 1]);
    }
    if (periods.empty()) {
        return 0;
    }
    std::nth_element(periods.begin(), periods.begin() + std::ptrdiff_t(periods.size() / 2),
                     periods.end());
    return rate / periods[periods.size() / 2];
}

class AppJackAudio : public test::ConnectingFixture {
protected:
    void SetUp() override {
        ConnectingFixture::SetUp();
        ASSERT_TRUE(jack.start()) << jack.error();
        AudioBackend::setShared(nullptr);  // the application makes PortAudio itself
    }
    void TearDown() override {
        ConnectingFixture::TearDown();
        controller.reset();
        AudioBackend::shutdownShared();
        jack.stop();
    }
    test::JackServer jack;
};

TEST_F(AppJackAudio, TheRadiosToneReachesTheJackDevice) {
    Defaults::standard().set("remote_audio", PlistValue(1));
    launch();
    ASSERT_TRUE(runEventsUntil([&] { return controller->remoteAudio->audioSystemReady(); }));
    // The JACK output chosen in the Audio tab, as the operator does.
    auto& outputs = prefsControl<PopUpButton>("audioOutputDevicesPopup");
    int jackItem = -1;
    for (int i = 0; i < outputs.count(); ++i) {
        if (outputs.itemData(i).toString().startsWith("JACK")) {
            jackItem = i;
            break;
        }
    }
    ASSERT_GE(jackItem, 0) << "PortAudio lists no JACK output";
    outputs.selectItemAtIndex(jackItem);
    emit outputs.action();

    connectAsGui();
    ASSERT_TRUE(runEventsUntil(
        [&] { return sent("stream create type=remote_audio_rx compression=opus"); }));
    sim->sendStatus("stream 0x04000009 type=remote_audio_rx compression=opus ip=127.0.0.1");
    std::shared_ptr<VMRemoteAudioHandler> engine;
    ASSERT_TRUE(runEventsUntil([&] {
        engine = controller->remoteAudio->audioHandler;
        return engine && engine->playback() && engine->output() && engine->output()->isPlaying();
    }));
    const auto played = std::make_shared<PlayedAudio>();
    engine->output()->setDelegate(std::weak_ptr<AudioOutputDelegate>(played));

    // 1 s of a 1 kHz tone; each packet leaves once the one before is in the ring and the ring
    // holds less than 30 ms, so the check does not depend on how busy the machine is.
    sim::SimOpusEncoder encoder;
    const auto packets = encoder.tone(1000, 100, 0.5);
    const auto playback = engine->playback();
    constexpr std::uint64_t kPacketBytes = sim::kOpusFrames * 4;
    for (std::size_t p = 0; p < packets.size(); ++p) {
        ASSERT_TRUE(runEventsUntil([&] {
            return playback->bytesWritten() >= p * kPacketBytes &&
                   playback->fillCount() < std::int32_t(3 * kPacketBytes);
        }));
        ASSERT_TRUE(sim->sendOpus(0x04000009, packets[p]));
    }
    ASSERT_TRUE(runEventsUntil([&] { return played->count.load() >= 24000; }));
    // The tone as the output handed it to the device, past its start, at the output's own rate
    // (the device converts it to the server's).
    const std::vector<float> left(played->samples.begin() + 2400, played->samples.begin() + 24000);
    const double rate = engine->output()->clientFormat().mSampleRate;
    EXPECT_NEAR(medianToneFrequency(left, rate), 1000, 10);
    EXPECT_GT(sim::rmsLevel(left), 0.2);
    EXPECT_EQ(engine->overRuns(), 0u);
}

}  // namespace
}  // namespace vm
