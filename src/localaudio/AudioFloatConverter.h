#pragma once
// Converts audio of any linear PCM format to 32-bit float, one buffer per channel, into the
// caller's per-channel float buffers. Any number of frames is converted, in steps of the
// converter's own buffer (packetsPerBuffer frames); the caller's float buffers must hold the
// frames asked for. Used from one thread at a time; nothing is allocated after construction.
#include "platform/audio/AudioConverter.h"
#include "platform/audio/AudioTypes.h"

#include <memory>
#include <vector>

namespace vm {

struct AudioFloatConverterInfo {
    std::unique_ptr<AudioConverter> converterRef;
    AudioBufferList* floatAudioBufferList = nullptr;
    AudioStreamBasicDescription inputFormat{};
    AudioStreamBasicDescription floatFormat{};
    AudioStreamPacketDescription* packetDescriptions = nullptr;
    std::uint32_t packetsPerBuffer = 0;
    std::vector<std::uint8_t> sourceView;  // a list over a part of the caller's source
};

class AudioFloatConverter {
public:
    explicit AudioFloatConverter(const AudioStreamBasicDescription& inputFormat);
    ~AudioFloatConverter();
    AudioFloatConverter(const AudioFloatConverter&) = delete;
    AudioFloatConverter& operator=(const AudioFloatConverter&) = delete;

    static std::shared_ptr<AudioFloatConverter> converterWithInputFormat(
        const AudioStreamBasicDescription& inputFormat);

    void convertDataFromAudioBufferList(const AudioBufferList* audioBufferList,
                                        std::uint32_t frames, float** buffers);
    void convertDataFromAudioBufferList(const AudioBufferList* audioBufferList,
                                        std::uint32_t frames, float** buffers,
                                        AudioStreamPacketDescription* packetDescriptions);

    AudioStreamBasicDescription inputFormat() const { return info_->inputFormat; }
    AudioStreamBasicDescription floatFormat() const { return info_->floatFormat; }
    AudioFloatConverterInfo* info() const { return info_.get(); }

private:
    std::unique_ptr<AudioFloatConverterInfo> info_;
};

}  // namespace vm
