#include "platform/core/SerialPortMonitor.h"

#include "platform/core/Log.h"
#include "platform/core/SerialPortList.h"

#include <libudev.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace vm {

namespace {

void logAbsentOnce(const char* why) {
    static std::once_flag once;
    std::call_once(once, [why] {
        log("SerialPortMonitor:start: {}; serial ports are not watched for arrival and removal",
            why);
    });
}

bool udevRuns(udev* context) {
    udev_queue* queue = udev_queue_new(context);
    const bool active = queue && udev_queue_get_udev_is_active(queue) > 0;
    udev_queue_unref(queue);
    return active;
}

}  // namespace

std::unique_ptr<SerialPortMonitor> SerialPortMonitor::start(DispatchQueuePtr queue,
                                                            Handler handler) {
    udev* context = udev_new();
    if (!context || !udevRuns(context)) {
        udev_unref(context);
        logAbsentOnce("udev does not run here");
        return nullptr;
    }
    udev_monitor* monitor = udev_monitor_new_from_netlink(context, "udev");
    if (!monitor || udev_monitor_filter_add_match_subsystem_devtype(monitor, "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        udev_monitor_unref(monitor);
        udev_unref(context);
        logAbsentOnce("the udev monitor cannot be made");
        return nullptr;
    }
    std::unique_ptr<SerialPortMonitor> self(new SerialPortMonitor(context, monitor));
    auto delivering = self->delivering_;
    auto shared = std::make_shared<Handler>(std::move(handler));
    const bool started = self->watcher_.start(udev_monitor_get_fd(monitor), [=](short) {
        udev_device* device = udev_monitor_receive_device(monitor);
        if (device) {
            if (auto event =
                    eventOf(udev_device_get_action(device), udev_device_get_devnode(device))) {
                queue->async([=, e = *event] {
                    if (*delivering) {
                        (*shared)(e);
                    }
                });
            }
            udev_device_unref(device);
        }
        return true;
    });
    if (!started) {
        logAbsentOnce("the monitor thread cannot start");
        return nullptr;
    }
    return self;
}

SerialPortMonitor::SerialPortMonitor(udev* context, udev_monitor* monitor)
    : udev_(context), monitor_(monitor), delivering_(std::make_shared<std::atomic<bool>>(true)) {}

SerialPortMonitor::~SerialPortMonitor() {
    delivering_->store(false);
    watcher_.stop();
    udev_monitor_unref(monitor_);
    udev_unref(udev_);
}

std::optional<SerialPortMonitor::Event> SerialPortMonitor::eventOf(const char* action,
                                                                   const char* node) {
    if (!action || !node || !isUsbSerialName(std::filesystem::path(node).filename().string())) {
        return std::nullopt;
    }
    if (std::strcmp(action, "add") == 0) {
        return Event{Change::Added, node};
    }
    if (std::strcmp(action, "remove") == 0) {
        return Event{Change::Removed, node};
    }
    return std::nullopt;
}

}  // namespace vm
