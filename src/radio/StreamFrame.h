#pragma once
// One piece of a stream handed from a stream object to its consumer: a pointer to the first
// sample inside bytes the stream object copied out of the received datagram, which the frame keeps
// alive.
#include "platform/core/Bytes.h"

#include <cstdint>
#include <memory>

namespace vm {

struct StreamFrame {
    std::shared_ptr<const Bytes> buffer;  // the bytes the samples point into
    std::int64_t numSamples = 0;
    std::int64_t sizeofSample = 0;  // bytes per sample
    const char* samples = nullptr;
};

}  // namespace vm
