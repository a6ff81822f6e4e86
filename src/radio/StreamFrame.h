#pragma once
// Decoded samples of one received audio packet, as an audio stream object hands them to its
// consumer. The frame lives for that call; `buffer` keeps the bytes that `samples` points into.
#include "platform/core/Bytes.h"

#include <memory>

namespace vm {

struct StreamFrame {
    std::shared_ptr<const Bytes> buffer;
    int numSamples = 0;
    int sizeofSample = 0;  // bytes per sample
    const void* samples = nullptr;
};

}  // namespace vm
