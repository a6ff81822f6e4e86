#include "platform/audio/StereoMixerUnit.h"

#include "platform/audio/SampleFormat.h"

#include <algorithm>
#include <cstring>

namespace vm {

OSStatus StereoMixerUnit::setStreamFormat(AudioUnitScope scope, std::uint32_t element,
                                          const AudioStreamBasicDescription& format) {
    if (scope == AudioUnitScope::Global || element != 0) {
        return kAudioParamError;
    }
    PcmLayout layout;
    if (!pcmLayout(format, &layout) || layout.kind != PcmLayout::Kind::Float32 ||
        layout.interleaved || layout.bigEndian || layout.channels > 2) {
        return kAudioFormatUnsupportedError;
    }
    std::lock_guard config(configMutex_);
    AudioUnit::setStreamFormat(scope, element, format);
    (scope == AudioUnitScope::Input ? inputChannels_ : outputChannels_) = layout.channels;
    allocateScratch();
    return 0;
}

OSStatus StereoMixerUnit::setMaximumFramesPerSlice(std::uint32_t frames) {
    std::lock_guard config(configMutex_);
    if (OSStatus status = AudioUnit::setMaximumFramesPerSlice(frames)) {
        return status;
    }
    allocateScratch();
    return 0;
}

void StereoMixerUnit::allocateScratch() {
    if (inputChannels_ == outputChannels_) {
        scratch_.clear();
        scratchList_.clear();
        return;
    }
    scratch_.assign(inputChannels_, std::vector<float>(maximumFramesPerSlice_.load()));
    scratchList_.assign(audioBufferListSize(inputChannels_), 0);
    auto* list = reinterpret_cast<AudioBufferList*>(scratchList_.data());
    list->mNumberBuffers = inputChannels_;
}

OSStatus StereoMixerUnit::setParameter(std::uint32_t id, AudioUnitScope scope,
                                       std::uint32_t element, float value) {
    if (scope != AudioUnitScope::Input || element != 0) {
        return kAudioParamError;
    }
    switch (id) {
        case kStereoMixerParam_Volume: volume_ = std::clamp(value, 0.0f, 1.0f); return 0;
        case kStereoMixerParam_Pan: pan_ = std::clamp(value, -1.0f, 1.0f); return 0;
        default: return kAudioParamError;
    }
}

OSStatus StereoMixerUnit::getParameter(std::uint32_t id, AudioUnitScope scope,
                                       std::uint32_t element, float* value) {
    if (scope != AudioUnitScope::Input || element != 0 || !value) {
        return kAudioParamError;
    }
    switch (id) {
        case kStereoMixerParam_Volume: *value = volume_; return 0;
        case kStereoMixerParam_Pan: *value = pan_; return 0;
        default: return kAudioParamError;
    }
}

OSStatus StereoMixerUnit::renderBus(AudioUnitRenderActionFlags* ioActionFlags,
                                    const AudioTimeStamp& timeStamp, std::uint32_t bus,
                                    std::uint32_t frames, AudioBufferList* ioData) {
    std::unique_lock config(configMutex_, std::try_to_lock);
    if (bus != 0 || !config || ioData->mNumberBuffers < outputChannels_) {
        silenceBufferList(ioData);
        return config && bus == 0 ? kAudioParamError : 0;
    }
    for (std::uint32_t c = 0; c < outputChannels_; ++c) {
        if (!audioBuffers(ioData)[c].mData ||
            audioBuffers(ioData)[c].mDataByteSize < frames * sizeof(float)) {
            return kAudioParamError;
        }
    }
    // Buffers beyond the mixer's channels stay silent.
    for (std::uint32_t c = outputChannels_; c < ioData->mNumberBuffers; ++c) {
        AudioBuffer& extra = audioBuffers(ioData)[c];
        if (extra.mData) {
            std::memset(extra.mData, 0, extra.mDataByteSize);
        }
    }
    OSStatus status = 0;
    if (inputChannels_ == outputChannels_) {
        status = pullInput(0, ioActionFlags, timeStamp, frames, ioData);
    } else {
        auto* list = reinterpret_cast<AudioBufferList*>(scratchList_.data());
        for (std::uint32_t c = 0; c < inputChannels_; ++c) {
            audioBuffers(list)[c] =
                AudioBuffer{1, std::uint32_t(frames * sizeof(float)), scratch_[c].data()};
        }
        status = pullInput(0, ioActionFlags, timeStamp, frames, list);
        for (std::uint32_t c = 0; c < outputChannels_; ++c) {
            auto* out = static_cast<float*>(audioBuffers(ioData)[c].mData);
            if (inputChannels_ == 1) {
                std::memcpy(out, scratch_[0].data(), frames * sizeof(float));
            } else {
                for (std::uint32_t f = 0; f < frames; ++f) {
                    out[f] = 0.5f * (scratch_[0][f] + scratch_[1][f]);
                }
            }
        }
    }
    const float volume = volume_;
    const float pan = pan_;
    float gains[2] = {volume, volume};
    if (outputChannels_ == 2) {
        gains[0] *= pan > 0 ? 1 - pan : 1;
        gains[1] *= pan < 0 ? 1 + pan : 1;
    }
    for (std::uint32_t c = 0; c < outputChannels_; ++c) {
        if (gains[c] != 1.0f) {
            auto* out = static_cast<float*>(audioBuffers(ioData)[c].mData);
            for (std::uint32_t f = 0; f < frames; ++f) {
                out[f] *= gains[c];
            }
        }
    }
    return status;
}

}  // namespace vm
