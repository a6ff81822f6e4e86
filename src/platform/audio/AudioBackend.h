#pragma once
// The sound system as the audio classes see it: the list of devices with their names and channel
// counts, the default input and output devices, notice when either changes, and callback streams
// on a device. The application runs on PortAudio (PortAudioBackend); tests install a
// TestAudioBackend, which has no sound card and renders or captures when the test says so.
#include "platform/audio/AudioTypes.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vm {

struct AudioDeviceRecord {
    AudioDeviceID deviceID = kAudioObjectUnknown;
    std::string name;
    std::string manufacturer;
    std::string uid;
    std::uint32_t inputChannels = 0;
    std::uint32_t outputChannels = 0;
    double sampleRate = 0;  // the device's preferred rate

    bool operator==(const AudioDeviceRecord&) const = default;
};

// The string properties a device answers, with their four-character selectors.
enum class AudioDeviceStringProperty : std::uint32_t {
    Name = fourCC("lnam"),
    Manufacturer = fourCC("lmak"),
    UID = fourCC("uid "),
};

struct AudioStreamRequest {
    AudioDeviceID device = kAudioObjectUnknown;
    AudioDirection direction = AudioDirection::Output;
    double sampleRate = 0;
    std::uint32_t channels = 0;
    // Frames per callback, at most kMaxFramesPerCallback; 0 takes the sound system's own period.
    std::uint32_t framesPerBuffer = 0;
};

// Called on the device's audio thread with one float array per channel (non-interleaved, 32-bit
// float): an output stream fills them, an input stream reads them. Must not block.
using AudioDeviceCallback =
    std::function<void(float* const* channels, std::uint32_t frames, const AudioTimeStamp& time)>;

class AudioDeviceStream {
public:
    virtual ~AudioDeviceStream() = default;
    virtual OSStatus start() = 0;
    virtual OSStatus stop() = 0;
    virtual bool isRunning() const = 0;
};

class AudioBackend {
public:
    // No callback asks for more frames than this.
    static constexpr std::uint32_t kMaxFramesPerCallback = 4096;

    virtual ~AudioBackend() = default;

    // The backend the audio classes use: the one installed with setShared(), else a PortAudio
    // backend made on first use. Making it starts the sound system, which may take long (or not
    // return at all, when a sound server is stuck): call it first off the main thread.
    static std::shared_ptr<AudioBackend> shared();
    static void setShared(std::shared_ptr<AudioBackend> backend);
    // The backend once made; nullptr while none is made (or being made). Never waits for the
    // sound system.
    static std::shared_ptr<AudioBackend> sharedIfStarted();
    // Stops the shared backend's own work (its device watch) and lets it go. Runs before the
    // process's dispatch threads stop: once from the program's end, and from exit as a fallback.
    // Does not wait for a backend still being made.
    static void shutdownShared();

    // Stops the backend's own background work; the backend answers nothing new afterwards but
    // its open streams keep running until they are closed. Called once, before destruction.
    virtual void shutdown() {}

    // Devices in the order the sound system lists them.
    virtual std::vector<AudioDeviceRecord> devices() = 0;
    // kAudioObjectUnknown when there is none.
    virtual AudioDeviceID defaultDevice(AudioDirection direction) = 0;
    // Whether the device can run a stream with this rate and channel count.
    virtual bool supportsFormat(AudioDeviceID device, AudioDirection direction, double sampleRate,
                                std::uint32_t channels) = 0;
    // A stopped stream, or nullptr with the reason in `status`.
    virtual std::unique_ptr<AudioDeviceStream> openStream(const AudioStreamRequest& request,
                                                          AudioDeviceCallback callback,
                                                          OSStatus* status) = 0;

    // Property reads over devices(), answering a status as the audio classes expect.
    OSStatus deviceIDs(std::vector<AudioDeviceID>* ids);
    OSStatus defaultDeviceID(AudioDirection direction, AudioDeviceID* id);
    OSStatus stringProperty(AudioDeviceID device, AudioDeviceStringProperty property,
                            std::string* value);
    // Channels per stream of one side of a device: one entry per stream, none when the side has
    // no channels.
    OSStatus streamConfiguration(AudioDeviceID device, AudioDirection direction,
                                 std::vector<std::uint32_t>* channelsPerStream);
    OSStatus deviceRecord(AudioDeviceID device, AudioDeviceRecord* record);

    // Called (on a backend thread) after the device list or a default device changed.
    using Listener = std::function<void()>;
    std::uint64_t addDevicesChangedListener(Listener listener);
    void removeDevicesChangedListener(std::uint64_t token);

protected:
    void notifyDevicesChanged();

private:
    std::mutex listenersMutex_;
    std::map<std::uint64_t, Listener> listeners_;
    std::uint64_t nextToken_ = 1;
};

}  // namespace vm
