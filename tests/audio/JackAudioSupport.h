#pragma once
// The remote-audio engine on a JACK server with its dummy driver, shared by the tests and the
// latency benchmark: the server, PortAudio as the shared backend, the JACK devices chosen as the
// application's output and input, a connected session, and a probe that notes when each burst
// of tone leaves the render callback.
#include "audio/VMRemoteAudioHandler.h"
#include "platform/audio/PortAudioBackend.h"
#include "support/sim/SimAudio.h"

#include "AudioSessionSupport.h"
#include "JackServer.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace vm::test {

inline constexpr std::uint32_t kJackRxStream = 0x04000009;
inline constexpr std::uint32_t kJackTxStream = 0x84000001;

struct JackAudioRig {
    // Starts the server and the session; false with the reason in `error`.
    bool start() {
        if (!jack.start()) {
            error = jack.error();
            return false;
        }
        // PortAudio's start asks the server: given up after 5 s rather than waited on for ever.
        auto made = std::make_shared<std::promise<std::shared_ptr<AudioBackend>>>();
        auto backend = made->get_future();
        std::thread([made] { made->set_value(std::make_shared<PortAudioBackend>()); }).detach();
        if (backend.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            error = "PortAudio did not start on the JACK server within 5 s";
            return false;
        }
        AudioBackend::setShared(backend.get());
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
        if (!app->output || !app->input) {
            error = "PortAudio lists no JACK device";
            return false;
        }
        session = std::make_unique<AudioSession>(true);
        return true;
    }
    void stop() {
        handler.reset();
        session.reset();
        AudioBackend::setShared(nullptr);
        jack.stop();
    }

    // The engine with its receive stream adopted and playing; false when it does not start.
    bool startReceiving() {
        handler = VMRemoteAudioHandler::create(session->radio, app);
        if (!session->sim->waitForCommand("stream create type=remote_audio_rx compression=opus")) {
            return false;
        }
        session->sim->sendStatus(
            fmt::format("stream 0x{:08X} type=remote_audio_rx compression=OPUS", kJackRxStream));
        return waitFor([&] { return handler->playback() && handler->output()->isPlaying(); });
    }

    JackServer jack;
    std::shared_ptr<FakeApplication> app = std::make_shared<FakeApplication>();
    std::unique_ptr<AudioSession> session;
    std::shared_ptr<VMRemoteAudioHandler> handler;
    std::string error;
};

// Notes, on the render thread, when the first loud sample of each burst leaves the callback.
class BurstProbe : public AudioOutputDelegate {
public:
    using Clock = std::chrono::steady_clock;

    bool takesPlayedAudio() const override { return true; }
    void outputPlayedAudio(AudioOutput&, float** buffers, std::uint32_t frames,
                           std::uint32_t) override {
        const auto now = Clock::now();
        float loudest = 0;
        for (std::uint32_t f = 0; f < frames; ++f) {
            loudest = std::max(loudest, std::fabs(buffers[0][f]));
        }
        const std::size_t n = count.load();
        if (loudest > 0.1f && n < times.size() &&
            (n == 0 || now - times[n - 1] > std::chrono::milliseconds(150))) {
            times[n] = now;
            count.store(n + 1);
        }
    }
    std::array<Clock::time_point, 128> times{};
    std::atomic<std::size_t> count{0};
};

// Opus packets of 10 ms: silence, with a 10 ms tone as the first of every `burstEvery`.
inline std::vector<std::string> burstPackets(int packets, int burstEvery) {
    sim::SimOpusEncoder encoder;
    std::vector<std::string> out;
    const std::vector<std::int16_t> silence(sim::kOpusFrames * 2, 0);
    const auto tone = sim::toInt16(sim::stereoTone(1000, sim::kOpusRate, sim::kOpusFrames, 0.5));
    for (int p = 0; p < packets; ++p) {
        out.push_back(encoder.encode(p % burstEvery == 0 ? tone.data() : silence.data()));
    }
    return out;
}

// Transmit packets of the engine's microphone stream the simulated radio received whole.
inline std::size_t microphonePackets(sim::SimRadio& sim) {
    std::size_t n = 0;
    for (const auto& datagram : sim.datagrams()) {
        const auto packet = sim::readStreamPacket(datagram.bytes);
        n += packet && packet->streamId == kJackTxStream && packet->packetClassCode == 0x8005 &&
             datagram.bytes.size() == 28 + packet->payload.size();
    }
    return n;
}

}  // namespace vm::test
