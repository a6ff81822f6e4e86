// The sound system seen from the application: started off the main thread with a time limit, its
// reports read on its own thread and handed to the main queue, and the two device pop-ups filled
// from what it reported last.
#include "app/audio/RemoteAudioController.h"

#include "platform/core/Log.h"

namespace vm {

void RemoteAudioController::startAudioSystem(std::chrono::milliseconds limit) {
    std::weak_ptr<RemoteAudioController> weak = weak_from_this();
    audio_system_queue_->async([weak] {
        // Making the backend starts the sound system: this is the call that may not come back.
        const std::shared_ptr<AudioBackend> backend = AudioBackend::shared();
        std::weak_ptr<AudioBackend> weakBackend = backend;
        // A report arrives on the sound system's thread: it is read there, and only the result
        // goes to the main queue.
        const std::uint64_t listener = backend->addDevicesChangedListener([weak, weakBackend] {
            const auto reporting = weakBackend.lock();
            if (!reporting) {
                return;
            }
            DispatchQueue::main()->async([weak, now = AudioSystemState::read(*reporting)] {
                if (const auto self = weak.lock()) {
                    self->audioSystemReported(now);
                }
            });
        });
        DispatchQueue::main()->async(
            [weak, weakBackend, listener, state = AudioSystemState::read(*backend)] {
                const auto self = weak.lock();
                if (!self) {
                    if (const auto gone = weakBackend.lock()) {
                        gone->removeDevicesChangedListener(listener);
                    }
                    return;
                }
                self->backend_ = weakBackend;
                self->listener_ = listener;
                self->audioSystemAnswered(state);
            });
    });
    DispatchQueue::main()->after(limit, [weak, limit] {
        const auto self = weak.lock();
        if (self && !self->audioSystemReady()) {
            log("startAudioSystem: the sound system has not answered within {} ms; audio waits "
                "for it",
                limit.count());
        }
    });
}

void RemoteAudioController::audioSystemAnswered(const AudioSystemState& state) {
    log("startAudioSystem: the sound system answered with {} devices", state.devices.size());
    state_ = state;
    loadAudioDevicePopups(true);
    if (std::exchange(waitingForAudioSystem_, false) && remoteAudioOn()) {
        turnRemoteAudioOn(true);
    }
}

void RemoteAudioController::audioSystemReported(const AudioSystemState& now) {
    if (!state_) {
        return;  // the first answer is still on its way and carries at least this much
    }
    const AudioSystemState before = std::exchange(*state_, now);
    if (now.input != before.input) {
        inputDeviceChanged();
    }
    if (now.output != before.output) {
        outputDeviceChanged();
    }
    if (now.uids() != before.uids()) {
        log("audioDeviceListChangedCallbackFunction: Output Device List Changed");
        audioDeviceListChanged();
    }
}

void RemoteAudioController::inputDeviceChanged() {
    log("default inputDeviceChanged");
    if (remoteAudioOn()) {
        restartRemoteAudio();
    }
}

void RemoteAudioController::outputDeviceChanged() {
    log("default outputDeviceChanged");
    if (remoteAudioOn()) {
        restartRemoteAudio();
    }
}

void RemoteAudioController::audioDeviceListChanged() {
    log("Audio Device List Changed");
    loadAudioDevicePopups(true);
}

void RemoteAudioController::loadAudioDevicePopups(bool verbose) {
    if (!page_ || !state_) {
        log("loadAudioDevicePopups: the sound system has not answered yet");
        return;
    }
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
         state_->devicesFor(AudioDirection::Input)},
        {"loadAudioDevicePopups:Output Devices", "loadAudioDevicePopups:Output: {}",
         "loadAudioDevicePopups: {} output_devices, {} selected", AudioPrefsPage::Side::output,
         state_->devicesFor(AudioDirection::Output)},
    };
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
        page_->setAudioDevices(side.side, entries);
        log(fmt::runtime(side.summary), side.devices.size(), page_->audioDevice(side.side));
    }
}

std::optional<AudioDeviceChoice> RemoteAudioController::choice(AudioPrefsPage::Side side) const {
    if (!page_ || !state_) {
        return std::nullopt;
    }
    const std::string title = page_->audioDevice(side);
    if (title.empty()) {
        return std::nullopt;
    }
    const std::string uid = page_->audioDeviceUid(side);
    if (uid.empty()) {
        return AudioDeviceChoice{title, std::nullopt};  // "System": the default device
    }
    const auto device = state_->deviceWithUid(uid);
    if (!device) {
        return AudioDeviceChoice{title, std::nullopt};  // gone since: the default device
    }
    return AudioDeviceChoice{title, device};
}

std::optional<AudioDeviceChoice> RemoteAudioController::outputDeviceChoice() const {
    return choice(AudioPrefsPage::Side::output);
}

std::optional<AudioDeviceChoice> RemoteAudioController::inputDeviceChoice() const {
    return choice(AudioPrefsPage::Side::input);
}

void RemoteAudioController::showOutputDevice(const std::string& name) {
    if (page_) {
        page_->showAudioDevice(AudioPrefsPage::Side::output, name);
    }
}

void RemoteAudioController::showInputDevice(const std::string& name) {
    if (page_) {
        page_->showAudioDevice(AudioPrefsPage::Side::input, name);
    }
}

}  // namespace vm
