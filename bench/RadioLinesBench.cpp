// Line dispatch of the radio session: lines per second through parseRadioStream() for a mix of
// status lines, replies and messages as a busy radio sends them, against a bare split of the same
// lines on blanks and "=" (the least any parser must do). Slice and equalizer lines are read on
// their objects' own queues and every line's values are announced from the main queue, so the
// times reported are the CPU time of the whole process (every thread the lines touch), not of the
// benchmark's thread alone.
#include "BareSplit.h"
#include "attach/RadioObjects.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"
#include "radio/Radio.h"

#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

const std::vector<std::string>& lineMix() {
    static const std::vector<std::string> lines{
        "S2DE0B1A5|slice 0 RF_frequency=14.225000 mode=USB filter_lo=100 filter_hi=2800 "
        "audio_level=50 audio_pan=50 agc_mode=med",
        "S2DE0B1A5|display pan 0x40000000 center=14.200000 bandwidth=0.200000 min_dbm=-135.00 "
        "max_dbm=-40.00 fps=25 average=50 weighted_average=0",
        "S2DE0B1A5|display waterfall 0x42000000 auto_black=1 black_level=15 color_gain=50 "
        "gradient_index=1 line_duration=100",
        "S2DE0B1A5|transmit freq=14.225000 lo=100 hi=2800 rfpower=50 tunepower=10 mic_level=40 "
        "mic_selection=MIC compander=1",
        "S2DE0B1A5|interlock timeout=0 acc_txreq_enable=0 rca_txreq_enable=0 state=READY source= "
        "reason= tx_allowed=1",
        "S2DE0B1A5|radio slices=3 panadapters=3 lineout_gain=60 lineout_mute=0 headphone_gain=50 "
        "headphone_mute=0",
        "S2DE0B1A5|meter 12.src=SLC#12.num=0#12.nam=LEVEL#12.low=-150.0#12.hi=20.0#12.desc=Signal "
        "strength#12.unit=dBm#12.fps=10#",
        "S11111111|slice 1 RF_frequency=7.074000 mode=DIGU filter_lo=0 filter_hi=3000 in_use=1",
        "S2DE0B1A5|mixer lineout_gain=60",
        "S2DE0B1A5|gps lat=52.1 lon=5.1 grid=JO22 altitude=10 tracked=8 visible=12",
        "S2DE0B1A5|eq rxsc mode=0 63Hz=0 125Hz=0 250Hz=0 500Hz=0 1000Hz=0 2000Hz=0 4000Hz=0 "
        "8000Hz=0",
        "R1234|0|",
        "R1235|0|0x40000000,0x42000000",
        "M10000001|Client connected from 127.0.0.1",
    };
    return lines;
}

void BM_ParseRadioStream(benchmark::State& state) {
    vm::setLogSink([](std::string_view) {});
    const auto radio = vm::Radio::createDetached(nullptr, {}, "bench", 0, vm::attachRadioObjects);
    radio->parseRadioStream("H2DE0B1A5");
    const auto& lines = lineMix();
    for (auto _ : state) {
        for (const std::string& line : lines) {
            radio->parseRadioStream(line);
        }
        vm::DispatchQueue::drainMain();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * lines.size()));
    vm::setLogSink({});
}
BENCHMARK(BM_ParseRadioStream)->MeasureProcessCPUTime();

void BM_SplitOnBlanksAndEquals(benchmark::State& state) {
    const auto& lines = lineMix();
    std::vector<std::string_view> tokens;
    for (auto _ : state) {
        for (const std::string& line : lines) {
            vm::bench::splitOnBlanksAndEquals(line, tokens);
            benchmark::DoNotOptimize(tokens.data());
            benchmark::ClobberMemory();
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * lines.size()));
}
BENCHMARK(BM_SplitOnBlanksAndEquals)->MeasureProcessCPUTime();

}  // namespace

BENCHMARK_MAIN();
