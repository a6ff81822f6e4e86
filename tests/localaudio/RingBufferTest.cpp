#include "localaudio/RingBuffer.h"
#include "localaudio/RingBufferAudioBufferList.h"

#include "platform/audio/AudioTestSupport.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <numeric>

namespace vm {
namespace {

class RingBufferTest : public ::testing::Test {
protected:
    void TearDown() override { RingBufferCleanup(&ring); }
    RingBuffer ring;
};

TEST_F(RingBufferTest, LengthRoundsUpToPagesAndZeroIsRefused) {
    test::LogCapture log;
    EXPECT_FALSE(RingBufferInit(&ring, 0));
    EXPECT_TRUE(log.contains("length > 0"));
    ASSERT_TRUE(RingBufferInit(&ring, 100000));
    const auto page = std::uint32_t(sysconf(_SC_PAGESIZE));
    EXPECT_EQ((100000 + page - 1) / page * page, ring.length);
    if (page == 4096) {
        EXPECT_EQ(102400u, ring.length);
    }
}

TEST_F(RingBufferTest, FillsExactlyAndWrapsThroughTheSecondMapping) {
    ASSERT_TRUE(RingBufferInit(&ring, 1));
    const std::uint32_t length = ring.length;
    std::uint32_t space = 0;
    ASSERT_NE(nullptr, RingBufferHead(&ring, &space));
    EXPECT_EQ(length, space);
    RingBufferProduce(&ring, length);
    EXPECT_EQ(nullptr, RingBufferHead(&ring, &space));
    EXPECT_EQ(0u, space);
    {
        test::LogCapture log;
        RingBufferProduce(&ring, 1);  // one byte too many is refused
        EXPECT_TRUE(log.contains("buffer->fillCount <= buffer->length"));
        EXPECT_EQ(std::int32_t(length), ring.fillCount.load());
    }
    // Empty it, then move head and tail to 20 bytes before the end.
    RingBufferConsume(&ring, length);
    RingBufferProduce(&ring, length - 20);
    RingBufferConsume(&ring, length - 20);
    ASSERT_EQ(length - 20, ring.head);

    std::uint8_t bytes[60];
    std::iota(bytes, bytes + 60, 1);
    ASSERT_TRUE(RingBufferProduceBytes(&ring, bytes, 60));
    const auto* storage = static_cast<const std::uint8_t*>(ring.buffer);
    EXPECT_EQ(0, std::memcmp(storage + length - 20, bytes, 20));
    EXPECT_EQ(0, std::memcmp(storage, bytes + 20, 40));
    std::uint32_t held = 0;
    const auto* tail = static_cast<const std::uint8_t*>(RingBufferTail(&ring, &held));
    EXPECT_EQ(60u, held);
    EXPECT_EQ(0, std::memcmp(tail, bytes, 60));  // one contiguous run across the wrap
    EXPECT_EQ(40u, ring.head);
}

TEST_F(RingBufferTest, ConsumingNeverGoesBelowEmptyAndClearsWaitForTheConsumer) {
    ASSERT_TRUE(RingBufferInit(&ring, 4096));
    RingBufferClear(&ring);  // nothing held: nothing happens
    EXPECT_EQ(0, ring.fillCount.load());
    EXPECT_EQ(0u, ring.tail);

    RingBufferProduce(&ring, 100);
    RingBufferConsume(&ring, 150);
    EXPECT_EQ(0, ring.fillCount.load());
    EXPECT_EQ(100u, ring.tail);  // the tail moved by what was held, not by what was asked

    RingBufferProduce(&ring, 64);
    RingBufferRequestClear(&ring);  // the producer's wish
    EXPECT_EQ(64, ring.fillCount.load());
    EXPECT_TRUE(RingBufferClearIfRequested(&ring));  // carried out by the consumer
    EXPECT_EQ(0, ring.fillCount.load());
    EXPECT_FALSE(RingBufferClearIfRequested(&ring));
}

class RingBufferRecordTest : public RingBufferTest {
protected:
    void SetUp() override { ASSERT_TRUE(RingBufferInit(&ring, 16384)); }
    const AudioStreamBasicDescription format = test::floatNonInterleaved(24000, 1);
};

TEST_F(RingBufferRecordTest, CopiedListIsOneAlignedRecord) {
    test::OwnedBufferList source(1, 512 * 4);
    std::iota(source.samples<float>(0), source.samples<float>(0) + 512, 0.0f);
    ASSERT_TRUE(RingBufferCopyAudioBufferList(&ring, source.list(), 512, format));
    EXPECT_EQ(2144, ring.fillCount.load());  // 96 + 2048, a multiple of 16
    const auto* record = static_cast<const RingBufferAudioBufferListRecord*>(ring.buffer);
    EXPECT_EQ(2144u, record->totalLength);
    EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(record->bufferList.mBuffers[0].mData) % 16);
    EXPECT_EQ(512u, RingBufferPeekFrames(&ring, format));

