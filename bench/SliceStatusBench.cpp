// Slice status parsing: key=value pairs per second through a slice's parser (a later line, stored
// and announced by a main-queue task that the benchmark drains), against the bare split of the
// same line on blanks and "=".
#include "BareSplit.h"
#include "objects/Slice.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"
#include "radio/Radio.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A whole slice as the radio reports it.
const std::string kLine =
    "in_use=1 sample_rate=24000 RF_frequency=14.225000 client_handle=0x2DE0B1A5 index_letter=A "
    "rit_on=0 rit_freq=0 xit_on=0 xit_freq=0 rxant=ANT1 mode=USB wide=0 filter_lo=100 "
    "filter_hi=2800 "
    "step=100 step_list=1,10,50,100,500,1000,2000,3000 agc_mode=med agc_threshold=65 "
    "agc_off_level=10 "
    "pan=0x40000000 txant=ANT1 loopa=0 loopb=0 qsk=0 dax=1 dax_clients=0 lock=0 tx=1 active=1 "
    "audio_level=50 audio_pan=50 audio_mute=0 record=0 play=disabled record_time=0.0 anf=0 "
    "anf_level=0 "
    "nr=0 nr_level=0 nb=0 nb_level=50 wnb=0 wnb_level=0 apf=0 apf_level=0 squelch=1 "
    "squelch_level=20 "
    "diversity=0 diversity_parent=0 diversity_child=0 diversity_index=1342177293 "
    "ant_list=ANT1,ANT2,RX_A,XVTR mode_list=LSB,USB,AM,CW,DIGL,DIGU,SAM,FM,NFM,DFM,RTTY "
    "fm_tone_mode=OFF fm_tone_value=67.0 fm_repeater_offset_freq=0.000000 tx_offset_freq=0.000000 "
    "repeater_offset_dir=SIMPLEX fm_tone_burst=0 fm_deviation=5000 dfm_pre_de_emphasis=0 "
    "post_demod_low=300 post_demod_high=3300 rtty_mark=2125 rtty_shift=170 digl_offset=2210 "
    "digu_offset=1500 post_demod_bypass=0 rfgain=8 tx_ant_list=ANT1,ANT2,XVTR detached=0 nr2=0";

std::int64_t pairsIn(const std::string& line) { return std::count(line.begin(), line.end(), '='); }

void BM_SliceStatusParse(benchmark::State& state) {
    vm::setLogSink([](std::string_view) {});
    const auto radio = vm::Radio::createDetached(nullptr, {}, "bench", 0);
    const auto slice = vm::Slice::create(radio, 0);
    for (auto _ : state) {
        vm::Scanner scan(kLine);
        slice->statusParserImmediate(scan, false);
        vm::DispatchQueue::drainMain();
    }
    state.SetItemsProcessed(state.iterations() * pairsIn(kLine));
    vm::setLogSink({});
}
BENCHMARK(BM_SliceStatusParse);

void BM_SliceStatusBareSplit(benchmark::State& state) {
    std::vector<std::string_view> tokens;
    for (auto _ : state) {
        vm::bench::splitOnBlanksAndEquals(kLine, tokens);
        benchmark::DoNotOptimize(tokens.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * pairsIn(kLine));
}
BENCHMARK(BM_SliceStatusBareSplit);

}  // namespace

BENCHMARK_MAIN();
