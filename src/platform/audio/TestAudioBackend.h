#pragma once
// A sound system without a sound card, for tests: the test sets the device list and the default
// devices, and drives the open streams itself. render() asks a running output stream for frames,
// as a sound card would; capture() hands a running input stream samples, as a microphone would.
// Callbacks run on the calling thread, in blocks of the stream's buffer size; streams on
// different threads run at the same time, as separate devices do.
#include "platform/audio/AudioBackend.h"

#include <mutex>
#include <optional>
#include <vector>

namespace vm {

class TestAudioBackend : public AudioBackend {
public:
    // Replaces the device list and defaults, then tells the listeners.
    void setDevices(std::vector<AudioDeviceRecord> devices, AudioDeviceID defaultInput,
                    AudioDeviceID defaultOutput);

    std::vector<AudioDeviceRecord> devices() override;
    AudioDeviceID defaultDevice(AudioDirection direction) override;
    bool supportsFormat(AudioDeviceID device, AudioDirection direction, double sampleRate,
                        std::uint32_t channels) override;
    std::unique_ptr<AudioDeviceStream> openStream(const AudioStreamRequest& request,
                                                  AudioDeviceCallback callback,
                                                  OSStatus* status) override;

    // Only these rates are accepted when set (default: any rate).
    void setSupportedRates(std::vector<double> rates);
    // The devices' own period: the frames per callback of streams opened later that ask for it.
    void setPeriod(std::uint32_t frames);

    // Pulls `frames` frames from the running output stream of the device, one vector per channel.
    // False when no output stream runs there.
    bool render(AudioDeviceID device, std::uint32_t frames, std::vector<std::vector<float>>* out);
    // Feeds the running input stream of the device, one vector per channel (of equal lengths).
    bool capture(AudioDeviceID device, const std::vector<std::vector<float>>& channels);

    // The request of the running stream of that side of the device, if one runs.
    std::optional<AudioStreamRequest> runningStream(AudioDeviceID device, AudioDirection direction);
    // Streams opened and not yet destroyed.
    std::size_t openStreamCount();

private:
    class Stream;
    friend class Stream;
    Stream* findRunning(AudioDeviceID device, AudioDirection direction);
    bool supports(AudioDeviceID device, AudioDirection direction, double sampleRate,
                  std::uint32_t channels) const;

    std::mutex mutex_;
    std::vector<AudioDeviceRecord> devices_;
    AudioDeviceID defaultInput_ = kAudioObjectUnknown;
    AudioDeviceID defaultOutput_ = kAudioObjectUnknown;
    std::vector<double> rates_;
    std::uint32_t period_ = 512;
    std::vector<Stream*> streams_;
};

}  // namespace vm