    // Nothing to store is success; a source with fewer bytes than frames asked is read no further.
    EXPECT_TRUE(RingBufferCopyAudioBufferList(&ring, source.list(), 0, format));
    test::OwnedBufferList small(1, 10 * 4);
    ASSERT_TRUE(RingBufferCopyAudioBufferList(&ring, small.list(), 500, format));
    EXPECT_EQ(522u, RingBufferPeekFrames(&ring, format));
}

TEST_F(RingBufferRecordTest, PartialDequeueShrinksTheRecordInPlace) {
    test::OwnedBufferList source(1, 512 * 4);
    std::iota(source.samples<float>(0), source.samples<float>(0) + 512, 0.0f);
    ASSERT_TRUE(RingBufferCopyAudioBufferList(&ring, source.list(), 512, format));

    test::OwnedBufferList out(1, 240 * 4);
    std::uint32_t frames = 240;
    RingBufferDequeueBufferListFrames(&ring, &frames, out.list(), format);
    EXPECT_EQ(240u, frames);
    EXPECT_EQ(0.0f, out.samples<float>(0)[0]);
    EXPECT_EQ(239.0f, out.samples<float>(0)[239]);
    EXPECT_EQ(960u, ring.tail);  // the header moved forward by 960 bytes (240 × 4, whole 16s)
    EXPECT_EQ(2144 - 960, ring.fillCount.load());
    EXPECT_EQ(272u, RingBufferPeekFrames(&ring, format));

    // A second record; one dequeue spans both and stops at what is held.
    ASSERT_TRUE(RingBufferCopyAudioBufferList(&ring, source.list(), 100, format));
    test::OwnedBufferList rest(1, 400 * 4);
    frames = 400;
    RingBufferDequeueBufferListFrames(&ring, &frames, rest.list(), format);
    EXPECT_EQ(372u, frames);
    EXPECT_EQ(240.0f, rest.samples<float>(0)[0]);
    EXPECT_EQ(511.0f, rest.samples<float>(0)[271]);
    EXPECT_EQ(0.0f, rest.samples<float>(0)[272]);
    EXPECT_EQ(99.0f, rest.samples<float>(0)[371]);
    EXPECT_EQ(0, ring.fillCount.load());
}

TEST_F(RingBufferRecordTest, DequeueWritesNoFurtherThanTheDestinationHolds) {
    test::OwnedBufferList source(2, 300 * 4);
    ASSERT_TRUE(RingBufferCopyAudioBufferList(&ring, source.list(), 300, format));
    test::OwnedBufferList out(2, 100 * 4);
    std::uint32_t frames = 300;
    RingBufferDequeueBufferListFrames(&ring, &frames, out.list(), format);
    EXPECT_EQ(100u, frames);
    EXPECT_EQ(200u, RingBufferPeekFrames(&ring, format));
    frames = 500;
    RingBufferDequeueBufferListFrames(&ring, &frames, nullptr, format);  // dropped
    EXPECT_EQ(200u, frames);
    EXPECT_EQ(0, ring.fillCount.load());
}

TEST_F(RingBufferRecordTest, PreparedListNeedsRoomForItsAlignedBuffers) {
    std::uint32_t space = 0;
    RingBufferHead(&ring, &space);
    EXPECT_EQ(nullptr, RingBufferPrepareEmptyAudioBufferList(&ring, 2, space / 2));
    AudioBufferList* list = RingBufferPrepareEmptyAudioBufferList(&ring, 2, 100);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(2u, list->mNumberBuffers);
    const auto* start = static_cast<const std::uint8_t*>(ring.buffer);
    EXPECT_EQ(112, static_cast<const std::uint8_t*>(list->mBuffers[0].mData) - start);  // 96 + 16
    EXPECT_EQ(224,
              static_cast<const std::uint8_t*>(audioBuffers(list)[1].mData) - start);  // 212 → 224
    EXPECT_EQ(0, ring.fillCount.load());  // prepared, not produced
    RingBufferProduceAudioBufferList(&ring);
    EXPECT_EQ(336, ring.fillCount.load());
}

}  // namespace
}  // namespace vm
