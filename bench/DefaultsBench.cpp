// Preferences: the time of one save (the binary form, written atomically) and of one start's
// load, against the number of keys. Both should grow in proportion to the keys; a file of a
// million keys is put aside without being read.
#include "platform/core/Defaults.h"
#include "platform/core/Log.h"
#include "platform/core/PlistValue.h"
#include "support/HostilePlists.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

fs::path benchFolder() {
    const fs::path folder =
        fs::temp_directory_path() / ("vm-defaults-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    return folder;
}

vm::PlistDict keys(std::int64_t count) {
    vm::PlistDict values;
    for (std::int64_t i = 0; i < count; ++i) {
        values.emplace("key" + std::to_string(i), vm::PlistValue(i));
    }
    return values;
}

void BM_SaveAfterOneChange(benchmark::State& state) {
    const fs::path file = benchFolder() / "save.plist";
    vm::Defaults defaults(file);
    for (const auto& [key, value] : keys(state.range(0)))
        defaults.set(key, value);
    defaults.flush();
    for (auto _ : state) {
        defaults.set("key0", static_cast<long long>(state.iterations()));
        defaults.flush();
    }
    state.SetComplexityN(state.range(0));
    fs::remove_all(file.parent_path());
}
BENCHMARK(BM_SaveAfterOneChange)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_LoadAtStart(benchmark::State& state) {
    const fs::path file = benchFolder() / "load.plist";
    std::ofstream(file, std::ios::binary) << vm::plist::toBinary(keys(state.range(0)));
    for (auto _ : state) {
        vm::Defaults defaults(file);
        benchmark::DoNotOptimize(defaults.integerForKey("key1"));
    }
    state.SetComplexityN(state.range(0));
    fs::remove_all(file.parent_path());
}
BENCHMARK(BM_LoadAtStart)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// The start on a file of a million keys: put aside, nothing read. Each run puts the file back.
void BM_StartOnAMillionKeys(benchmark::State& state) {
    vm::setLogSink([](std::string_view) {});
    std::string bytes;
    for (const auto& plist : vm::test::hostilePlists()) {
        if (plist.name == "MillionKeys") bytes = plist.bytes();
    }
    const fs::path file = benchFolder() / "million.plist";
    for (auto _ : state) {
        state.PauseTiming();
        std::ofstream(file, std::ios::binary) << bytes;
        state.ResumeTiming();
        vm::Defaults defaults(file);
        benchmark::DoNotOptimize(defaults.fileKeptAside());
    }
    vm::setLogSink({});
    fs::remove_all(file.parent_path());
}
BENCHMARK(BM_StartOnAMillionKeys)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
