// Devices that come and go while the program runs: serial ports (the tuning knob's), audio
// devices (handed to the remote-audio room), and the watch on the computer's sleep and wake
// (AppDelegateSleepWake.cpp).
#include "app/shell/AppDelegate.h"

#include "app/audio/RemoteAudioController.h"
#include "app/control/DoroControlController.h"
#include "app/windows/KnobPrefsPage.h"
#include "app/windows/PreferencesWindow.h"
#include "platform/core/Log.h"
#include "platform/ui/SleepWatcher.h"

namespace vm {

void AppDelegate::startSerialDeviceNotification() {
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    serialPortMonitor_ = SerialPortMonitor::start(
        DispatchQueue::main(), [weak](const SerialPortMonitor::Event& event) {
            if (auto self = weak.lock()) {
                self->portsChanged(event.change == SerialPortMonitor::Change::Added);
            }
        });
}

void AppDelegate::portsChanged(bool added) {
    logLine(added ? "AppDelegate:portsChanged: Serial Port Added"
                  : "AppDelegate:portsChanged: Serial Port Removed");
    prefsWindow->knobPage().reloadSerialPorts();
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    DispatchQueue::main()->async([weak] {
        if (auto self = weak.lock()) {
            self->prefsWindow->knobPage().restoreSerialPort();
        }
    });
}

// The sound system starts off the main thread; its reports reach the Audio tab through the main
// queue (RemoteAudioController).
void AppDelegate::startAudioDeviceListeners() { remoteAudio->startAudioSystem(); }

void AppDelegate::startSleepWatcher() {
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    const QDBusConnection bus =
        options_.loginManagerBus.empty()
            ? QDBusConnection::systemBus()
            : QDBusConnection::connectToBus(QString::fromStdString(options_.loginManagerBus),
                                            QStringLiteral("login-manager"));
    sleepWatcher_ = std::make_unique<SleepWatcher>(
        [weak](SleepWatcher::SleepLock lock) {
            if (auto self = weak.lock()) {
                self->receiveSleepNote(std::move(lock));
            }
        },
        [weak] {
            if (auto self = weak.lock()) {
                self->receiveWakeNote();
            }
        },
        bus);
}

bool AppDelegate::watchingSleep() const { return sleepWatcher_ && sleepWatcher_->watching(); }

}  // namespace vm
