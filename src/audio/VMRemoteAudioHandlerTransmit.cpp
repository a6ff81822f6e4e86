// The transmit path: the microphone, its format and its slices, and the packets' way to the
// transmit stream.
#include "audio/VMRemoteAudioHandler.h"

#include "audio/OpusAudio.h"
#include "audio/RemoteAudio.h"
#include "localaudio/AudioUtilities.h"
#include "platform/core/Log.h"

namespace vm {

void VMRemoteAudioHandler::setupMicrophone() {
    const auto app = app_.lock();
    const auto choice = app ? app->inputDeviceChoice() : std::nullopt;
    if (!choice) {
        log("There is no remote audio input device");
        return;
    }
    AudioDevice device;
    if (choice->device) {
        device = *choice->device;
        log("setupMicrophone:selectedMicrophone:[{}]", choice->title);
    } else {
        device = AudioDevice::currentInputDevice();
        if (device.deviceID() == kAudioObjectUnknown) {
            log("setupMicrophone:No Input Devices");
            return;
        }
        log("setupMicrophone:selectedMicrophone:[{}]", device.name());
    }
    auto mic =
        Microphone::microphoneWithDelegate(std::weak_ptr<MicrophoneDelegate>(shared_from_this()));
    // Reads the device's format again and rebuilds the transmit converter before capture starts.
    mic->setDevice(device);
    AudioUtilities::printASBD(mic->audioStreamBasicDescription());
    std::lock_guard lock(mutex_);
    microphone_ = std::move(mic);
}

void VMRemoteAudioHandler::micAudioOnOff(bool on) {
    if (!microphone()) {
        setupMicrophone();
    }
    log("micAudioOnOff:[{}]", on ? 1 : 0);
    const auto mic = microphone();
    if (!mic) {
        return;
    }
    if (on) {
        transmitter_->restart();
        mic->startFetchingAudio();
    } else {
        mic->stopFetchingAudio();
        transmitter_->clear();
    }
}

void VMRemoteAudioHandler::microphoneHasAudioStreamBasicDescription(
    Microphone& microphone, AudioStreamBasicDescription format) {
    log("microphone:hasAudioStreamBasicDescription:[{}]", microphone.device().name());
    transmitter_->setSourceFormat(format);
    voiceRecorder_->setSourceFormat(format);
}

void VMRemoteAudioHandler::microphoneHasBufferList(Microphone& /*microphone*/,
                                                   AudioBufferList* bufferList,
                                                   std::uint32_t bufferSize,
                                                   std::uint32_t /*numberOfChannels*/) {
    transmitter_->appendCapture(bufferList, bufferSize);
    voiceRecorder_->appendCapture(bufferList, bufferSize);
}

void VMRemoteAudioHandler::microphoneChangedDevice(Microphone& /*microphone*/,
                                                   const AudioDevice& device) {
    log("microphone:changedDevice:Changed input device to: {}", device.name());
    DispatchQueue::main()->async([app = app_, name = device.name()] {
        if (const auto shown = app.lock()) {
            shown->showInputDevice(name);
        }
    });
}

void VMRemoteAudioHandler::TransmitRoute::send(const Bytes& packet) {
    std::shared_ptr<RemoteAudio> tx;
    std::shared_ptr<OpusAudio> opus;
    {
        std::lock_guard lock(mutex);
        if (v3) {
            tx = txStream.lock();
        } else {
            opus = opusStream.lock();
        }
    }
    if (tx) {
        tx->streamSend(packet);
    } else if (opus) {
        opus->streamSend(packet);
    }
}

}  // namespace vm
