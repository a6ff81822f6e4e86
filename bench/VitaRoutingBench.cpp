// The stream manager's receive path: datagrams per second through decoding and routing, against a
// plain copy of the same bytes (the least any receive path does, since each datagram is copied
// once out of the socket's buffer).
// - DecodeAndRoute: a realistic mix (panadapter FFT packets, waterfall tiles, Opus audio and meter
//   packets) routed to handlers that do nothing;
// - DecodeRouteAndTakeIn: the same mix taken in by real panadapters and waterfalls, whose frames
//   and tiles reach views on their own queues;
// - FftFrameIntake / TileLineIntake: one 4096-bin spectrum frame in three packets, one 3072-bin
//   waterfall line in three tiles, each against the copy of its own bytes.
#include "display/Panafall.h"
#include "display/Waterfall.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/DispatchSemaphore.h"
#include "platform/core/Log.h"
#include "radio/Radio.h"
#include "radio/VitaManager.h"
#include "support/sim/SimVita.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace vm;

constexpr std::uint32_t kPanId = 0x40000000;
constexpr std::uint32_t kWaterfallId = 0x42000000;
constexpr std::uint32_t kOpusId = 0x04000008;

struct NoOpHandler : VitaStreamHandler, VitaManagerMeterUpdate {
    void streamHandler(const VITA& packet) override { benchmark::DoNotOptimize(packet.payload); }
    void updateMeter(int value) override { benchmark::DoNotOptimize(value); }
};

// Views that do what the real ones do first with what they get: copy the bins out.
struct CopyingViews : PanafallData, WaterfallData {
    void fftFrame(const PanafallFFTFrame& frame) override {
        std::copy(frame.bins, frame.bins + frame.numBins,
                  bins.begin() + frame.startBinIndex % 8192);
    }
    void waterfallTile(const std::shared_ptr<WaterfallTile>& tile) override {
        benchmark::DoNotOptimize(tile->waterFallBinData.data());
    }
    std::vector<std::uint16_t> bins = std::vector<std::uint16_t>(32768);
};

Bytes streamPacket(std::uint16_t classCode, std::uint32_t streamId, const std::string& payload) {
    return sim::encodeVita(sim::streamHeader(classCode, streamId), payload);
}

// Per ten packets: five FFT packets, one waterfall tile, three Opus packets, one meter packet.
std::vector<Bytes> packetMix(std::uint32_t frameIndex = 0) {
    sim::FftFrame fft;
    fft.bins.assign(506, 1200);  // a 1 KiB payload
    fft.frameIndex = frameIndex;
    sim::WaterfallTile tile;
    tile.width = 680;
    tile.height = 1;
    tile.timecode = frameIndex;
    tile.data.assign(680, 3000);
    std::vector<sim::MeterValue> meters;
    for (std::uint16_t m = 0; m < 40; ++m) {
        meters.push_back({m, static_cast<std::int16_t>(-12800 + m)});
    }
    const Bytes fftPacket = streamPacket(sim::kClassPanFft, kPanId, sim::fftPayload(fft));
    const Bytes opusPacket = streamPacket(sim::kClassOpus, kOpusId, Bytes(240, 'o'));
    return {
        fftPacket,  fftPacket,
        fftPacket,  fftPacket,
        fftPacket,  streamPacket(sim::kClassWaterfall, kWaterfallId, sim::waterfallPayload(tile)),
        opusPacket, opusPacket,
        opusPacket, streamPacket(sim::kClassMeter, sim::kMeterStreamId, sim::meterPayload(meters)),
    };
}

std::vector<Bytes> fftFramePackets() {
    std::vector<std::uint16_t> bins(4096);
    for (std::size_t i = 0; i < bins.size(); ++i) {
        bins[i] = static_cast<std::uint16_t>(i % 900);
    }
    std::vector<Bytes> packets;
    for (const std::string& payload : sim::fftFramePayloads(bins, 1, 3)) {
        packets.push_back(streamPacket(sim::kClassPanFft, kPanId, payload));
    }
    return packets;
}

std::vector<Bytes> tileLinePackets() {
    sim::WaterfallTile line;
    line.height = 1;
    line.timecode = 1;
    line.data.assign(3072, 2500);
    line.width = 3072;
    std::vector<Bytes> packets;
    for (const std::string& payload : sim::waterfallLinePayloads(line, 3)) {
        packets.push_back(streamPacket(sim::kClassWaterfall, kWaterfallId, payload));
    }
    return packets;
}

std::int64_t bytesOf(const std::vector<Bytes>& packets) {
    std::int64_t bytes = 0;
    for (const Bytes& packet : packets) {
        bytes += static_cast<std::int64_t>(packet.size());
    }
    return bytes;
}

// A stream manager of a 3.3 radio whose tables hold `panafall` and `waterfall` for the display
// streams and no-op handlers for the rest.
struct Router {
    std::shared_ptr<NoOpHandler> handler = std::make_shared<NoOpHandler>();
    std::shared_ptr<VitaManager> manager = VitaManager::create("127.0.0.1");
    std::shared_ptr<Radio> radio;

