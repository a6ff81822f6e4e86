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
        inputBytesPerFrame_ = in.bytesPerFrame;
        pullData_.assign(in.buffers(), std::vector<std::uint8_t>(kPullFrames * in.bytesPerFrame));
        pullList_.assign(audioBufferListSize(in.buffers()), 0);
        auto* list = reinterpret_cast<AudioBufferList*>(pullList_.data());
        list->mNumberBuffers = in.buffers();
        for (std::uint32_t b = 0; b < in.buffers(); ++b) {
            audioBuffers(list)[b].mNumberChannels = in.interleaved ? in.channels : 1;
        }
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
    struct Pull {
        ConverterUnit* unit;
        AudioUnitRenderActionFlags* flags;
        const AudioTimeStamp* time;
    } pull{this, ioActionFlags, &timeStamp};
    auto* list = reinterpret_cast<AudioBufferList*>(pullList_.data());
    auto proc = [&pull, list](std::uint32_t* count, AudioBufferList* ioList,
                              AudioStreamPacketDescription**) -> OSStatus {
        ConverterUnit& unit = *pull.unit;
        const std::uint32_t n = std::min(*count, kPullFrames);
        for (std::uint32_t b = 0; b < list->mNumberBuffers; ++b) {
            audioBuffers(list)[b].mData = unit.pullData_[b].data();
            audioBuffers(list)[b].mDataByteSize = n * unit.inputBytesPerFrame_;
        }
        if (OSStatus status = unit.pullInput(0, pull.flags, *pull.time, n, list)) {
            return status;
        }
        for (std::uint32_t b = 0; b < list->mNumberBuffers && b < ioList->mNumberBuffers; ++b) {
            audioBuffers(ioList)[b] = audioBuffers(list)[b];
        }
        *count = n;
        return 0;
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
