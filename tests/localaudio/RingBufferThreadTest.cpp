// One producer thread and one consumer thread on one ring, as the audio threads use it: every
// value arrives once, in order, whole.
#include "localaudio/RingBuffer.h"
#include "localaudio/RingBufferAudioBufferList.h"

#include "platform/audio/AudioTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

namespace vm {
namespace {

TEST(RingBufferThreadTest, BytesCrossBetweenThreadsInOrder) {
    RingBuffer ring;
    ASSERT_TRUE(RingBufferInit(&ring, 8192));
    constexpr std::uint32_t kValues = 4'000'000;
    std::thread producer([&] {
        std::uint32_t next = 0;
        std::uint32_t burst = 1;
        while (next < kValues) {
            std::uint32_t space = 0;
            auto* head = static_cast<std::uint32_t*>(RingBufferHead(&ring, &space));
            const std::uint32_t n = std::min({space / 4, burst, kValues - next});
            if (n == 0) {
                std::this_thread::yield();
                continue;
            }
            for (std::uint32_t i = 0; i < n; ++i) {
                head[i] = next++;
            }
            RingBufferProduce(&ring, n * 4);
            burst = burst % 997 + 1;
        }
    });
    std::uint32_t expected = 0;
    std::uint32_t chunk = 1;
    bool inOrder = true;
    while (expected < kValues && inOrder) {
        std::uint32_t held = 0;
        const auto* tail = static_cast<const std::uint8_t*>(RingBufferTail(&ring, &held));
        const std::uint32_t n = std::min(held / 4, chunk);
        if (n == 0) {
            std::this_thread::yield();
            continue;
        }
        for (std::uint32_t i = 0; i < n; ++i) {
            std::uint32_t value;
            std::memcpy(&value, tail + 4 * i, 4);
            inOrder = inOrder && value == expected++;
        }
        RingBufferConsume(&ring, n * 4);
        chunk = chunk % 641 + 1;
    }
    producer.join();
    EXPECT_TRUE(inOrder) << "value " << expected - 1 << " out of place";
    EXPECT_EQ(0, ring.fillCount.load());
    RingBufferCleanup(&ring);
}

TEST(RingBufferThreadTest, RecordsCrossBetweenThreadsFrameByFrame) {
    // Stereo float in two buffers; frame f carries f on the left and -f on the right.
    RingBuffer ring;
    ASSERT_TRUE(RingBufferInit(&ring, 28800));
    const AudioStreamBasicDescription format = test::floatNonInterleaved(24000, 2);
    constexpr std::uint32_t kFrames = 2'000'000;
    std::thread producer([&] {
        test::OwnedBufferList block(2, 700 * 4);
        std::uint32_t next = 0;
        std::uint32_t size = 37;
        while (next < kFrames) {
            const std::uint32_t n = std::min(size, kFrames - next);
            for (std::uint32_t i = 0; i < n; ++i) {
                block.samples<float>(0)[i] = float(next + i);
                block.samples<float>(1)[i] = -float(next + i);
            }
            if (RingBufferCopyAudioBufferList(&ring, block.list(), n, format)) {
                next += n;
                size = size * 7 % 691 + 1;
            } else {
                std::this_thread::yield();
            }
        }
    });
    test::OwnedBufferList out(2, 240 * 4);
    std::uint32_t expected = 0;
    bool whole = true;
    while (expected < kFrames && whole) {
        std::uint32_t frames = 240;
        out.list()->mBuffers[0].mDataByteSize = 240 * 4;
        audioBuffers(out.list())[1].mDataByteSize = 240 * 4;
        RingBufferDequeueBufferListFrames(&ring, &frames, out.list(), format);
        if (frames == 0) {
            std::this_thread::yield();
            continue;
        }
        for (std::uint32_t i = 0; i < frames; ++i, ++expected) {
            whole = whole && out.samples<float>(0)[i] == float(expected) &&
                    out.samples<float>(1)[i] == -float(expected);
        }
    }
    producer.join();
    EXPECT_TRUE(whole) << "frame " << expected - 1 << " out of place";
    EXPECT_EQ(kFrames, expected);
    EXPECT_EQ(0, ring.fillCount.load());
    RingBufferCleanup(&ring);
}

}  // namespace
}  // namespace vm
