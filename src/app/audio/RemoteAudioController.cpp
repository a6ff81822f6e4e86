// The remote-audio switch, the Audio tab's actions, the engine's lifetime with the session and
// the volume control that follows the switch.
#include "app/audio/RemoteAudioController.h"

#include "app/audio/RemoteAudioHost.h"
#include "audio/VMRemoteAudioHandler.h"
#include "platform/core/Defaults.h"
#include "platform/core/Log.h"
#include "radio/Radio.h"

#include <fmt/format.h>

namespace vm {

namespace {

constexpr int kDefaultVolume = 80;

std::string stored(const char* key, const char* absent) {
    return Defaults::standard().stringForKey(key).value_or(absent);
}

int storedVolume(const char* key) {
    return int(Defaults::standard().integerForKey(key).value_or(kDefaultVolume));
}

}  // namespace

std::shared_ptr<RemoteAudioController> RemoteAudioController::create(
    AudioPrefsPage& page, std::weak_ptr<RemoteAudioHost> host) {
    std::shared_ptr<RemoteAudioController> room(new RemoteAudioController(page, std::move(host)));
    room->connectPage();
    return room;
}

RemoteAudioController::RemoteAudioController(AudioPrefsPage& page,
                                             std::weak_ptr<RemoteAudioHost> host)
    : page_(&page),
      host_(std::move(host)),
      audio_system_queue_(DispatchQueue::serial("com.velmorasoftware.vmsdr.audio_system")) {}

RemoteAudioController::~RemoteAudioController() {
    if (const auto backend = backend_.lock()) {
        backend->removeDevicesChangedListener(listener_);
    }
}

void RemoteAudioController::connectPage() {
    std::weak_ptr<RemoteAudioController> weak = weak_from_this();
    QObject::connect(page_, &AudioPrefsPage::audioInputDevicesPopupChanged, page_,
                     [weak](const std::string& title) {
                         if (const auto self = weak.lock()) {
                             self->audioInputDevicesPopupChanged(title);
                         }
                     });
    QObject::connect(page_, &AudioPrefsPage::audioOutputDevicesPopupChanged, page_,
                     [weak](const std::string& title) {
                         if (const auto self = weak.lock()) {
                             self->audioOutputDevicesPopupChanged(title);
                         }
                     });
    QObject::connect(page_, &AudioPrefsPage::remoteAudioCheckBoxChanged, page_, [weak](bool on) {
        if (const auto self = weak.lock()) {
            self->remoteAudioCheckBoxChanged(on);
        }
    });
    QObject::connect(page_, &AudioPrefsPage::recordSoundFile, page_, [weak](bool on) {
        if (const auto self = weak.lock()) {
            self->recordSoundFile(on);
        }
    });
    QObject::connect(page_, &AudioPrefsPage::transmitSoundFile, page_,
                     [weak](const std::string& title) {
                         if (const auto self = weak.lock()) {
                             self->transmitSoundFile(title);
                         }
                     });
}

bool RemoteAudioController::remoteAudioOn() const { return page_ && page_->remoteAudio(); }

void RemoteAudioController::turnRemoteAudioOn(bool on) {
    const auto host = host_.lock();
    const std::shared_ptr<Radio> radio = host ? host->sessionRadio() : nullptr;
    if (!radio) {
        return;
    }
    log("turnRemoteAudioOn:[{}] micList:[{}]", on ? 1 : 0, fmt::join(radio->micList(), ","));
    if (on) {
        if (!audioSystemReady()) {
            log("turnRemoteAudioOn: the sound system has not answered; remote audio starts once "
                "it does");
            waitingForAudioSystem_ = true;
            return;
        }
        if (audioHandler) {
            audioHandler->stopAudioStream();  // a second switch-on replaces the running engine
        }
        audioHandler = VMRemoteAudioHandler::create(radio, weak_from_this());
        audioHandler->setVoiceFileApplication(
            std::weak_ptr<VoiceFileApplication>(shared_from_this()));
        audioHandler->loadSoundFiles();
        radio->setRemoteAudio(1);
        radio->setMicSelection(stored("mac_mic_source", "PC"));
        audioHandler->micAudioOnOff(true);
        const int volume = storedVolume("remote_audio_volume");
        std::weak_ptr<RemoteAudioController> weak = weak_from_this();
        DispatchQueue::main()->after(std::chrono::milliseconds(100), [weak, volume] {
            const auto self = weak.lock();
            if (!self) {
                return;
            }
            if (self->page_) {
                self->page_->showRadioSpeakerVolume(volume);
            }
            if (self->audioHandler) {
                self->audioHandler->setOutputVolume(float(volume / 100.0));
            }
        });
    } else {
        waitingForAudioSystem_ = false;
        radio->setRemoteAudio(0);
        radio->setMicSelection(stored("radio_mic_source", "MIC"));
        // The engine goes with the switch: its streams removed from the radio, its devices closed.
        if (const auto engine = std::exchange(audioHandler, nullptr)) {
            engine->stopAudioStream();
            engine->micAudioOnOff(false);
        }
        if (page_) {
            page_->showRadioSpeakerVolume(storedVolume("local_audio_volume"));
        }
    }
    host->remoteAudioSwitched(on, radio);
    radio->setRemoteAudio(on ? 1 : 0);
}

void RemoteAudioController::restartRemoteAudio() {
    turnRemoteAudioOn(false);
    turnRemoteAudioOn(true);
}

void RemoteAudioController::audioInputDevicesPopupChanged(const std::string& title) {
    log("audioInputDevicesPopupChanged:selected:[{}]", title);
    Defaults::standard().set("audio_input_device_01", PlistValue(title));
    if (remoteAudioOn()) {
        restartRemoteAudio();
    }
}

void RemoteAudioController::audioOutputDevicesPopupChanged(const std::string& title) {
    log("audioOutputDevicesPopupChanged:selected:[{}]", title);
    Defaults::standard().set("audio_out_device_01", PlistValue(title));
    if (remoteAudioOn()) {
        restartRemoteAudio();
    }
}

void RemoteAudioController::remoteAudioCheckBoxChanged(bool on) {
    log("remoteAudioCheckBoxChanged:remoteAudioCheckBox:[{}]", on ? 1 : 0);
    turnRemoteAudioOn(on);
    Defaults::standard().set("remote_audio", PlistValue(std::int64_t{on ? 1 : 0}));
}

void RemoteAudioController::restoreRemoteAudio() {
    const auto saved = Defaults::standard().boolForKey("remote_audio");
    if (!saved || !*saved || !page_) {
        return;
    }
    page_->setRemoteAudio(true);
    turnRemoteAudioOn(page_->remoteAudio());
}

void RemoteAudioController::sessionClosing() {
    startupComplete_ = false;
    if (remoteAudioOn() || audioHandler) {
        turnRemoteAudioOn(false);
    }
}

}  // namespace vm
