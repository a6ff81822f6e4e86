#pragma once
// A waveform summary as values: one float buffer per channel, all of one length. The buffers
// are its own copies, freed with it.
#include <cstdint>
#include <memory>

namespace vm {

class AudioFloatData {
public:
    // Copies `bufferSize` values of each of the channels' buffers.
    AudioFloatData(std::int32_t numberOfChannels, float* const* buffers, std::uint32_t bufferSize);
    ~AudioFloatData();
    AudioFloatData(const AudioFloatData&) = delete;
    AudioFloatData& operator=(const AudioFloatData&) = delete;

    static std::shared_ptr<AudioFloatData> dataWithNumberOfChannels(std::int32_t numberOfChannels,
                                                                    float* const* buffers,
                                                                    std::uint32_t bufferSize);

    std::int32_t numberOfChannels() const { return numberOfChannels_; }
    std::uint32_t bufferSize() const { return bufferSize_; }
    float** buffers() const { return buffers_; }
    // Null for a channel the data does not have.
    float* bufferForChannel(std::int32_t channel) const;

private:
    std::int32_t numberOfChannels_;
    std::uint32_t bufferSize_;
    float** buffers_;
};

}  // namespace vm
