// One 10 ms render step of received audio: 240 frames of 16-bit stereo at 24 kHz taken from the
// ring buffer and converted to float, one buffer per channel; beside it a plain copy of the same
// 960 bytes, and the ring traffic alone (the producer's append, the consumer's drop).
#include "localaudio/AudioFloatConverter.h"
#include "localaudio/RingBuffer.h"
#include "localaudio/RingBufferAudioBufferList.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

using namespace vm;

constexpr std::uint32_t kFrames = 240;

AudioStreamBasicDescription int16Stereo() {
    AudioStreamBasicDescription f;
    f.mSampleRate = 24000;
    f.mFormatID = kAudioFormatLinearPCM;
    f.mFormatFlags = kAudioFormatFlagIsSignedInteger | kAudioFormatFlagIsPacked;
    f.mBytesPerPacket = f.mBytesPerFrame = 4;
    f.mFramesPerPacket = 1;
    f.mChannelsPerFrame = 2;
    f.mBitsPerChannel = 16;
    return f;
}

struct Source {
    Source() : pcm(kFrames * 2), storage(audioBufferListSize(1)) {
        for (std::size_t i = 0; i < pcm.size(); ++i) {
            pcm[i] = std::int16_t(i * 97);
        }
        list()->mNumberBuffers = 1;
        list()->mBuffers[0] = AudioBuffer{2, kFrames * 4, pcm.data()};
    }
    AudioBufferList* list() { return reinterpret_cast<AudioBufferList*>(storage.data()); }
    std::vector<std::int16_t> pcm;
    std::vector<std::uint8_t> storage;
};

void BM_PlainCopy(benchmark::State& state) {
    Source source;
    std::vector<std::uint8_t> out(kFrames * 4);
    for (auto _ : state) {
        std::memcpy(out.data(), source.pcm.data(), out.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PlainCopy);

void BM_RingAppendAndDrop(benchmark::State& state) {
    Source source;
    const auto format = int16Stereo();
    RingBuffer ring;
    RingBufferInit(&ring, 28800);
    for (auto _ : state) {
        RingBufferCopyAudioBufferList(&ring, source.list(), kFrames, format);
        std::uint32_t frames = kFrames;
        RingBufferDequeueBufferListFrames(&ring, &frames, nullptr, format);
        benchmark::DoNotOptimize(frames);
    }
    RingBufferCleanup(&ring);
}
BENCHMARK(BM_RingAppendAndDrop);

void BM_RenderStep(benchmark::State& state) {
    Source source;
    const auto format = int16Stereo();
    RingBuffer ring;
    RingBufferInit(&ring, 28800);
    std::vector<std::uint8_t> pcm(kFrames * 4);
    std::vector<std::uint8_t> storage(audioBufferListSize(1));
    auto* list = reinterpret_cast<AudioBufferList*>(storage.data());
    AudioFloatConverter converter(format);
    std::vector<float> left(kFrames), right(kFrames);
    float* buffers[] = {left.data(), right.data()};
    for (auto _ : state) {
        RingBufferCopyAudioBufferList(&ring, source.list(), kFrames, format);
        list->mNumberBuffers = 1;
        list->mBuffers[0] = AudioBuffer{2, kFrames * 4, pcm.data()};
        std::uint32_t frames = kFrames;
        RingBufferDequeueBufferListFrames(&ring, &frames, list, format);
        converter.convertDataFromAudioBufferList(list, frames, buffers);
        benchmark::DoNotOptimize(left.data());
        benchmark::ClobberMemory();
    }
    RingBufferCleanup(&ring);
}
BENCHMARK(BM_RenderStep);

}  // namespace

BENCHMARK_MAIN();