    Router(std::shared_ptr<VitaStreamHandler> panafall,
           std::shared_ptr<VitaStreamHandler> waterfall) {
        auto record = std::make_shared<RadioInstance>();
        record->ipAddress = "127.0.0.1";
        record->fversion = 3.3;
        radio = Radio::createDetached(record, {}, "bench", 0);
        const auto tables = std::make_shared<VitaStreamTables>();
        tables->panafalls.insert(kPanId, panafall ? panafall : handler);
        tables->waterfalls.insert(kWaterfallId, waterfall ? waterfall : handler);
        tables->opusAudioStreamHandlers.insert(kOpusId, handler);
        for (int m = 0; m < 40; ++m) {
            tables->meters.insert(m, handler);
        }
        manager->handleRadio(radio);
        manager->setStreamTables(tables);
    }
};

// Runs `packets` through the receive path, kBatch times per iteration. Frames and tiles go on to
// their views' queues, which are held while the clock runs: what is timed is the receive path's
// own work, handing over included, without the wake-up of an idle queue (at most one per view
// and burst of packets; BM_FftFrameIntakeWithWake shows it). The receive path decodes each
// datagram where it lies and copies out only what it hands on: the bins of FFT packets into the
// pan's batch (storage that two batches reuse in turn) and the values of each tile into a tile of
// its own, which the view keeps and lets go of on its queue after the clock stops. copy() frees
// each copy inside the clock and so reuses one warm buffer.
constexpr int kBatch = 8;

void receive(benchmark::State& state, Router& router, const std::vector<Bytes>& packets,
             const std::vector<DispatchQueuePtr>& viewQueues) {
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        auto release = std::make_shared<DispatchSemaphore>();
        auto held = std::make_shared<DispatchSemaphore>();
        for (const auto& queue : viewQueues) {
            queue->async([release, held] {
                held->signal();
                release->wait();
                release->signal();
            });
            held->wait();
        }
        const auto start = Clock::now();
        for (int i = 0; i < kBatch; ++i) {
            for (const Bytes& packet : packets) {
                router.manager->receiveDatagram(packet);
            }
        }
        DispatchQueue::drainMain();  // the meter values
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        release->signal();
        for (const auto& queue : viewQueues) {
            queue->sync([] {});
        }
    }
    state.SetItemsProcessed(
        static_cast<std::int64_t>(state.iterations() * kBatch * packets.size()));
    state.SetBytesProcessed(state.iterations() * kBatch * bytesOf(packets));
}

void BM_DecodeAndRoute(benchmark::State& state) {
    setLogSink([](std::string_view) {});
    Router router(nullptr, nullptr);
    receive(state, router, packetMix(), {});
    setLogSink({});
}
BENCHMARK(BM_DecodeAndRoute)->UseManualTime();

struct Displays {
    std::shared_ptr<CopyingViews> views = std::make_shared<CopyingViews>();
    std::shared_ptr<Panafall> pan = Panafall::create(nullptr, "0x40000000");
    std::shared_ptr<Waterfall> waterfall = Waterfall::create(nullptr, "0x42000000");
    Displays() {
        pan->setDelegate(views);
        waterfall->setDelegate(views);
    }
    std::vector<DispatchQueuePtr> queues() const {
        return {pan->runQueue(), waterfall->runQueue()};
    }
};

void BM_DecodeRouteAndTakeIn(benchmark::State& state) {
    setLogSink([](std::string_view) {});
    Displays displays;
    Router router(displays.pan, displays.waterfall);
    receive(state, router, packetMix(), displays.queues());
    setLogSink({});
}
BENCHMARK(BM_DecodeRouteAndTakeIn)->UseManualTime();

void BM_FftFrameIntake(benchmark::State& state) {
    Displays displays;
    Router router(displays.pan, displays.waterfall);
    receive(state, router, fftFramePackets(), displays.queues());
}
BENCHMARK(BM_FftFrameIntake)->UseManualTime();

// One frame at a time into an idle view queue, which each frame wakes.
void BM_FftFrameIntakeWithWake(benchmark::State& state) {
    Displays displays;
    Router router(displays.pan, displays.waterfall);
    const auto packets = fftFramePackets();
    for (auto _ : state) {
        for (const Bytes& packet : packets) {
            router.manager->receiveDatagram(packet);
        }
        state.PauseTiming();
        displays.pan->runQueue()->sync([] {});
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * bytesOf(packets));
}
BENCHMARK(BM_FftFrameIntakeWithWake);

void BM_TileLineIntake(benchmark::State& state) {
    Displays displays;
    Router router(displays.pan, displays.waterfall);
    receive(state, router, tileLinePackets(), displays.queues());
}
BENCHMARK(BM_TileLineIntake)->UseManualTime();

void copy(benchmark::State& state, const std::vector<Bytes>& packets) {
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        const auto start = Clock::now();
        for (int i = 0; i < kBatch; ++i) {
            for (const Bytes& packet : packets) {
                auto copied = std::make_shared<Bytes>(packet);
                benchmark::DoNotOptimize(copied->data());
            }
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    state.SetItemsProcessed(
        static_cast<std::int64_t>(state.iterations() * kBatch * packets.size()));
    state.SetBytesProcessed(state.iterations() * kBatch * bytesOf(packets));
}

void BM_PlainCopy(benchmark::State& state) { copy(state, packetMix()); }
BENCHMARK(BM_PlainCopy)->UseManualTime();
void BM_FftFrameCopy(benchmark::State& state) { copy(state, fftFramePackets()); }
BENCHMARK(BM_FftFrameCopy)->UseManualTime();
void BM_TileLineCopy(benchmark::State& state) { copy(state, tileLinePackets()); }
BENCHMARK(BM_TileLineCopy)->UseManualTime();

}  // namespace

BENCHMARK_MAIN();
