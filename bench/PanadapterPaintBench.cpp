// The panadapter view's paint of one frame at 1920 × 600 pixels: a 4096-bin spectrum (the trace
// draws the 1921 columns the view shows), the grid with its labels and two slices with flags and
// passbands, into a QImage as the raster engine paints a window.
// - PaintFrame: the whole paint, the grid's picture reused;
// - PaintFrameWhileTuning: the whole paint while the centre moves with every frame (a drag), so
//   the grid's picture is redrawn each time;
// - FillBackground: the fill of the view alone, the least any paint costs.
// Four panadapters at 30 frames a second take 120 × PaintFrame of each second.
#include "display/Panafall.h"
#include "display/views/PanAdapterView.h"
#include "objects/Slice.h"
#include "platform/core/DispatchQueue.h"
#include "support/display/FakeDisplayController.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using namespace vm;

constexpr int kWidth = 1920;
constexpr int kHeight = 600;
constexpr std::uint32_t kBins = 4096;

// A link that drops every command: the benchmark's pan and slices send nothing.
class NoLink : public RadioLink {
public:
    void commandToRadio(const std::string&) override {}
    std::optional<std::uint32_t> commandToRadio(const std::string&,
                                                std::weak_ptr<RadioDelegate>) override {
        return std::nullopt;
    }
    std::shared_ptr<RadioInstance> radioRecord() const override { return nullptr; }
    int logLevel() const override { return 0; }
    void txStreamPacket(const Bytes&) override {}
    std::shared_ptr<Slice> sliceAt(int) const override { return nullptr; }
    void cmdNewAudioStream(int) override {}
    void cmdNewAudioStreamV3(int) override {}
    void cmdRemoveAudioStreamHandler(const std::shared_ptr<DAXAudio>&) override {}
};

struct Fixture {
    Fixture() {
        pan->center.set(14.1f);
        pan->bandwidth.set(0.2f);
        pan->minDbm.set(-140.0f);
        pan->maxDbm.set(-40.0f);
        view.resize(kWidth, kHeight);
        view.setMyPanafall(pan);
        const auto addSlice = [&](int number, const char* mhz, bool active, int lo, int hi) {
            auto slice = Slice::create(link, number);
            slice->sliceFrequency.set(std::string(mhz));
            slice->sliceActive.set(active);
            slice->sliceTxEnabled.set(active);
            slice->sliceFilterLo.set(lo);
            slice->sliceFilterHi.set(hi);
            slice->sliceRxAnt.set(std::string("ANT1"));
            slice->sliceTxAnt.set(std::string("ANT1"));
            controller.slices.push_back(slice);
        };
        addSlice(0, "14.074000", true, 100, 2900);
        addSlice(1, "14.150000", false, -2900, -100);

        std::vector<std::uint16_t> bins(kBins);
        for (std::uint32_t i = 0; i < kBins; ++i) {
            bins[i] = static_cast<std::uint16_t>(420 + (i * 7919) % 60 - (i % 300 < 6 ? 250 : 0));
        }
        PanafallFFTFrame frame;
        frame.numBins = kBins;
        frame.totalBinsInFrame = kBins;
        frame.bins = bins.data();
        view.panafallData()->fftFrame(frame);
        runMainUntil([&] { return view.numFrameBins() == kBins; }, std::chrono::seconds(5));
    }

    std::shared_ptr<NoLink> link = std::make_shared<NoLink>();
    std::shared_ptr<Panafall> pan = Panafall::create(link, "0x40000000");
    test::FakeDisplayController controller;
    PanAdapterView view{controller};
    QImage image{kWidth, kHeight, QImage::Format_ARGB32_Premultiplied};
};

void PaintFrame(benchmark::State& state) {
    Fixture f;
    for (auto _ : state) {
        QPainter painter(&f.image);
        f.view.drawRect(painter);
        painter.end();
        benchmark::DoNotOptimize(f.image.constBits());
    }
    state.counters["fps"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(PaintFrame)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

void PaintFrameWhileTuning(benchmark::State& state) {
    Fixture f;
    float center = 14.1f;
    for (auto _ : state) {
        center = center == 14.1f ? 14.1002f : 14.1f;
        f.pan->center.set(center);
        QPainter painter(&f.image);
        f.view.drawRect(painter);
        painter.end();
        benchmark::DoNotOptimize(f.image.constBits());
    }
}
BENCHMARK(PaintFrameWhileTuning)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

void FillBackground(benchmark::State& state) {
    Fixture f;
    for (auto _ : state) {
        QPainter painter(&f.image);
        painter.fillRect(f.image.rect(), PanAdapterView::backgroundColor());
        painter.end();
        benchmark::DoNotOptimize(f.image.constBits());
    }
}
BENCHMARK(FillBackground)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
