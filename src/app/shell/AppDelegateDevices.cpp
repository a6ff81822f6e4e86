// Devices that come and go while the program runs: serial ports (the tuning knob's), audio
// devices, and the computer's own sleep and wake.
#include "app/shell/AppDelegate.h"

#include "app/control/DoroControlController.h"
#include "app/windows/AudioPrefsPage.h"
#include "app/windows/KnobPrefsPage.h"
#include "app/windows/PreferencesWindow.h"
#include "localaudio/AudioDevice.h"
#include "platform/audio/AudioBackend.h"
#include "platform/core/Log.h"
#include "platform/ui/SleepWatcher.h"

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
    prefsWindow->knobPage().reloadSerialPorts();
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    DispatchQueue::main()->async([weak] {
        if (auto self = weak.lock()) {
            self->prefsWindow->knobPage().restoreSerialPort();
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
        AudioPrefsPage::Side side;
        std::vector<AudioDevice> devices;
    };
    Side sides[] = {
        {"loadAudioDevicePopups:Input Devices", "loadAudioDevicePopups:Input: {}",
         "loadAudioDevicePopups: {} input_devices, {} selected", AudioPrefsPage::Side::input,
         AudioDevice::inputDevices()},
        {"loadAudioDevicePopups:Output Devices", "loadAudioDevicePopups:Output: {}",
         "loadAudioDevicePopups: {} output_devices, {} selected", AudioPrefsPage::Side::output,
         AudioDevice::outputDevices()},
    };
    AudioPrefsPage& page = prefsWindow->audioPage();
    for (auto& side : sides) {
        if (verbose) {
            logLine(side.heading);
        }
        std::vector<AudioPrefsPage::Device> entries;
        if (!side.devices.empty()) {
            entries.push_back({"System", ""});
        }
        for (const auto& device : side.devices) {
            entries.push_back({device.name(), device.uid()});
            if (verbose) {
                log(fmt::runtime(side.itemLine), device.name());
            }
        }
        page.setAudioDevices(side.side, entries);
        log(fmt::runtime(side.summary), side.devices.size(), page.audioDevice(side.side));
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
    doro_control_connected = prefsWindow->knobPage().doroControl();
    if (doro_control_connected) {
        log("receiveSleepNote: Closing DoroControl");
        doroControl->openCloseDoroControl(false);
    }
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
        KnobPrefsPage& knob = self->prefsWindow->knobPage();
        knob.reloadSerialPorts();
        knob.restoreSerialPort();
        if (self->doro_control_connected) {
            knob.setDoroControl(true);
            log("receiveWakeNote: Open DoroControl");
            self->doroControl->openCloseDoroControl(true);
        }
    });
}

}  // namespace vm
