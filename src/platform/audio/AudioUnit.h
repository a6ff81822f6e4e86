#pragma once
// Audio processing units, pulled by whoever needs their output: a unit renders an output bus by
// pulling each input bus from its render callback or from the unit connected to it. Three kinds:
// a format converter, a stereo mixer with volume and pan, and a device I/O unit (HALOutputUnit)
// that plays what it pulls on a device and captures from one.
//
// Formats and connections are set on the owner's thread; rendering runs on a device thread. A
// unit being reconfigured while a render reaches it renders silence for that pass rather than
// wait, so no audio thread ever blocks on the owner.
#include "platform/audio/AudioBufferStorage.h"
#include "platform/audio/AudioTypes.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

namespace vm {

enum class AudioUnitKind { Converter, StereoMixer, HALOutput };

using AURenderCallback = std::function<OSStatus(
    AudioUnitRenderActionFlags* ioActionFlags, const AudioTimeStamp& inTimeStamp,
    std::uint32_t inBusNumber, std::uint32_t inNumberFrames, AudioBufferList* ioData)>;

// A render that asks for more frames than the unit's maximum frames per slice.
constexpr OSStatus kAudioTooManyFramesError = -10874;

class AudioUnit {
public:
    static constexpr std::uint32_t kDefaultMaximumFramesPerSlice = 4096;

    // A new unit of that kind, uninitialised.
    static OSStatus make(AudioUnitKind kind, std::unique_ptr<AudioUnit>* unit);
    virtual ~AudioUnit() = default;
    AudioUnit(const AudioUnit&) = delete;
    AudioUnit& operator=(const AudioUnit&) = delete;

    AudioUnitKind kind() const { return kind_; }

    virtual OSStatus setStreamFormat(AudioUnitScope scope, std::uint32_t element,
                                     const AudioStreamBasicDescription& format);
    OSStatus getStreamFormat(AudioUnitScope scope, std::uint32_t element,
                             AudioStreamBasicDescription* format);

    virtual OSStatus setMaximumFramesPerSlice(std::uint32_t frames);
    OSStatus getMaximumFramesPerSlice(std::uint32_t* frames) const;

    // Where input bus `bus` gets its audio: a callback, or the output bus of another unit.
    OSStatus setRenderCallback(std::uint32_t bus, AURenderCallback callback);
    OSStatus connectInput(std::uint32_t bus, AudioUnit* source, std::uint32_t sourceBus);
    // Called before (PreRender) and after (PostRender) each render of the unit.
    OSStatus addRenderNotify(AURenderCallback notify);

    virtual OSStatus setParameter(std::uint32_t id, AudioUnitScope scope, std::uint32_t element,
                                  float value);
    virtual OSStatus getParameter(std::uint32_t id, AudioUnitScope scope, std::uint32_t element,
                                  float* value);

    virtual OSStatus initialize();
    virtual OSStatus uninitialize();
    bool isInitialized() const { return initialized_.load(); }

    // Renders `frames` frames of output bus `bus` into `ioData`.
    OSStatus render(AudioUnitRenderActionFlags* ioActionFlags, const AudioTimeStamp& timeStamp,
                    std::uint32_t bus, std::uint32_t frames, AudioBufferList* ioData);

protected:
    explicit AudioUnit(AudioUnitKind kind) : kind_(kind) {}

    virtual OSStatus renderBus(AudioUnitRenderActionFlags* ioActionFlags,
                               const AudioTimeStamp& timeStamp, std::uint32_t bus,
                               std::uint32_t frames, AudioBufferList* ioData) = 0;
    // Fills `ioData` from input bus `bus`; silence when nothing feeds the bus. Call with the
    // routing lock held (render() holds it around renderBus()).
    OSStatus pullInput(std::uint32_t bus, AudioUnitRenderActionFlags* ioActionFlags,
                       const AudioTimeStamp& timeStamp, std::uint32_t frames,
                       AudioBufferList* ioData);
    // The body of a converter's input procedure: pulls up to *count frames (at most what
    // `storage` holds) of input bus `bus` into `storage` and hands them to the converter.
    OSStatus pullInputForConverter(AudioBufferStorage& storage, std::uint32_t bus,
                                   AudioUnitRenderActionFlags* ioActionFlags,
                                   const AudioTimeStamp& timeStamp, std::uint32_t* count,
                                   AudioBufferList* ioList);
    bool hasInput(std::uint32_t bus) const;
    std::unique_lock<std::mutex> tryLockRouting() {
        return std::unique_lock<std::mutex>(routingMutex_, std::try_to_lock);
    }
    // The stored format, or a zeroed one.
    AudioStreamBasicDescription format(AudioUnitScope scope, std::uint32_t element);

    // Held by the owner while it changes what rendering reads; renders try it and go silent
    // when it is taken.
    std::mutex configMutex_;
    std::atomic<std::uint32_t> maximumFramesPerSlice_{kDefaultMaximumFramesPerSlice};

private:
    struct Source {
        AURenderCallback callback;
        AudioUnit* unit = nullptr;
        std::uint32_t unitBus = 0;
    };

    const AudioUnitKind kind_;
    std::atomic<bool> initialized_{false};
    std::mutex formatsMutex_;
    std::map<std::pair<AudioUnitScope, std::uint32_t>, AudioStreamBasicDescription> formats_;
    // Guards the sources and the notification; renders only try it.
    std::mutex routingMutex_;
    std::map<std::uint32_t, Source> sources_;
    AURenderCallback notify_;
};

// Zeroes every buffer of the list over its byte size.
void silenceBufferList(AudioBufferList* list);

}  // namespace vm
