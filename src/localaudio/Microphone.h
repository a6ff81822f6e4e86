#pragma once
// Captures audio from one sound device through a device I/O unit with capture enabled, and hands
// every captured slice to its delegate: as the buffer list in the microphone's stream format and,
// for a delegate that takes it, as float buffers. It can also feed an AudioOutput, as that
// output's data source (monitoring): captured slices cross to the output's render thread through
// a ring buffer, so neither thread touches the other's buffers.
#include "localaudio/AtomicWeakPtr.h"
#include "localaudio/AudioDevice.h"
#include "localaudio/AudioFloatConverter.h"
#include "localaudio/AudioOutput.h"
#include "localaudio/MicrophoneDelegate.h"
#include "localaudio/RingBuffer.h"
#include "platform/audio/HALOutputUnit.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace vm {

struct MicrophoneInfo {
    std::unique_ptr<HALOutputUnit> audioUnit;
    AudioBufferList* audioBufferList = nullptr;
    float** floatData = nullptr;
    AudioStreamBasicDescription inputFormat{};
    AudioStreamBasicDescription streamFormat{};
};

class Microphone : public AudioOutputDataSource, public std::enable_shared_from_this<Microphone> {
public:
    Microphone();
    explicit Microphone(std::weak_ptr<MicrophoneDelegate> delegate);
    Microphone(std::weak_ptr<MicrophoneDelegate> delegate, bool startsImmediately);
    Microphone(std::weak_ptr<MicrophoneDelegate> delegate,
               const AudioStreamBasicDescription& format);
    Microphone(std::weak_ptr<MicrophoneDelegate> delegate,
               const AudioStreamBasicDescription& format, bool startsImmediately);
    ~Microphone() override;
    Microphone(const Microphone&) = delete;
    Microphone& operator=(const Microphone&) = delete;

    static std::shared_ptr<Microphone> microphoneWithDelegate(
        std::weak_ptr<MicrophoneDelegate> delegate);
    static std::shared_ptr<Microphone> microphoneWithDelegate(
        std::weak_ptr<MicrophoneDelegate> delegate, bool startsImmediately);
    static std::shared_ptr<Microphone> microphoneWithDelegate(
        std::weak_ptr<MicrophoneDelegate> delegate, const AudioStreamBasicDescription& format);
    static std::shared_ptr<Microphone> microphoneWithDelegate(
        std::weak_ptr<MicrophoneDelegate> delegate, const AudioStreamBasicDescription& format,
        bool startsImmediately);
    static std::shared_ptr<Microphone> sharedMicrophone();

    std::shared_ptr<MicrophoneDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<MicrophoneDelegate> delegate) {
        delegate_.store(std::move(delegate));
    }

    void startFetchingAudio();
    void stopFetchingAudio();
    bool microphoneOn() const { return microphoneOn_; }
    void setMicrophoneOn(bool on);

    void setAudioStreamBasicDescription(const AudioStreamBasicDescription& format);
    AudioStreamBasicDescription audioStreamBasicDescription() const { return info_->streamFormat; }

    const AudioDevice& device() const { return device_; }
    // Takes effect at once: capture pauses, the device's format is read again and what depends
    // on it rebuilt, then capture resumes if it ran.
    void setDevice(const AudioDevice& device);

    std::shared_ptr<AudioOutput> output() const { return output_; }
    void setOutput(std::shared_ptr<AudioOutput> output);

    std::uint32_t maximumBufferSize() const;
    std::int64_t numberOfChannels() const { return device_.inputChannelCount(); }
    HALOutputUnit* audioUnit() const { return info_->audioUnit.get(); }
    AudioStreamBasicDescription defaultStreamFormat() const;
    std::shared_ptr<AudioFloatConverter> floatConverter() const { return floatConverter_; }
    MicrophoneInfo* info() const { return info_.get(); }

    // As the data source of `output`: the captured audio not yet played, silence after it.
    OSStatus outputShouldFillAudioBufferList(AudioOutput& output, AudioBufferList* bufferList,
                                             std::uint32_t frames,
                                             const AudioTimeStamp& timestamp) override;

private:
    void setup();
    void applyDevice(const AudioDevice& device);
    void readInputFormat();
    void applyStreamFormat(const AudioStreamBasicDescription& format);
    void freeCaptureState();
    OSStatus inputCallback(AudioUnitRenderActionFlags* flags, const AudioTimeStamp& time,
                           std::uint32_t bus, std::uint32_t frames);

    AtomicWeakPtr<MicrophoneDelegate> delegate_;
    AudioDevice device_;
    bool microphoneOn_ = false;
    bool setUp_ = false;
    bool streamFormatIsDefault_ = true;
    std::shared_ptr<AudioOutput> output_;
    // Captured slices on their way to the output: the capture thread produces, the output's
    // render thread consumes.
    std::atomic<RingBuffer*> monitorRing_{nullptr};
    std::unique_ptr<RingBuffer> monitorRingStorage_;
    std::atomic<std::uint32_t> monitorBytesPerFrame_{0};
    std::shared_ptr<AudioFloatConverter> floatConverter_;
    std::unique_ptr<MicrophoneInfo> info_;
    // Held while the capture list, float buffers and converter are replaced; the capture
    // callback only tries it and drops a slice rather than wait.
    std::mutex captureStateMutex_;
};

}  // namespace vm
