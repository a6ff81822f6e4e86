#pragma once
// What the remote-audio engine asks of the application controller: whether the radio's start-up
// is complete, the choices of its two remote-audio device pop-ups, and where to show a device the
// output or the microphone moved to.
#include "localaudio/AudioDevice.h"

#include <optional>
#include <string>

namespace vm {

// The selected item of a device pop-up: its title, and the device it carries, if any (an item
// without a device stands for the system's current device).
struct AudioDeviceChoice {
    std::string title;
    std::optional<AudioDevice> device;
};

class RemoteAudioApplication {
public:
    virtual ~RemoteAudioApplication() = default;
    // Read on the receive streams' queues: must be safe from any thread.
    virtual bool radioStartupComplete() const = 0;
    // The output pop-up's selected item; none when nothing is selected.
    virtual std::optional<AudioDeviceChoice> outputDeviceChoice() const = 0;
    // The input pop-up's selected item; none when the pop-up has no items.
    virtual std::optional<AudioDeviceChoice> inputDeviceChoice() const = 0;
    // On the main queue: the pop-up shows the device now in use (its name).
    virtual void showOutputDevice(const std::string& name) = 0;
    virtual void showInputDevice(const std::string& name) = 0;
};

}  // namespace vm
