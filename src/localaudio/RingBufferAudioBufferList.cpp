#include "localaudio/RingBufferAudioBufferList.h"

#include "platform/core/Log.h"

#include <algorithm>
#include <cstring>

namespace vm {

namespace {

constexpr std::uintptr_t align16(std::uintptr_t v) { return (v + 15) & ~std::uintptr_t(15); }

std::uint32_t headerSize(std::uint32_t buffers) {
    return std::uint32_t(offsetof(RingBufferAudioBufferListRecord, bufferList) +
                         audioBufferListSize(buffers));
}

// The record at the tail, when one is held and looks whole.
RingBufferAudioBufferListRecord* tailRecord(RingBuffer* ring, std::uint32_t* held) {
    void* tail = RingBufferTail(ring, held);
    if (!tail) {
        return nullptr;
    }
    auto* record = static_cast<RingBufferAudioBufferListRecord*>(tail);
    if (*held < sizeof(RingBufferAudioBufferListRecord) || record->totalLength > *held ||
        record->totalLength < headerSize(record->bufferList.mNumberBuffers)) {
        log("RingBufferDequeueBufferListFrames: malformed record; ring emptied");
        RingBufferClear(ring);
        return nullptr;
    }
    return record;
}

}  // namespace

AudioBufferList* RingBufferPrepareEmptyAudioBufferList(RingBuffer* ring,
                                                       std::uint32_t numberOfBuffers,
                                                       std::uint32_t bytesPerBuffer) {
    std::uint32_t available = 0;
    void* head = RingBufferHead(ring, &available);
    if (!head || numberOfBuffers == 0) {
        return nullptr;
    }
    const std::uint64_t header = headerSize(numberOfBuffers);
    if (header > available) {
        return nullptr;
    }
    const auto start = reinterpret_cast<std::uintptr_t>(head);
    std::uint64_t end = header;
    for (std::uint32_t b = 0; b < numberOfBuffers; ++b) {
        end = align16(start + end) - start + bytesPerBuffer;
        if (end > available) {
            return nullptr;
        }
    }
    auto* record = static_cast<RingBufferAudioBufferListRecord*>(head);
    std::memset(record, 0, header);
    record->bufferList.mNumberBuffers = numberOfBuffers;
    std::uint64_t at = header;
    for (std::uint32_t b = 0; b < numberOfBuffers; ++b) {
        at = align16(start + at) - start;
        audioBuffers(&record->bufferList)[b] =
            AudioBuffer{1, bytesPerBuffer, static_cast<std::uint8_t*>(head) + at};
        at += bytesPerBuffer;
    }
    record->totalLength = std::uint32_t(align16(end));
    return &record->bufferList;
}

void RingBufferProduceAudioBufferList(RingBuffer* ring) {
    std::uint32_t available = 0;
    void* head = RingBufferHead(ring, &available);
    if (!head) {
        return;
    }
    auto* record = static_cast<RingBufferAudioBufferListRecord*>(head);
    const AudioBufferList& list = record->bufferList;
    const AudioBuffer& last = audioBuffers(&list)[list.mNumberBuffers - 1];
    const auto end = static_cast<std::uint8_t*>(last.mData) + last.mDataByteSize;
    const auto calculatedLength =
        std::uint32_t(align16(std::uintptr_t(end - static_cast<std::uint8_t*>(head))));
    if (list.mBuffers[0].mDataByteSize == 0) {
        log("RingBufferProduceAudioBufferList: block->bufferList.mBuffers[0].mDataByteSize > 0");
        return;
    }
    if (calculatedLength > record->totalLength || calculatedLength > available) {
        log("RingBufferProduceAudioBufferList: calculatedLength <= block->totalLength && "
            "calculatedLength <= availableBytes");
        return;
    }
    record->totalLength = calculatedLength;
    RingBufferProduce(ring, calculatedLength);
}

bool RingBufferCopyAudioBufferList(RingBuffer* ring, const AudioBufferList* source,
                                   std::uint32_t frames,
                                   const AudioStreamBasicDescription& format) {
    if (frames == 0) {
        return true;
    }
    if (!source || source->mNumberBuffers == 0) {
        return false;
    }
    std::uint64_t bytes = frames == kRingBufferWholeBuffer
                              ? source->mBuffers[0].mDataByteSize
                              : std::uint64_t(frames) * format.mBytesPerFrame;
    if (bytes == 0) {
        return true;
    }
    // Never read past a source buffer.
    for (std::uint32_t b = 0; b < source->mNumberBuffers; ++b) {
        const AudioBuffer& buffer = audioBuffers(source)[b];
        if (!buffer.mData) {
            return false;
        }
        bytes = std::min<std::uint64_t>(bytes, buffer.mDataByteSize);
    }
    if (bytes == 0 || bytes > ring->length) {
        return bytes == 0;
    }
    AudioBufferList* list =
        RingBufferPrepareEmptyAudioBufferList(ring, source->mNumberBuffers, std::uint32_t(bytes));
    if (!list) {
        return false;
    }
    for (std::uint32_t b = 0; b < source->mNumberBuffers; ++b) {
        std::memcpy(audioBuffers(list)[b].mData, audioBuffers(source)[b].mData, bytes);
    }
    RingBufferProduceAudioBufferList(ring);
    return true;
}

void RingBufferDequeueBufferListFrames(RingBuffer* ring, std::uint32_t* ioFrames,
                                       AudioBufferList* destination,
                                       const AudioStreamBasicDescription& format) {
    const std::uint32_t bytesPerFrame = format.mBytesPerFrame;
    if (!ioFrames || bytesPerFrame == 0) {
        if (ioFrames) {
            *ioFrames = 0;
        }
        return;
    }
    std::uint64_t wanted = std::uint64_t(*ioFrames) * bytesPerFrame;
    if (destination) {
        for (std::uint32_t b = 0; b < destination->mNumberBuffers; ++b) {
            wanted = std::min<std::uint64_t>(wanted, audioBuffers(destination)[b].mDataByteSize);
        }
        wanted -= wanted % bytesPerFrame;
    }
    std::uint64_t delivered = 0;
    std::uint32_t held = 0;
    while (delivered < wanted) {
        RingBufferAudioBufferListRecord* record = tailRecord(ring, &held);
        if (!record) {
            break;
        }
        AudioBufferList& list = record->bufferList;
        const std::uint32_t take = std::uint32_t(
            std::min<std::uint64_t>(list.mBuffers[0].mDataByteSize, wanted - delivered));
        if (destination) {
            const std::uint32_t count = std::min(list.mNumberBuffers, destination->mNumberBuffers);
            for (std::uint32_t b = 0; b < count; ++b) {
                std::memcpy(
                    static_cast<std::uint8_t*>(audioBuffers(destination)[b].mData) + delivered,
                    audioBuffers(&list)[b].mData, take);
            }
        }
        delivered += take;
        if (take < list.mBuffers[0].mDataByteSize) {
            // Keep the rest: the buffers start later, the header moves up by whole 16-byte steps.
            for (std::uint32_t b = 0; b < list.mNumberBuffers; ++b) {
                AudioBuffer& buffer = audioBuffers(&list)[b];
                buffer.mData = static_cast<std::uint8_t*>(buffer.mData) + take;
                buffer.mDataByteSize -= std::min(take, buffer.mDataByteSize);
            }
            const std::uint32_t takenFrames = take / bytesPerFrame;
            if (record->timestamp.mFlags & kAudioTimeStampSampleTimeValid) {
                record->timestamp.mSampleTime += takenFrames;
            }
            if ((record->timestamp.mFlags & kAudioTimeStampHostTimeValid) &&
                format.mSampleRate > 0) {
                record->timestamp.mHostTime += std::uint64_t(
                    double(takenFrames) / format.mSampleRate * audioHostTicksPerSecond);
            }
            const std::uint32_t shift = take & ~15u;
            if (shift > 0) {
                const std::uint32_t header = headerSize(list.mNumberBuffers);
                const std::uint32_t total = record->totalLength - shift;
                auto* moved = reinterpret_cast<std::uint8_t*>(record) + shift;
                std::memmove(moved, record, header);
                reinterpret_cast<RingBufferAudioBufferListRecord*>(moved)->totalLength = total;
                RingBufferConsume(ring, shift);
            }
        } else {
            RingBufferConsume(ring, record->totalLength);
        }
    }
    *ioFrames = std::uint32_t(delivered / bytesPerFrame);
}

std::uint32_t RingBufferPeekFrames(RingBuffer* ring, const AudioStreamBasicDescription& format) {
    if (format.mBytesPerFrame == 0) {
        return 0;
    }
    std::uint32_t held = 0;
    auto* tail = static_cast<std::uint8_t*>(RingBufferTail(ring, &held));
    std::uint64_t bytes = 0;
    for (std::uint32_t offset = 0;
         tail && offset + sizeof(RingBufferAudioBufferListRecord) <= held;) {
        const auto* record =
            reinterpret_cast<const RingBufferAudioBufferListRecord*>(tail + offset);
        if (record->totalLength == 0) {
            break;
        }
        bytes += record->bufferList.mBuffers[0].mDataByteSize;
        offset += record->totalLength;
    }
    return std::uint32_t(bytes / format.mBytesPerFrame);
}

}  // namespace vm
