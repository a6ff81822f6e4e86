#pragma once
// Watches the kernel's sound devices coming and going (udev events of the "sound" subsystem) and
// calls back once things have settled. Where udev cannot be watched (a container without the
// netlink socket), it does nothing: the device list is then read at start-up only.
#include "platform/core/DispatchQueue.h"
#include "platform/core/DispatchSource.h"

#include <functional>

struct udev;
struct udev_monitor;

namespace vm {

class SoundDeviceMonitor {
public:
    // `changed` runs on `queue`, 0.5 s after the last of a burst of events.
    SoundDeviceMonitor(DispatchQueuePtr queue, std::function<void()> changed);
    // Returns once no callback runs or will run.
    ~SoundDeviceMonitor();
    SoundDeviceMonitor(const SoundDeviceMonitor&) = delete;
    SoundDeviceMonitor& operator=(const SoundDeviceMonitor&) = delete;

    bool isWatching() const { return source_ != nullptr; }

private:
    void onReadable();

    DispatchQueuePtr queue_;
    std::function<void()> changed_;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    DispatchSourcePtr source_;
    DispatchSourcePtr settle_;
};

}  // namespace vm
