// The remote-audio engine through the real PortAudio backend, on a JACK server with its dummy
// driver (no sound card): receive audio paced in real time, with the latency from a packet's
// sending to its first sample leaving the render callback, and the microphone path.
#include "audio/RemoteAudio.h"
#include "audio/VMRemoteAudioHandler.h"
#include "platform/audio/PortAudioBackend.h"
#include "support/sim/SimAudio.h"

#include "AudioSessionSupport.h"
#include "JackServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <thread>

namespace vm {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::waitFor;

constexpr std::uint32_t kRxStream = 0x04000009;
constexpr std::uint32_t kTxStream = 0x84000001;

class JackAudio : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(jack.start()) << jack.error();
        AudioBackend::setShared(std::make_shared<PortAudioBackend>());
        for (const auto& device : AudioDevice::devices()) {
            if (device.manufacturer().find("JACK") == std::string::npos) {
                continue;
            }
            if (device.outputChannelCount() > 0 && !app->output) {
                app->output = AudioDeviceChoice{device.name(), device};
            }
            if (device.inputChannelCount() > 0 && !app->input) {
                app->input = AudioDeviceChoice{device.name(), device};
            }
        }
        ASSERT_TRUE(app->output && app->input) << "PortAudio lists no JACK device";
        session = std::make_unique<test::AudioSession>(true);
    }
    void TearDown() override {
        handler.reset();
        session.reset();
        AudioBackend::setShared(nullptr);
        jack.stop();
    }

    test::JackServer jack;
    std::shared_ptr<test::FakeApplication> app = std::make_shared<test::FakeApplication>();
    std::unique_ptr<test::AudioSession> session;
    std::shared_ptr<VMRemoteAudioHandler> handler;
};

// Notes, on the render thread, when the first loud sample of each burst leaves the callback.
class BurstProbe : public AudioOutputDelegate {
public:
    bool takesPlayedAudio() const override { return true; }
    void outputPlayedAudio(AudioOutput&, float** buffers, std::uint32_t frames,
                           std::uint32_t) override {
        const auto now = Clock::now();
        float loudest = 0;
        for (std::uint32_t f = 0; f < frames; ++f) {
            loudest = std::max(loudest, std::fabs(buffers[0][f]));
        }
        const std::size_t n = count.load();
        if (loudest > 0.1f && n < times.size() && (n == 0 || now - times[n - 1] > 150ms)) {
            times[n] = now;
            count.store(n + 1);
        }
    }
    std::array<Clock::time_point, 128> times{};
    std::atomic<std::size_t> count{0};
};

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto index = std::size_t(std::ceil(p * double(values.size()))) - 1;
    return values[std::min(index, values.size() - 1)];
}

TEST_F(JackAudio, ReceiveLatencyFromPacketToRenderedSample) {
    handler = VMRemoteAudioHandler::create(session->radio, app);
    ASSERT_TRUE(
        session->sim->waitForCommand("stream create type=remote_audio_rx compression=opus"));
    session->sim->sendStatus(
        fmt::format("stream 0x{:08X} type=remote_audio_rx compression=OPUS", kRxStream));
    ASSERT_TRUE(waitFor([&] { return handler->playback() && handler->output()->isPlaying(); }));
    const auto probe = std::make_shared<BurstProbe>();
    handler->output()->setDelegate(std::weak_ptr<AudioOutputDelegate>(probe));

    // 6 s of 10 ms packets: silence, with a 10 ms tone every 300 ms.
    constexpr int kPackets = 600;
    constexpr int kBurstEvery = 30;
    sim::SimOpusEncoder encoder;
    std::vector<std::string> packets;
    const std::vector<std::int16_t> silence(sim::kOpusFrames * 2, 0);
    for (int p = 0; p < kPackets; ++p) {
        const auto tone =
            sim::toInt16(sim::stereoTone(1000, sim::kOpusRate, sim::kOpusFrames, 0.5));
        packets.push_back(encoder.encode(p % kBurstEvery == 0 ? tone.data() : silence.data()));
    }
    std::vector<Clock::time_point> sent;
    std::vector<std::int32_t> fills;
    std::uint64_t underRunsAfterWarmUp = 0;
    const auto playback = handler->playback();
    auto next = Clock::now();
    for (int p = 0; p < kPackets; ++p) {
        std::this_thread::sleep_until(next);
        if (p % kBurstEvery == 0) {
            sent.push_back(Clock::now());
        }
        ASSERT_TRUE(session->sim->sendOpus(kRxStream, packets[std::size_t(p)]));
        if (p == 100) {
            underRunsAfterWarmUp = playback->underRuns();
        }
        if (p > 100 && p % 5 == 2) {
            fills.push_back(playback->fillCount());
        }
        next += 10ms;
    }
    const std::uint64_t underRuns = playback->underRuns() - underRunsAfterWarmUp;
    std::this_thread::sleep_for(300ms);
    ASSERT_EQ(probe->count.load(), sent.size()) << "every burst is heard once";
    std::vector<double> latencies;
    for (std::size_t b = 3; b < sent.size(); ++b) {
        latencies.push_back(
            std::chrono::duration<double, std::milli>(probe->times[b] - sent[b]).count());
    }
    std::vector<double> fillMs;
    for (const auto fill : fills) {
        fillMs.push_back(double(fill) / 96.0);  // 96 bytes per ms at 24000 Hz, 2 × 16 bits
    }
    const double median = percentile(latencies, 0.5);
    const double p99 = percentile(latencies, 0.99);
    std::printf(
        "receive latency: median %.1f ms, 99th percentile %.1f ms over %zu bursts; ring "
        "steady fill median %.1f ms (%.0f bytes); under-runs after warm-up %llu\n",
        median, p99, latencies.size(), percentile(fillMs, 0.5), percentile(fillMs, 0.5) * 96.0,
        static_cast<unsigned long long>(underRuns));
    EXPECT_LT(median, 40.0);
    EXPECT_EQ(handler->overRuns(), 0u);
}

TEST_F(JackAudio, MicrophoneLeavesAsOpusPacketsEveryTenMilliseconds) {
    handler = VMRemoteAudioHandler::create(session->radio, app);
    ASSERT_TRUE(session->sim->waitForCommand("stream create type=remote_audio_tx"));
    session->sim->sendStatus(
        fmt::format("stream 0x{:08X} type=remote_audio_tx compression=OPUS", kTxStream));
    ASSERT_TRUE(waitFor([&] { return handler->microphone() && handler->remoteAudioTxStream(); }));
    handler->micAudioOnOff(true);
    const auto count = [&] {
        std::size_t n = 0;
        for (const auto& datagram : session->sim->datagrams()) {
            const auto packet = sim::readStreamPacket(datagram.bytes);
            n += packet && packet->streamId == kTxStream && packet->packetClassCode == 0x8005 &&
                 datagram.bytes.size() == 28 + packet->payload.size();
        }
        return n;
    };
    ASSERT_TRUE(waitFor([&] { return count() > 0; }));
    const std::size_t first = count();
    std::this_thread::sleep_for(2s);
    const std::size_t perSecond = (count() - first) / 2;
    handler->micAudioOnOff(false);
    EXPECT_NEAR(double(perSecond), 100.0, 10.0);
    // The dummy driver captures silence, and silence decodes back.
    EXPECT_EQ(handler->micLevel(), -300);
    const auto pcm = session->sim->transmitAudio(kTxStream);
    ASSERT_FALSE(pcm.empty());
    EXPECT_LT(*std::max_element(pcm.begin(), pcm.end()), 100);
}

}  // namespace
}  // namespace vm
