// Devices that come and go while the program runs: serial ports (the tuning knob's), audio
// devices, and the computer's own sleep and wake.
#include "app/shell/AppDelegate.h"

#include "app/windows/PreferencesWindow.h"
#include "app/windows/SerialPortChoice.h"
#include "localaudio/AudioDevice.h"
#include "platform/audio/AudioBackend.h"
#include "platform/core/Log.h"
#include "platform/ui/ControlPrefs.h"
#include "platform/ui/SleepWatcher.h"

#include <QVariant>

namespace vm {

// What the audio system reported last, to tell which of its changes a report is.
struct AppDelegate::AudioSnapshot {
    AudioDeviceID input = 0;
    AudioDeviceID output = 0;
    std::vector<std::string> devices;  // the devices' UIDs in the system's order
};

namespace {

AudioDeviceID defaultDevice(AudioDirection direction) {
    AudioDeviceID id = 0;
    AudioBackend::shared()->defaultDeviceID(direction, &id);
    return id;
}

std::vector<std::string> deviceUids() {
    std::vector<std::string> uids;
    for (const auto& device : AudioDevice::devices()) {
        uids.push_back(device.uid());
    }
    return uids;
}

}  // namespace

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
    prefsWindow->serialPortPopup->clear();
    findPorts(prefsWindow->serialPortPopup);
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    DispatchQueue::main()->async([weak] {
        if (auto self = weak.lock()) {
            setPopupWithPrefTitle(self->prefsWindow->serialPortPopup, "doro_control_port");
        }
    });
}

void AppDelegate::startAudioDeviceListeners() {
    audioSnapshot_ = std::make_shared<AudioSnapshot>(AudioSnapshot{
        defaultDevice(AudioDirection::Input), defaultDevice(AudioDirection::Output), deviceUids()});
    // The audio system reports on a thread of its own: the report only queues the work for the
    // main queue, where the controls are.
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    audioListener_ = AudioBackend::shared()->addDevicesChangedListener([weak] {
        DispatchQueue::main()->async([weak] {
            auto self = weak.lock();
            if (!self) {
                return;
            }
            AudioSnapshot now{defaultDevice(AudioDirection::Input),
                              defaultDevice(AudioDirection::Output), deviceUids()};
            const AudioSnapshot before = *self->audioSnapshot_;
            *self->audioSnapshot_ = now;
            if (now.input != before.input) {
                self->inputDeviceChanged();
            }
            if (now.output != before.output) {
                self->outputDeviceChanged();
            }
            if (now.devices != before.devices) {
                log("audioDeviceListChangedCallbackFunction: Output Device List Changed");
                self->audioDeviceListChanged();
            }
        });
    });
}

void AppDelegate::inputDeviceChanged() { log("default inputDeviceChanged"); }

void AppDelegate::outputDeviceChanged() { log("default outputDeviceChanged"); }

void AppDelegate::audioDeviceListChanged() {
    log("Audio Device List Changed");
    loadAudioDevicePopups(true);
}

void AppDelegate::loadAudioDevicePopups(bool verbose) {
    struct Side {
        const char* heading;
        const char* itemLine;
        const char* summary;
        PopUpButton* popup;
        std::vector<AudioDevice> devices;
        const char* key;
    };
    Side sides[] = {
        {"loadAudioDevicePopups:Input Devices", "loadAudioDevicePopups:Input: {}",
         "loadAudioDevicePopups: {} input_devices, {} selected",
         prefsWindow->audioInputDevicesPopup, AudioDevice::inputDevices(), "audio_input_device_01"},
        {"loadAudioDevicePopups:Output Devices", "loadAudioDevicePopups:Output: {}",
         "loadAudioDevicePopups: {} output_devices, {} selected",
         prefsWindow->audioOutputDevicesPopup, AudioDevice::outputDevices(), "audio_out_device_01"},
    };
    for (auto& side : sides) {
        if (verbose) {
            logLine(side.heading);
        }
        side.popup->clear();
        if (!side.devices.empty()) {
            side.popup->addItem(QStringLiteral("System"));
        }
        for (const auto& device : side.devices) {
            // Each device is its own entry, with the device kept on it, even when two share a name.
            side.popup->addItem(QString::fromStdString(device.name()),
                                QString::fromStdString(device.uid()));
            if (verbose) {
                log(fmt::runtime(side.itemLine), device.name());
            }
        }
        setPopupWithPrefTitle(side.popup, side.key);
        log(fmt::runtime(side.summary), side.devices.size(), side.popup->title());
    }
}

void AppDelegate::startSleepWatcher() {
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    sleepWatcher_ = std::make_unique<SleepWatcher>(
        [weak](SleepWatcher::SleepLock) {
            if (auto self = weak.lock()) {
                self->receiveSleepNote();
            }
        },
        [weak] {
            if (auto self = weak.lock()) {
                self->receiveWakeNote();
            }
        });
}

void AppDelegate::receiveSleepNote() {
    was_connected = radioFactory && openRadio && radioConnectionState == 4;
    sleeping = true;
    log("receiveSleepNote: {}, connected:{}", "PrepareForSleep", was_connected ? "YES" : "NO");
    doro_control_connected = prefsWindow->doroControlCheckBox->state();
}

void AppDelegate::receiveWakeNote() {
    log("receiveWakeNote: {}, connected:{}", "PrepareForSleep", was_connected ? "YES" : "NO");
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    DispatchQueue::main()->after(std::chrono::seconds(1), [weak] {
        auto self = weak.lock();
        if (!self) {
            return;
        }
        self->sleeping = false;
        if (self->was_connected) {
            log("receiveWakeNote: Open DoroSDR");
            self->doroSDRisRunning = self->openDoroSDR();
        }
        self->prefsWindow->serialPortPopup->clear();
        findPorts(self->prefsWindow->serialPortPopup);
        setPopupWithPrefTitle(self->prefsWindow->serialPortPopup, "doro_control_port");
    });
}

}  // namespace vm
