#include "platform/audio/AudioUnit.h"

#include "platform/audio/ConverterUnit.h"
#include "platform/audio/HALOutputUnit.h"
#include "platform/audio/StereoMixerUnit.h"

#include <algorithm>
#include <cstring>

namespace vm {

void silenceBufferList(AudioBufferList* list) {
    if (!list) {
        return;
    }
    for (std::uint32_t b = 0; b < list->mNumberBuffers; ++b) {
        AudioBuffer& buffer = audioBuffers(list)[b];
        if (buffer.mData) {
            std::memset(buffer.mData, 0, buffer.mDataByteSize);
        }
    }
}

OSStatus AudioUnit::make(AudioUnitKind kind, std::unique_ptr<AudioUnit>* unit) {
    if (!unit) {
        return kAudioParamError;
    }
    switch (kind) {
        case AudioUnitKind::Converter: *unit = std::make_unique<ConverterUnit>(); break;
        case AudioUnitKind::StereoMixer: *unit = std::make_unique<StereoMixerUnit>(); break;
        case AudioUnitKind::HALOutput: *unit = std::make_unique<HALOutputUnit>(); break;
    }
    return 0;
}

OSStatus AudioUnit::setStreamFormat(AudioUnitScope scope, std::uint32_t element,
                                    const AudioStreamBasicDescription& format) {
    std::lock_guard lock(formatsMutex_);
    formats_[{scope, element}] = format;
    return 0;
}

OSStatus AudioUnit::getStreamFormat(AudioUnitScope scope, std::uint32_t element,
                                    AudioStreamBasicDescription* out) {
    if (!out) {
        return kAudioParamError;
    }
    std::lock_guard lock(formatsMutex_);
    auto it = formats_.find({scope, element});
    if (it == formats_.end()) {
        return kAudioParamError;
    }
    *out = it->second;
    return 0;
}

AudioStreamBasicDescription AudioUnit::format(AudioUnitScope scope, std::uint32_t element) {
    AudioStreamBasicDescription out{};
    getStreamFormat(scope, element, &out);
    return out;
}

OSStatus AudioUnit::setMaximumFramesPerSlice(std::uint32_t frames) {
    if (frames == 0) {
        return kAudioParamError;
    }
    maximumFramesPerSlice_ = frames;
    return 0;
}

OSStatus AudioUnit::getMaximumFramesPerSlice(std::uint32_t* frames) const {
    if (!frames) {
        return kAudioParamError;
    }
    *frames = maximumFramesPerSlice_.load();
    return 0;
}

OSStatus AudioUnit::setRenderCallback(std::uint32_t bus, AURenderCallback callback) {
    std::lock_guard lock(routingMutex_);
    sources_[bus] = Source{std::move(callback), nullptr, 0};
    return 0;
}

OSStatus AudioUnit::connectInput(std::uint32_t bus, AudioUnit* source, std::uint32_t sourceBus) {
    if (source == this) {
        return kAudioParamError;
    }
    std::lock_guard lock(routingMutex_);
    sources_[bus] = Source{nullptr, source, sourceBus};
    return 0;
}

OSStatus AudioUnit::addRenderNotify(AURenderCallback notify) {
    if (!notify) {
        return kAudioParamError;
    }
    std::lock_guard lock(routingMutex_);
    notify_ = std::move(notify);
    return 0;
}

OSStatus AudioUnit::setParameter(std::uint32_t, AudioUnitScope, std::uint32_t, float) {
    return kAudioParamError;
}

OSStatus AudioUnit::getParameter(std::uint32_t, AudioUnitScope, std::uint32_t, float*) {
    return kAudioParamError;
}

OSStatus AudioUnit::initialize() {
    initialized_ = true;
    return 0;
}

OSStatus AudioUnit::uninitialize() {
    initialized_ = false;
    return 0;
}

bool AudioUnit::hasInput(std::uint32_t bus) const {
    auto it = sources_.find(bus);
    return it != sources_.end() && (it->second.callback || it->second.unit);
}

OSStatus AudioUnit::pullInput(std::uint32_t bus, AudioUnitRenderActionFlags* ioActionFlags,
                              const AudioTimeStamp& timeStamp, std::uint32_t frames,
                              AudioBufferList* ioData) {
    auto it = sources_.find(bus);
    if (it == sources_.end()) {
        silenceBufferList(ioData);
        return 0;
    }
    if (it->second.callback) {
        AudioUnitRenderActionFlags flags = ioActionFlags ? *ioActionFlags : 0;
        return it->second.callback(&flags, timeStamp, bus, frames, ioData);
    }
    if (it->second.unit) {
        return it->second.unit->render(ioActionFlags, timeStamp, it->second.unitBus, frames,
                                       ioData);
    }
    silenceBufferList(ioData);
    return 0;
}

OSStatus AudioUnit::pullInputForConverter(AudioBufferStorage& storage, std::uint32_t bus,
                                          AudioUnitRenderActionFlags* ioActionFlags,
                                          const AudioTimeStamp& timeStamp, std::uint32_t* count,
                                          AudioBufferList* ioList) {
    const std::uint32_t n = std::min(*count, storage.frames());
    AudioBufferList* list = storage.list(n);
    if (OSStatus status = pullInput(bus, ioActionFlags, timeStamp, n, list)) {
        return status;
    }
    for (std::uint32_t b = 0; b < list->mNumberBuffers && b < ioList->mNumberBuffers; ++b) {
        audioBuffers(ioList)[b] = audioBuffers(list)[b];
    }
    *count = n;
    return 0;
}

OSStatus AudioUnit::render(AudioUnitRenderActionFlags* ioActionFlags,
                           const AudioTimeStamp& timeStamp, std::uint32_t bus, std::uint32_t frames,
                           AudioBufferList* ioData) {
    if (!ioData) {
        return kAudioParamError;
    }
    if (frames > maximumFramesPerSlice_.load()) {
        return kAudioTooManyFramesError;
    }
    auto routing = tryLockRouting();
    if (!routing) {
        silenceBufferList(ioData);
        return 0;
    }
    const AudioUnitRenderActionFlags base = ioActionFlags ? *ioActionFlags : 0;
    if (notify_) {
        AudioUnitRenderActionFlags pre = base | kAudioUnitRenderAction_PreRender;
        notify_(&pre, timeStamp, bus, frames, ioData);
    }
    const OSStatus status = renderBus(ioActionFlags, timeStamp, bus, frames, ioData);
    if (notify_) {
        AudioUnitRenderActionFlags post = base | kAudioUnitRenderAction_PostRender;
        notify_(&post, timeStamp, bus, frames, ioData);
    }
    return status;
}

}  // namespace vm
