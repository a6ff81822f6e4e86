#pragma once
// What the Opus decoder and encoder share: the sample rate, the channel count and a serial queue
// of their own for work done later.
#include "platform/core/DispatchQueue.h"

namespace vm {

class OpusCodec {
public:
    OpusCodec(int sampleRate, int numberOfChannels);
    virtual ~OpusCodec() = default;
    OpusCodec(const OpusCodec&) = delete;
    OpusCodec& operator=(const OpusCodec&) = delete;

    int sampleRate() const { return sampleRate_; }
    int numberOfChannels() const { return numberOfChannels_; }
    const DispatchQueuePtr& processingQueue() const { return processingQueue_; }

private:
    const int sampleRate_;
    const int numberOfChannels_;
    const DispatchQueuePtr processingQueue_;
};

}  // namespace vm
