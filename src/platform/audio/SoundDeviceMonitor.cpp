#include "platform/audio/SoundDeviceMonitor.h"

#include "platform/core/Log.h"

#include <libudev.h>

#include <chrono>

namespace vm {

SoundDeviceMonitor::SoundDeviceMonitor(DispatchQueuePtr queue, std::function<void()> changed)
    : queue_(std::move(queue)), changed_(std::move(changed)) {
    udev_ = udev_new();
    if (udev_) {
        monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    }
    if (!monitor_ ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "sound", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
        log("Sound device monitor unavailable: the device list is read at start only");
        return;
    }
    source_ = DispatchSource::makeRead(udev_monitor_get_fd(monitor_), queue_);
    if (!source_) {
        return;
    }
    settle_ = DispatchSource::makeTimer(queue_);
    settle_->setEventHandler([this] { changed_(); });
    source_->setEventHandler([this] { onReadable(); });
    source_->resume();
}

SoundDeviceMonitor::~SoundDeviceMonitor() {
    if (source_) {
        source_->cancel();
        settle_->cancel();
        settle_->resume();
        // The cancel handlers and any event already queued run before this.
        if (!queue_->isCurrent()) {
            queue_->sync([] {});
        }
    }
    if (monitor_) {
        udev_monitor_unref(monitor_);
    }
    if (udev_) {
        udev_unref(udev_);
    }
}

void SoundDeviceMonitor::onReadable() {
    bool any = false;
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        udev_device_unref(device);
        any = true;
    }
    if (any) {
        settle_->setTimer(std::chrono::milliseconds(500), std::nullopt);
        settle_->resume();
    }
}

}  // namespace vm
