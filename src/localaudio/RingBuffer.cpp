#include "localaudio/RingBuffer.h"

#include "platform/core/Log.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vm {

namespace {

void report(int line, const char* step, int error) {
    log("{}:{}: {}: {}", __FILE__, line, step, std::strerror(error));
}

// One attempt at mapping a memory file's pages at `address` and again right after them.
void* mapTwice(std::uint32_t length, bool last) {
    const int fd = memfd_create("vm-ring-buffer", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, length) != 0) {
        if (last) {
            report(__LINE__, "Buffer allocation", errno);
        }
        if (fd >= 0) {
            close(fd);
        }
        return nullptr;
    }
    // Reserve room for both halves, then lay the file over each half.
    void* reserved =
        mmap(nullptr, std::size_t(length) * 2, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (reserved == MAP_FAILED) {
        if (last) {
            report(__LINE__, "Buffer allocation", errno);
        }
        close(fd);
        return nullptr;
    }
    auto* base = static_cast<std::uint8_t*>(reserved);
    void* lower = mmap(base, length, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_FIXED, fd, 0);
    void* upper = lower == MAP_FAILED ? MAP_FAILED
                                      : mmap(base + length, length, PROT_READ | PROT_WRITE,
                                             MAP_SHARED | MAP_FIXED, fd, 0);
    const int error = errno;
    close(fd);
    if (lower != base || upper != base + length) {
        if (last) {
            if (lower == base && upper != MAP_FAILED) {
                log("Couldn't map buffer memory to end of buffer");
            } else {
                report(__LINE__, "Remap buffer memory", error);
            }
        }
        munmap(reserved, std::size_t(length) * 2);
        return nullptr;
    }
    return base;
}

}  // namespace

bool RingBufferInit(RingBuffer* ring, std::uint32_t length) {
    if (length == 0) {
        log("RingBufferInit: length > 0");
        return false;
    }
    const auto page = std::uint64_t(sysconf(_SC_PAGESIZE));
    const std::uint64_t rounded = (std::uint64_t(length) + page - 1) / page * page;
    // Offsets and the fill count are 32-bit signed on the way; keep the ring below 1 GiB.
    if (rounded > (std::uint64_t(1) << 30)) {
        log("RingBufferInit: length {} too large", length);
        return false;
    }
    constexpr int kAttempts = 4;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        if (void* memory = mapTwice(std::uint32_t(rounded), attempt == kAttempts)) {
            ring->buffer = memory;
            ring->length = std::uint32_t(rounded);
            ring->head = ring->tail = 0;
            ring->fillCount.store(0);
            ring->clearRequested.store(false);
            return true;
        }
    }
    return false;
}

void RingBufferCleanup(RingBuffer* ring) {
    if (ring->buffer) {
        munmap(ring->buffer, std::size_t(ring->length) * 2);
    }
    ring->buffer = nullptr;
    ring->length = ring->head = ring->tail = 0;
    ring->fillCount.store(0);
    ring->clearRequested.store(false);
}

void RingBufferClear(RingBuffer* ring) {
    std::uint32_t held = 0;
    RingBufferTail(ring, &held);
    RingBufferConsume(ring, held);
}

void RingBufferRequestClear(RingBuffer* ring) {
    ring->clearRequested.store(true, std::memory_order_release);
}

bool RingBufferClearIfRequested(RingBuffer* ring) {
    if (!ring->clearRequested.exchange(false, std::memory_order_acq_rel)) {
        return false;
    }
    RingBufferClear(ring);
    return true;
}

void* RingBufferHead(RingBuffer* ring, std::uint32_t* availableBytes) {
    const std::int32_t fill = ring->fillCount.load(std::memory_order_acquire);
    const std::uint32_t available = ring->length - std::uint32_t(fill);
    *availableBytes = available;
    return available == 0 ? nullptr : static_cast<std::uint8_t*>(ring->buffer) + ring->head;
}

void RingBufferProduce(RingBuffer* ring, std::uint32_t amount) {
    const std::int32_t fill = ring->fillCount.load(std::memory_order_acquire);
    if (std::uint64_t(fill) + amount > ring->length) {
        log("RingBufferProduce: buffer->fillCount <= buffer->length");
        return;
    }
    ring->head = (ring->head + amount) % ring->length;
    ring->fillCount.fetch_add(std::int32_t(amount), std::memory_order_release);
}

bool RingBufferProduceBytes(RingBuffer* ring, const void* src, std::uint32_t length) {
    std::uint32_t space = 0;
    void* head = RingBufferHead(ring, &space);
    if (!head || space < length) {
        return false;
    }
    std::memcpy(head, src, length);
    RingBufferProduce(ring, length);
    return true;
}

void* RingBufferTail(RingBuffer* ring, std::uint32_t* availableBytes) {
    const std::int32_t fill = ring->fillCount.load(std::memory_order_acquire);
    *availableBytes = std::uint32_t(fill);
    return fill == 0 ? nullptr : static_cast<std::uint8_t*>(ring->buffer) + ring->tail;
}

void RingBufferConsume(RingBuffer* ring, std::uint32_t amount) {
    // Only the consumer lowers the count, so what it reads here cannot shrink under it.
    const auto held = std::uint32_t(ring->fillCount.load(std::memory_order_acquire));
    if (amount > held) {
        amount = held;
    }
    if (ring->length == 0 || amount == 0) {
        return;
    }
    ring->tail = (ring->tail + amount) % ring->length;
    ring->fillCount.fetch_sub(std::int32_t(amount), std::memory_order_release);
}

}  // namespace vm
