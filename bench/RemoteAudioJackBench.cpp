// Remote-audio latency through the real PortAudio backend on a JACK server with its dummy driver
// (no sound card), paced in real time as the radio sends: 6 s of 10 ms Opus packets, silence
// with a 10 ms tone every 300 ms. Reports the time from a burst's packet leaving the simulated
// radio to its first sample leaving the render callback (median and 99th percentile), the ring's
// steady fill and the under-runs after warm-up; and the microphone's packet rate over 2 s.
// One iteration each: the figures are the counters, not the iteration time.
#include "JackAudioSupport.h"

#include "Percentile.h"

#include <benchmark/benchmark.h>

#include <thread>

namespace vm {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

using bench::percentile;

void BM_ReceiveLatency(benchmark::State& state) {
    for (auto _ : state) {
        test::JackAudioRig rig;
        if (!rig.start() || !rig.startReceiving()) {
            state.SkipWithError(rig.error.empty() ? "receive stream did not start"
                                                  : rig.error.c_str());
            rig.stop();
            return;
        }
        const auto probe = std::make_shared<test::BurstProbe>();
        rig.handler->output()->setDelegate(std::weak_ptr<AudioOutputDelegate>(probe));
        constexpr int kPackets = 600;
        constexpr int kBurstEvery = 30;
        const auto packets = test::burstPackets(kPackets, kBurstEvery);
        const auto playback = rig.handler->playback();
        std::vector<Clock::time_point> sent;
        std::vector<double> fillMs;
        std::uint64_t underRunsAfterWarmUp = 0;
        auto next = Clock::now();
        for (int p = 0; p < kPackets; ++p) {
            std::this_thread::sleep_until(next);
            if (p % kBurstEvery == 0) {
                sent.push_back(Clock::now());
            }
            rig.session->sim->sendOpus(test::kJackRxStream, packets[std::size_t(p)]);
            if (p == 100) {
                underRunsAfterWarmUp = playback->underRuns();
            }
            if (p > 100 && p % 5 == 2) {
                fillMs.push_back(double(playback->fillCount()) / 96.0);  // 96 bytes a ms
            }
            next += 10ms;
        }
        std::this_thread::sleep_for(300ms);
        std::vector<double> latencies;
        const std::size_t heard = std::min(probe->count.load(), sent.size());
        for (std::size_t b = 3; b < heard; ++b) {
            latencies.push_back(
                std::chrono::duration<double, std::milli>(probe->times[b] - sent[b]).count());
        }
        state.counters["bursts_sent"] = double(sent.size());
        state.counters["bursts_heard"] = double(probe->count.load());
        state.counters["latency_median_ms"] = percentile(latencies, 0.5);
        state.counters["latency_p99_ms"] = percentile(latencies, 0.99);
        state.counters["ring_fill_median_ms"] = percentile(fillMs, 0.5);
        state.counters["under_runs"] = double(playback->underRuns() - underRunsAfterWarmUp);
        state.counters["over_runs"] = double(rig.handler->overRuns());
        rig.stop();
    }
}
BENCHMARK(BM_ReceiveLatency)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_MicrophonePacketRate(benchmark::State& state) {
    for (auto _ : state) {
        test::JackAudioRig rig;
        if (!rig.start()) {
            state.SkipWithError(rig.error.c_str());
            rig.stop();
            return;
        }
        rig.handler = VMRemoteAudioHandler::create(rig.session->radio, rig.app);
        rig.session->sim->waitForCommand("stream create type=remote_audio_tx");
        rig.session->sim->sendStatus(fmt::format(
            "stream 0x{:08X} type=remote_audio_tx compression=OPUS", test::kJackTxStream));
        test::waitFor(
            [&] { return rig.handler->microphone() && rig.handler->remoteAudioTxStream(); });
        rig.handler->micAudioOnOff(true);
        test::waitFor([&] { return test::microphonePackets(*rig.session->sim) > 0; });
        const std::size_t first = test::microphonePackets(*rig.session->sim);
        std::this_thread::sleep_for(2s);
        state.counters["packets_per_second"] =
            double(test::microphonePackets(*rig.session->sim) - first) / 2.0;
        rig.handler->micAudioOnOff(false);
        rig.stop();
    }
}
BENCHMARK(BM_MicrophonePacketRate)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vm

BENCHMARK_MAIN();
