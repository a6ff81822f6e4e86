#pragma once
// Whole audio buffer lists stored in a RingBuffer, one record each: a time stamp, the record's
// total length, the list with its buffer descriptors, then each buffer's data at a 16-byte
// boundary. Records are dequeued by frame count; a record taken in part shrinks in place.
#include "localaudio/RingBuffer.h"
#include "platform/audio/AudioTypes.h"

#include <cstddef>
#include <cstdint>

namespace vm {

struct RingBufferAudioBufferListRecord {
    AudioTimeStamp timestamp;
    std::uint32_t totalLength;  // the whole record, data and alignment included
    std::uint32_t padding;
    AudioBufferList bufferList;  // followed by its further descriptors
};
static_assert(offsetof(RingBufferAudioBufferListRecord, totalLength) == 64);
static_assert(offsetof(RingBufferAudioBufferListRecord, bufferList) == 72);
static_assert(sizeof(RingBufferAudioBufferListRecord) == 96);

// Frame count meaning "the whole first buffer of the source".
constexpr std::uint32_t kRingBufferWholeBuffer = 0xFFFFFFFFu;

// Producer: reserves at the head, without producing it, a record for `numberOfBuffers` buffers of
// `bytesPerBuffer` bytes each. Null when it does not fit.
AudioBufferList* RingBufferPrepareEmptyAudioBufferList(RingBuffer* ring,
                                                       std::uint32_t numberOfBuffers,
                                                       std::uint32_t bytesPerBuffer);
// Producer: produces the record last prepared (its length taken from where its data ends).
void RingBufferProduceAudioBufferList(RingBuffer* ring);
// Producer: appends a copy of `frames` frames of `source` as one record. True when stored or when
// there was nothing to store; false when it does not fit or the source is unusable.
bool RingBufferCopyAudioBufferList(RingBuffer* ring, const AudioBufferList* source,
                                   std::uint32_t frames, const AudioStreamBasicDescription& format);
// Consumer: takes up to *ioFrames frames from the oldest records into `destination` (or drops
// them when it is null); on return *ioFrames is the number taken. Never writes past the byte
// sizes of the destination's buffers.
void RingBufferDequeueBufferListFrames(RingBuffer* ring, std::uint32_t* ioFrames,
                                       AudioBufferList* destination,
                                       const AudioStreamBasicDescription& format);
// Consumer: the frames held in all records.
std::uint32_t RingBufferPeekFrames(RingBuffer* ring, const AudioStreamBasicDescription& format);

}  // namespace vm
