// The waterfall view's cost per row at 1920 × 540 pixels: the push-down of the picture (one block
// move of all rows but one) and one row of colour-map look-ups, against a plain copy of the
// picture's bytes (the least any full-picture step costs).
// - PushDownAndPaintRow: what every completed row costs the view;
// - PaintRow: the look-ups alone;
// - CopyPicture: memcpy of the whole bitmap.
// Four waterfalls at 30 rows a second take 120 × PushDownAndPaintRow of each second.
#include "display/WaterfallColorMap.h"
#include "display/WaterfallRows.h"
#include "platform/ui/Bitmap.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

using namespace vm;

constexpr int kWidth = 1920;
constexpr int kHeight = 540;
constexpr int kBins = 2460;  // a 3.3 frame's bins, a little more than the pixels

struct Fixture {
    Fixture() {
        map.setColorGain(50);
        map.setBlackLevel(2000);
        map.setupColorGradient();
        auto tile = std::make_shared<WaterfallTile>();
        tile->firstPixelFreq = 14.0;
        tile->binBandwidth = 0.2 / kBins;
        tile->width = kBins;
        tile->height = 1;
        tile->fversion = 3.2;
        for (int i = 0; i < kBins; ++i) {
            tile->waterFallBinData.push_back(static_cast<std::uint16_t>(1500 + (i * 7919) % 9000));
        }
        rows.store(tile, kHeight);
        bitmap.clearTo24Bit(0xff0000);
    }
    void paintRow() {
        rows.paintRow(0, bitmap.bytes(), kWidth, 14.0, 0.2 / kWidth, map.entries(), 0xff0000);
    }

    WaterfallColorMap map;
    WaterfallRows rows;
    Bitmap bitmap{kWidth, kHeight, 3};
};

void PushDownAndPaintRow(benchmark::State& state) {
    Fixture f;
    for (auto _ : state) {
        f.bitmap.scrollDown();
        f.paintRow();
        benchmark::DoNotOptimize(f.bitmap.bytes());
    }
}
BENCHMARK(PushDownAndPaintRow);

void PaintRow(benchmark::State& state) {
    Fixture f;
    for (auto _ : state) {
        f.paintRow();
        benchmark::DoNotOptimize(f.bitmap.bytes());
    }
}
BENCHMARK(PaintRow);

void CopyPicture(benchmark::State& state) {
    Fixture f;
    std::vector<std::uint8_t> copy(static_cast<std::size_t>(f.bitmap.bytesPerRow()) * kHeight);
    for (auto _ : state) {
        std::memcpy(copy.data(), f.bitmap.bytes(), copy.size());
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(CopyPicture);

}  // namespace

BENCHMARK_MAIN();
