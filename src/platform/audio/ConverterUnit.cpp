#include "platform/audio/ConverterUnit.h"

#include <algorithm>
#include <cstring>

namespace vm {

OSStatus ConverterUnit::setStreamFormat(AudioUnitScope scope, std::uint32_t element,
                                        const AudioStreamBasicDescription& format) {
    if (scope == AudioUnitScope::Global || element != 0) {
        return kAudioParamError;
    }
    PcmLayout layout;
    if (!pcmLayout(format, &layout)) {
        return kAudioFormatUnsupportedError;
    }
    const AudioStreamBasicDescription input =
        scope == AudioUnitScope::Input ? format : this->format(AudioUnitScope::Input, 0);
    const AudioStreamBasicDescription output =
        scope == AudioUnitScope::Output ? format : this->format(AudioUnitScope::Output, 0);
    std::unique_ptr<AudioConverter> converter;
    PcmLayout in;
    PcmLayout out;
    if (pcmLayout(input, &in) && pcmLayout(output, &out)) {
        if (OSStatus status = AudioConverter::create(input, output, &converter)) {
            return status;
        }
    }
    std::lock_guard config(configMutex_);
    AudioUnit::setStreamFormat(scope, element, format);
    converter_ = std::move(converter);
    if (converter_) {
        pulled_.allocate(in, AudioConverter::kChunk);
    }
    return 0;
}

OSStatus ConverterUnit::renderBus(AudioUnitRenderActionFlags* ioActionFlags,
                                  const AudioTimeStamp& timeStamp, std::uint32_t bus,
                                  std::uint32_t frames, AudioBufferList* ioData) {
    std::unique_lock config(configMutex_, std::try_to_lock);
    if (bus != 0 || !config || !converter_) {
        silenceBufferList(ioData);
        return config && !converter_ ? kAudioUninitializedError : 0;
    }
    // The caller's byte sizes bound what is written.
    std::uint32_t sizes[32];
    const std::uint32_t tracked = std::min<std::uint32_t>(ioData->mNumberBuffers, 32);
    for (std::uint32_t b = 0; b < tracked; ++b) {
        sizes[b] = audioBuffers(ioData)[b].mDataByteSize;
    }
    auto proc = [&](std::uint32_t* count, AudioBufferList* ioList, AudioStreamPacketDescription**) {
        return pullInputForConverter(pulled_, 0, ioActionFlags, timeStamp, count, ioList);
    };
    std::uint32_t written = frames;
    const OSStatus status = converter_->fillComplexBuffer(proc, &written, ioData, nullptr);
    // A short conversion (an error, or input that ran dry) leaves the rest silent.
    for (std::uint32_t b = 0; b < tracked; ++b) {
        AudioBuffer& buffer = audioBuffers(ioData)[b];
        const std::uint32_t full = sizes[b];
        if (buffer.mData && buffer.mDataByteSize < full) {
            std::memset(static_cast<std::uint8_t*>(buffer.mData) + buffer.mDataByteSize, 0,
                        full - buffer.mDataByteSize);
        }
        buffer.mDataByteSize = full;
    }
    return status;
}

}  // namespace vm
