#pragma once
// A unit that converts what it pulls from input bus 0 (in the input scope's format) to the
// output scope's format, sample rate included.
#include "platform/audio/AudioConverter.h"
#include "platform/audio/AudioUnit.h"

#include <vector>

namespace vm {

class ConverterUnit : public AudioUnit {
public:
    ConverterUnit() : AudioUnit(AudioUnitKind::Converter) {}

    // Input scope, element 0: what the unit pulls; output scope, element 0: what it renders.
    // Once both are set a converter between them is made; a pair it cannot convert is refused.
    OSStatus setStreamFormat(AudioUnitScope scope, std::uint32_t element,
                             const AudioStreamBasicDescription& format) override;

protected:
    OSStatus renderBus(AudioUnitRenderActionFlags* ioActionFlags, const AudioTimeStamp& timeStamp,
                       std::uint32_t bus, std::uint32_t frames, AudioBufferList* ioData) override;

private:
    static constexpr std::uint32_t kPullFrames = 1024;

    std::unique_ptr<AudioConverter> converter_;
    std::vector<std::vector<std::uint8_t>> pullData_;  // one per input buffer, kPullFrames each
    std::vector<std::uint8_t> pullList_;
    std::uint32_t inputBytesPerFrame_ = 0;
};

}  // namespace vm
