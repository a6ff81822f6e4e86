#pragma once
// The sound system on PortAudio. PortAudio reads its device list once, when it is initialised, and
// tells nobody when devices come and go; so the backend re-initialises it and reads the list again
// when the kernel reports a sound device change (SoundDeviceMonitor) and no stream is open, or
// once the last open stream closes. Listeners hear of a change only when the list or a default
// device differs from before. Device ids stay the same for a device across these re-reads.
#include "platform/audio/AudioBackend.h"
#include "platform/core/DispatchQueue.h"

#include <memory>

namespace vm {

class SoundDeviceMonitor;
struct PortAudioSession;

class PortAudioBackend : public AudioBackend {
public:
    PortAudioBackend();
    // Shuts down first when nobody did.
    ~PortAudioBackend() override;

    // Stops watching the devices and waits until no re-read runs or is queued; later device
    // reports and last-stream closes re-read nothing.
    void shutdown() override;

    std::vector<AudioDeviceRecord> devices() override;
    AudioDeviceID defaultDevice(AudioDirection direction) override;
    bool supportsFormat(AudioDeviceID device, AudioDirection direction, double sampleRate,
                        std::uint32_t channels) override;
    std::unique_ptr<AudioDeviceStream> openStream(const AudioStreamRequest& request,
                                                  AudioDeviceCallback callback,
                                                  OSStatus* status) override;

    // Reads the device list again now if no stream is open, else once the last one closes.
    void rescan();

private:
    std::shared_ptr<PortAudioSession> session_;
    DispatchQueuePtr queue_;
    std::unique_ptr<SoundDeviceMonitor> monitor_;
};

}  // namespace vm
