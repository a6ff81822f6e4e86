#pragma once
// Arrival and removal of USB serial devices (those that listSerialPorts() covers), as the udev
// daemon reports them after it has made their device nodes and links. Where udev does not run
// (a container, say) nothing is watched: that is logged once per process.
#include "platform/core/DispatchQueue.h"
#include "platform/core/ReadableWatcher.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

struct udev;
struct udev_monitor;

namespace vm {

class SerialPortMonitor {
public:
    enum class Change { Added, Removed };
    struct Event {
        Change change;
        std::string device;  // the device node, "/dev/ttyUSB0"
        bool operator==(const Event&) const = default;
    };
    using Handler = std::function<void(const Event&)>;

    // Starts watching; each event is handed to `handler` on `queue`. nullptr where udev does not
    // run or its monitor cannot be made.
    static std::unique_ptr<SerialPortMonitor> start(DispatchQueuePtr queue, Handler handler);

    ~SerialPortMonitor();  // stops watching; nothing is handed on afterwards
    SerialPortMonitor(const SerialPortMonitor&) = delete;
    SerialPortMonitor& operator=(const SerialPortMonitor&) = delete;

    // The event that a device report (its action, "add", "remove"..., and its device node) stands
    // for; nullopt for other devices and actions.
    static std::optional<Event> eventOf(const char* action, const char* node);

private:
    SerialPortMonitor(udev* context, udev_monitor* monitor);

    udev* udev_;
    udev_monitor* monitor_;
    ReadableWatcher watcher_;
    std::shared_ptr<std::atomic<bool>> delivering_;
};

}  // namespace vm
