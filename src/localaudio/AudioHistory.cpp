// The ring-buffer helpers and the scrolling and rolling histories of AudioUtilities.
#include "localaudio/AudioUtilities.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace vm {

bool AudioUtilities::circularBuffer(RingBuffer* ring, std::uint32_t size) {
    return RingBufferInit(ring, size);
}

void AudioUtilities::appendDataToCircularBuffer(RingBuffer* ring, const AudioBufferList* list) {
    if (!list || list->mNumberBuffers == 0 || !list->mBuffers[0].mData) {
        return;
    }
    RingBufferProduceBytes(ring, list->mBuffers[0].mData, list->mBuffers[0].mDataByteSize);
}

void AudioUtilities::freeCircularBuffer(RingBuffer* ring) {
    RingBufferClear(ring);
    RingBufferCleanup(ring);
}

void AudioUtilities::appendBufferAndShift(const float* buffer, int bufferSize, float* scrollHistory,
                                          int scrollHistorySize) {
    if (bufferSize <= 0 || scrollHistorySize <= 0) {
        return;
    }
    if (bufferSize >= scrollHistorySize) {
        // Only the newest values fit.
        std::memcpy(scrollHistory, buffer + (bufferSize - scrollHistorySize),
                    sizeof(float) * std::size_t(scrollHistorySize));
        return;
    }
    const int kept = scrollHistorySize - bufferSize;
    std::memmove(scrollHistory, scrollHistory + bufferSize, sizeof(float) * std::size_t(kept));
    std::memcpy(scrollHistory + kept, buffer, sizeof(float) * std::size_t(bufferSize));
}

void AudioUtilities::appendValue(float value, float* scrollHistory, int scrollHistorySize) {
    appendBufferAndShift(&value, 1, scrollHistory, scrollHistorySize);
}

void AudioUtilities::updateScrollHistory(float** scrollHistory, int length, int* index,
                                         const float* buffer, int bufferSize,
                                         bool isResolutionChanging) {
    if (!*scrollHistory) {
        *scrollHistory = static_cast<float*>(std::calloc(kScrollHistoryLength, sizeof(float)));
    }
    if (isResolutionChanging) {
        return;
    }
    // The history holds kScrollHistoryLength values; a longer length is not honoured.
    length = std::min(length, kScrollHistoryLength);
    const float level = rms(buffer, bufferSize);
    if (*index < length) {
        (*scrollHistory)[*index] = level;
        ++*index;
    } else {
        appendValue(level, *scrollHistory, length);
    }
}

void AudioUtilities::freeScrollHistory(float* scrollHistory) { std::free(scrollHistory); }

HistoryInfo* AudioUtilities::historyInfoWithDefaultLength(int defaultLength, int maximumLength) {
    if (maximumLength <= 0) {
        return nullptr;
    }
    auto* info = new HistoryInfo;
    info->maximumLength = maximumLength;
    info->bufferSize = std::clamp(defaultLength, 0, maximumLength);
    info->buffer = static_cast<float*>(std::calloc(std::size_t(maximumLength), sizeof(float)));
    const auto bytes = std::uint32_t(maximumLength) * std::uint32_t(sizeof(float));
    if (!info->buffer || !RingBufferInit(&info->circularBuffer, bytes)) {
        std::free(info->buffer);
        delete info;
        return nullptr;
    }
    std::uint32_t space = 0;
    void* head = RingBufferHead(&info->circularBuffer, &space);
    std::memset(head, 0, bytes);
    RingBufferProduce(&info->circularBuffer, bytes);
    return info;
}

void AudioUtilities::appendBuffer(const float* buffer, std::uint32_t bufferSize,
                                  HistoryInfo* info) {
    if (bufferSize == 0 || !info) {
        return;
    }
    RingBuffer* ring = &info->circularBuffer;
    RingBufferProduceBytes(ring, buffer, bufferSize * std::uint32_t(sizeof(float)));
    const auto windowBytes = std::uint32_t(info->bufferSize) * std::uint32_t(sizeof(float));
    std::uint32_t available = 0;
    void* tail = RingBufferTail(ring, &available);
    if (tail) {
        std::memcpy(info->buffer, tail, std::min(windowBytes, available));
    }
    if (available >= windowBytes) {
        RingBufferConsume(ring, available - windowBytes);
    }
}

void AudioUtilities::appendBufferRMS(const float* buffer, std::uint32_t bufferSize,
                                     HistoryInfo* info) {
    float level = rms(buffer, int(bufferSize));
    if (std::isnan(level)) {
        level = 0;
    }
    appendBuffer(&level, 1, info);
}

void AudioUtilities::clearHistoryInfo(HistoryInfo* info) {
    std::memset(info->buffer, 0, sizeof(float) * std::size_t(info->bufferSize));
    RingBufferClear(&info->circularBuffer);
}

void AudioUtilities::freeHistoryInfo(HistoryInfo* info) {
    if (!info) {
        return;
    }
    RingBufferCleanup(&info->circularBuffer);
    std::free(info->buffer);
    delete info;
}

}  // namespace vm
