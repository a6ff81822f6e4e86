// The stream manager's receive path: datagrams per second through decoding and routing for a
// realistic mix (panadapter FFT frames, waterfall tiles, Opus audio and meter packets, with their
// handlers and meters registered), against a plain copy of the same bytes (the least any receive
// path does, since each datagram is copied once out of the socket's buffer).
#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"
#include "radio/VitaManager.h"
#include "support/sim/SimVita.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace vm;

struct NoOpHandler : VitaStreamHandler, VitaManagerMeterUpdate {
    void streamHandler(const VITA& packet) override { benchmark::DoNotOptimize(packet.payload); }
    void updateMeter(int value) override { benchmark::DoNotOptimize(value); }
};

// Per ten packets: five FFT packets, one waterfall tile, three Opus packets, one meter packet.
const std::vector<Bytes>& packetMix() {
    static const std::vector<Bytes> mix = [] {
        sim::FftFrame fft;
        fft.bins.assign(506, 1200);  // a 1 KiB payload
        sim::WaterfallTile tile;
        tile.width = 680;
        tile.height = 1;
        tile.data.assign(680, 3000);
        std::vector<sim::MeterValue> meters;
        for (std::uint16_t m = 0; m < 40; ++m) {
            meters.push_back({m, static_cast<std::int16_t>(-12800 + m)});
        }
        const Bytes fftPacket = sim::encodeVita(sim::streamHeader(sim::kClassPanFft, 0x40000000), sim::fftPayload(fft));
        const Bytes opusPacket = sim::encodeVita(sim::streamHeader(sim::kClassOpus, 0x04000008), Bytes(240, 'o'));
        return std::vector<Bytes>{
            fftPacket, fftPacket, fftPacket, fftPacket, fftPacket,
            sim::encodeVita(sim::streamHeader(sim::kClassWaterfall, 0x42000000), sim::waterfallPayload(tile)),
            opusPacket, opusPacket, opusPacket,
            sim::encodeVita(sim::streamHeader(sim::kClassMeter, sim::kMeterStreamId), sim::meterPayload(meters)),
        };
    }();
    return mix;
}

std::size_t mixBytes() {
    std::size_t bytes = 0;
    for (const Bytes& packet : packetMix()) {
        bytes += packet.size();
    }
    return bytes;
}

void BM_DecodeAndRoute(benchmark::State& state) {
    setLogSink([](std::string_view) {});
    const auto handler = std::make_shared<NoOpHandler>();
    const auto tables = std::make_shared<VitaStreamTables>();
    for (const std::uint32_t id : {0x40000000u, 0x42000000u, 0x04000008u, 0x40000001u, 0x42000001u}) {
        for (auto* streams : {&tables->panafalls, &tables->waterfalls, &tables->opusAudioStreamHandlers,
                              &tables->remoteAudioStreamHandlers, &tables->daxAudioStreamToStreamHandler}) {
            streams->insert(id, handler);
        }
    }
    for (int m = 0; m < 40; ++m) {
        tables->meters.insert(m, handler);
    }
    const auto manager = VitaManager::create();
    manager->setStreamTables(tables);
    const auto& mix = packetMix();
    for (auto _ : state) {
        for (const Bytes& packet : mix) {
            manager->receiveDatagram(packet);
        }
        DispatchQueue::drainMain();  // the meter values
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * mix.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * mixBytes()));
    setLogSink({});
}
BENCHMARK(BM_DecodeAndRoute);

void BM_PlainCopy(benchmark::State& state) {
    const auto& mix = packetMix();
    for (auto _ : state) {
        for (const Bytes& packet : mix) {
            auto copy = std::make_shared<Bytes>(packet);
            benchmark::DoNotOptimize(copy->data());
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * mix.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * mixBytes()));
}
BENCHMARK(BM_PlainCopy);

}  // namespace

BENCHMARK_MAIN();
