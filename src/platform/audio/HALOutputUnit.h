#pragma once
// The device I/O unit. Element 0 plays: it pulls input bus 0 in the format of its input scope
// and plays it on the current device. Element 1 captures: the device's audio (format of the
// input scope, element 1) is converted to the format of the output scope, element 1; each
// captured slice is announced through the input callback, inside which render() of bus 1 copies
// it out (into the caller's buffers, or, when their data pointers are null, by pointing them at
// the unit's own).
//
// Playing is on by default, capture off. A started unit opens a device stream for each side
// that is enabled, has channels on the device and, for playing, has something feeding bus 0.
#include "platform/audio/AudioBackend.h"
#include "platform/audio/AudioConverter.h"
#include "platform/audio/AudioUnit.h"

#include <atomic>
#include <memory>
#include <vector>

namespace vm {

class HALOutputUnit : public AudioUnit {
public:
    static constexpr std::uint32_t kOutputElement = 0;
    static constexpr std::uint32_t kInputElement = 1;
    // Frames per device callback: the device's own period, so that callbacks come evenly, one
    // per period. A fixed size that is not the period makes the sound system gather frames across
    // periods: callbacks then skip periods now and then and play a buffer later.
    static constexpr std::uint32_t kDeviceFramesPerBuffer = 0;

    HALOutputUnit();
    ~HALOutputUnit() override;

    // Output scope, element 0 (playing) or input scope, element 1 (capture).
    OSStatus setEnableIO(AudioUnitScope scope, std::uint32_t element, bool enable);
    OSStatus getEnableIO(AudioUnitScope scope, std::uint32_t element, bool* enabled);
    // A device the sound system lists; the device-side formats follow it. A running unit moves
    // its streams to the new device.
    OSStatus setCurrentDevice(AudioDeviceID device);
    AudioDeviceID currentDevice() const { return device_.load(); }
    // The capture notice, on the device's input thread.
    OSStatus setInputCallback(AURenderCallback callback);

    // The sides the client sees (input scope element 0, output scope element 1) may be set; the
    // device sides (output scope element 0, input scope element 1) are read only.
    OSStatus setStreamFormat(AudioUnitScope scope, std::uint32_t element,
                             const AudioStreamBasicDescription& format) override;
    OSStatus setMaximumFramesPerSlice(std::uint32_t frames) override;
    OSStatus uninitialize() override;

    OSStatus start();
    OSStatus stop();
    bool isRunning() const { return running_.load(); }

protected:
    OSStatus renderBus(AudioUnitRenderActionFlags* ioActionFlags, const AudioTimeStamp& timeStamp,
                       std::uint32_t bus, std::uint32_t frames, AudioBufferList* ioData) override;

private:
    OSStatus openStreams();
    void closeStreams();
    OSStatus prepareOutput(AudioStreamRequest* request);
    OSStatus prepareInput(AudioStreamRequest* request);
    void allocateCapture();
    void play(float* const* channels, std::uint32_t frames, const AudioTimeStamp& time);
    void capture(float* const* channels, std::uint32_t frames, const AudioTimeStamp& time);

    std::shared_ptr<AudioBackend> backend_;
    std::atomic<AudioDeviceID> device_{kAudioObjectUnknown};
    bool outputEnabled_ = true;
    bool inputEnabled_ = false;
    bool outputClientSet_ = false;
    bool inputClientSet_ = false;
    AURenderCallback inputCallback_;
    std::atomic<bool> running_{false};

    // Playing: the device stream, and a converter when the client format is not the stream's.
    std::unique_ptr<AudioDeviceStream> outputStream_;
    std::uint32_t outputChannels_ = 0;
    std::unique_ptr<AudioConverter> outputConverter_;
    std::vector<std::uint8_t> outputList_;  // points at the device's buffers
    AudioBufferStorage outputPulled_;       // client-format audio for the converter

    // Capture: the device stream, the converted slice, and what render() of bus 1 reads.
    std::unique_ptr<AudioDeviceStream> inputStream_;
    std::uint32_t inputChannels_ = 0;
    std::unique_ptr<AudioConverter> inputConverter_;
    std::vector<std::uint8_t> deviceInputList_;
    AudioBufferStorage captureStorage_;          // the converted slice
    const AudioBufferList* captured_ = nullptr;  // set during the input callback only
    std::uint32_t capturedFrames_ = 0;
};

}  // namespace vm
