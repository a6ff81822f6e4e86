#pragma once
// A unit that converts what it pulls from input bus 0 (in the input scope's format) to the
// output scope's format, sample rate included.
#include "platform/audio/AudioConverter.h"
#include "platform/audio/AudioUnit.h"

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
    std::unique_ptr<AudioConverter> converter_;
    AudioBufferStorage pulled_;  // input for the converter
};

}  // namespace vm
