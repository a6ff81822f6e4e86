// The cost of moving work between queues: one async hop onto a serial queue, one onto the main
// queue (drained by this thread, as the GUI thread drains it), and one uncontended sync.
#include "platform/core/DispatchQueue.h"
#include "platform/core/DispatchSemaphore.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

namespace {

void AsyncHopSerialQueue(benchmark::State& state) {
    auto queue = vm::DispatchQueue::serial("com.velmorasoftware.vmsdr.bench");
    vm::DispatchSemaphore done;
    for (auto _ : state) {
        queue->async([&] { done.signal(); });
        done.wait();
    }
}
BENCHMARK(AsyncHopSerialQueue);

// Throughput: a batch of tasks queued back to back, then one wait for the last.
void AsyncBatchSerialQueue(benchmark::State& state) {
    auto queue = vm::DispatchQueue::serial("com.velmorasoftware.vmsdr.bench-batch");
    vm::DispatchSemaphore done;
    std::atomic<long> counter{0};
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            queue->async([&] { counter.fetch_add(1, std::memory_order_relaxed); });
        }
        queue->async([&] { done.signal(); });
        done.wait();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(AsyncBatchSerialQueue);

void AsyncHopMainQueue(benchmark::State& state) {
    // Posted and drained on this thread, as the event loop drains it.
    std::atomic<long> ran{0};
    long posted = 0;
    for (auto _ : state) {
        vm::DispatchQueue::main()->async([&] { ran.fetch_add(1, std::memory_order_relaxed); });
        ++posted;
        while (ran.load(std::memory_order_relaxed) < posted) {
            vm::DispatchQueue::drainMain();
        }
    }
}
BENCHMARK(AsyncHopMainQueue);

void UncontendedSync(benchmark::State& state) {
    auto queue = vm::DispatchQueue::serial("com.velmorasoftware.vmsdr.bench-sync");
    int value = 0;
    for (auto _ : state) {
        queue->sync([&] { ++value; });
    }
    benchmark::DoNotOptimize(value);
}
BENCHMARK(UncontendedSync);

}  // namespace

BENCHMARK_MAIN();
