#pragma once
// A lock-free byte ring for one producer thread and one consumer thread. Its pages are mapped
// twice, back to back, so that any run of up to `length` bytes from the head or the tail is
// contiguous: a copy never splits at the wrap.
//
// The producer writes at RingBufferHead() and then calls RingBufferProduce(); the consumer reads
// at RingBufferTail() and then calls RingBufferConsume(). Only `fillCount` is shared. Emptying
// the ring is the consumer's work: a producer that wants it emptied calls
// RingBufferRequestClear(), and the consumer honours the request with
// RingBufferClearIfRequested() before it reads.
#include <atomic>
#include <cstdint>

namespace vm {

struct RingBuffer {
    void* buffer = nullptr;    // start of the first mapping
    std::uint32_t length = 0;  // usable bytes, a multiple of the page size
    std::uint32_t tail = 0;    // read offset (consumer)
    std::uint32_t head = 0;    // write offset (producer)
    std::atomic<std::int32_t> fillCount{0};
    std::atomic<bool> clearRequested{false};
};

// Rounds `length` up to whole pages and maps them twice. False (with a log line) when the length
// is 0 or too large, or the memory cannot be mapped.
bool RingBufferInit(RingBuffer* ring, std::uint32_t length);
// Unmaps the memory and zeroes the record (the record itself stays the owner's).
void RingBufferCleanup(RingBuffer* ring);

// Consumer: consumes everything held.
void RingBufferClear(RingBuffer* ring);
// Producer: asks the consumer to empty the ring before its next read.
void RingBufferRequestClear(RingBuffer* ring);
// Consumer: empties the ring if that was asked. True when it did.
bool RingBufferClearIfRequested(RingBuffer* ring);

// Producer: where to write and how many bytes are free; null when none are.
void* RingBufferHead(RingBuffer* ring, std::uint32_t* availableBytes);
// Producer: `amount` bytes written at the head are now held. Refused (logged) when it would
// exceed the length.
void RingBufferProduce(RingBuffer* ring, std::uint32_t amount);
// Producer: copies `length` bytes in when they fit whole; false otherwise.
bool RingBufferProduceBytes(RingBuffer* ring, const void* src, std::uint32_t length);

// Consumer: where to read and how many bytes are held; null when none are.
void* RingBufferTail(RingBuffer* ring, std::uint32_t* availableBytes);
// Consumer: drops `amount` bytes from the tail, never more than are held.
void RingBufferConsume(RingBuffer* ring, std::uint32_t amount);

}  // namespace vm
