#pragma once
// What the sound system reported last: its devices in its own order and its two default devices.
// Read on the sound system's side (a thread that may wait on it) and handed to the main queue, so
// the window never asks the sound system itself.
#include "localaudio/AudioDevice.h"
#include "platform/audio/AudioBackend.h"

#include <optional>
#include <string>
#include <vector>

namespace vm {

struct AudioSystemState {
    std::vector<AudioDeviceRecord> devices;
    AudioDeviceID input = kAudioObjectUnknown;
    AudioDeviceID output = kAudioObjectUnknown;

    static AudioSystemState read(AudioBackend& backend);
    // The devices with channels on that side, in the system's order.
    std::vector<AudioDevice> devicesFor(AudioDirection direction) const;
    // The device of that UID; none when the system has no such device.
    std::optional<AudioDevice> deviceWithUid(const std::string& uid) const;
    std::vector<std::string> uids() const;
};

}  // namespace vm
