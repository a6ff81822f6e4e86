#include "localaudio/AudioFloatData.h"

#include "localaudio/AudioUtilities.h"

#include <algorithm>

namespace vm {

AudioFloatData::AudioFloatData(std::int32_t numberOfChannels, float* const* buffers,
                               std::uint32_t bufferSize)
    : numberOfChannels_(std::max(numberOfChannels, 0)),
      bufferSize_(bufferSize),
      buffers_(AudioUtilities::floatBuffersWithNumberOfFrames(bufferSize,
                                                              std::uint32_t(numberOfChannels_))) {
    for (std::int32_t c = 0; c < numberOfChannels_; ++c) {
        std::copy_n(buffers[c], bufferSize, buffers_[c]);
    }
}

AudioFloatData::~AudioFloatData() {
    AudioUtilities::freeFloatBuffers(buffers_, std::uint32_t(numberOfChannels_));
}

std::shared_ptr<AudioFloatData> AudioFloatData::dataWithNumberOfChannels(
    std::int32_t numberOfChannels, float* const* buffers, std::uint32_t bufferSize) {
    return std::make_shared<AudioFloatData>(numberOfChannels, buffers, bufferSize);
}

float* AudioFloatData::bufferForChannel(std::int32_t channel) const {
    return channel >= 0 && channel < numberOfChannels_ ? buffers_[channel] : nullptr;
}

}  // namespace vm
