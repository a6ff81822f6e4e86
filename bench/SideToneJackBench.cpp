// Side-tone onset through the real PortAudio backend on a JACK server with its dummy driver and a
// 5 ms period (240 frames at 48 kHz): from a character handed to the keyer to its first non-zero
// sample leaving the side tone's stream, read by a JACK client of the benchmark connected to that
// stream's output port in the same cycle. Reports the median and 99th percentile over 60
// characters. One iteration: the figures are the counters, not the iteration time.
#include "app/cwx/SideTone.h"
#include "audio/JackServer.h"
#include "platform/audio/AudioBackend.h"
#include "platform/audio/PortAudioBackend.h"

#include "Percentile.h"

#include <benchmark/benchmark.h>
#include <jack/jack.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace vm {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

using bench::percentile;

// A JACK client that notes when the first non-zero sample arrives after being armed.
struct Listener {
    jack_client_t* client = nullptr;
    jack_port_t* in = nullptr;
    std::atomic<bool> armed{false};
    std::atomic<Clock::rep> heard{0};

    static int process(jack_nframes_t frames, void* arg) {
        auto* self = static_cast<Listener*>(arg);
        const auto* samples = static_cast<const float*>(jack_port_get_buffer(self->in, frames));
        if (self->armed.load() &&
            std::any_of(samples, samples + frames, [](float s) { return s != 0.0f; })) {
            self->heard.store(Clock::now().time_since_epoch().count());
            self->armed.store(false);
        }
        return 0;
    }
};

void BM_SideToneOnset(benchmark::State& state) {
    for (auto _ : state) {
        test::JackServer jack;
        if (!jack.start(240)) {
            state.SkipWithError(jack.error().c_str());
            return;
        }
        auto made = std::make_shared<std::promise<std::shared_ptr<AudioBackend>>>();
        auto future = made->get_future();
        std::thread([made] { made->set_value(std::make_shared<PortAudioBackend>()); }).detach();
        if (future.wait_for(5s) != std::future_status::ready) {
            state.SkipWithError("PortAudio did not start on the JACK server within 5 s");
            return;
        }
        const auto backend = future.get();
        AudioBackend::setShared(backend);
        AudioDeviceID device = kAudioObjectUnknown;
        for (const auto& record : backend->devices()) {
            if (record.manufacturer.find("JACK") != std::string::npos &&
                record.outputChannels > 0) {
                device = record.deviceID;
                break;
            }
        }
        SideTone tone;
        tone.setFrequency(600);
        tone.setDitMs(50);
        if (device == kAudioObjectUnknown || !tone.open(device)) {
            state.SkipWithError("no JACK output for the side tone");
            AudioBackend::setShared(nullptr);
            return;
        }
        Listener listener;
        jack_status_t status{};
        listener.client = jack_client_open("velmora-listener", JackNoStartServer, &status);
        if (!listener.client) {
            state.SkipWithError("the listening client could not open the server");
            tone.close();
            AudioBackend::setShared(nullptr);
            return;
        }
        listener.in =
            jack_port_register(listener.client, "in", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        jack_set_process_callback(listener.client, &Listener::process, &listener);
        jack_activate(listener.client);
        // The side tone's output port: the only output that is not the server's own.
        const char** ports =
            jack_get_ports(listener.client, nullptr, JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput);
        for (std::size_t i = 0; ports && ports[i]; ++i) {
            if (std::strncmp(ports[i], "system:", 7) != 0) {
                jack_connect(listener.client, ports[i], jack_port_name(listener.in));
                break;
            }
        }
        jack_free(ports);
        std::this_thread::sleep_for(300ms);
        std::vector<double> onsets;
        for (int i = 0; i < 60; ++i) {
            listener.heard.store(0);
            listener.armed.store(true);
            const auto handed = Clock::now();
            tone.queueCharacter('E');
            std::this_thread::sleep_for(250ms);  // 50 ms of tone and 150 ms of gap
            const auto heard = listener.heard.load();
            if (heard != 0) {
                onsets.push_back(std::chrono::duration<double, std::milli>(
                                     Clock::time_point(Clock::duration(heard)) - handed)
                                     .count());
            }
        }
        jack_deactivate(listener.client);
        jack_client_close(listener.client);
        tone.close();
        AudioBackend::setShared(nullptr);
        state.counters["characters_heard"] = double(onsets.size());
        state.counters["onset_median_ms"] = percentile(onsets, 0.5);
        state.counters["onset_p99_ms"] = percentile(onsets, 0.99);
        state.counters["sample_rate"] = tone.sampleRate();
    }
}
BENCHMARK(BM_SideToneOnset)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vm

BENCHMARK_MAIN();
