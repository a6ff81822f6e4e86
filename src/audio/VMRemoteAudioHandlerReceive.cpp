// The receive path: the output and its playback, the frames of the receive stream, the volume and
// the output device.
#include "audio/VMRemoteAudioHandler.h"

#include "localaudio/AudioUtilities.h"
#include "platform/core/Log.h"

namespace vm {

void VMRemoteAudioHandler::setupOutput(bool compressed) {
    const auto app = app_.lock();
    const auto choice = app ? app->outputDeviceChoice() : std::nullopt;
    if (!choice) {
        log("There is no remote audio output device selected");
        return;
    }
    AudioDevice device;
    if (choice->device) {
        device = *choice->device;
        log("setupOutput:[{}]", choice->title);
    } else {
        device = AudioDevice::currentOutputDevice();
        if (device.deviceID() == kAudioObjectUnknown) {
            log("setupOutput:No Output Devices");
            std::shared_ptr<AudioOutput> old;
            {
                std::lock_guard lock(mutex_);
                old = std::move(output_);
            }
            if (old) {
                old->stopPlayback();
            }
            return;
        }
        log("setupOutput:[{}]", device.name());
    }
    const auto playback = RemoteAudioPlayback::create(compressed);
    if (!playback) {
        return;
    }
    // The old output stops before anything it renders from is replaced: once stopPlayback has
    // returned its render thread no longer reads the old ring.
    if (const auto old = output()) {
        old->stopPlayback();
    }
    const AudioStreamBasicDescription format = RemoteAudioPlayback::format(compressed);
    auto out = AudioOutput::outputWithDataSource(playback, format);
    out->setDelegate(std::weak_ptr<AudioOutputDelegate>(shared_from_this()));
    out->setDevice(device);
    out->setInputFormat(format);
    AudioUtilities::printASBD(format);
    std::lock_guard lock(mutex_);
    output_ = std::move(out);
    playback_ = playback;
}

void VMRemoteAudioHandler::streamReceive(const StreamFrame& frame) {
    const auto app = app_.lock();
    if (!app || !app->radioStartupComplete()) {
        return;
    }
    if (frame.numSamples <= 0 || !frame.samples) {
        log("streamReceive:numSamples:[{}]", frame.numSamples);
        return;
    }
    const auto current = playback();
    if (!current) {
        return;
    }
    Bytes data(frame.samples, static_cast<std::size_t>(frame.numSamples));
    if (current->compressed()) {
        current->decodeAndWrite(data);
        return;
    }
    uncompressedAudioQueue_->async([current, data = std::move(data)] {
        current->write(data.data(), static_cast<std::uint32_t>(data.size()));
    });
}

void VMRemoteAudioHandler::setOutputVolume(float volume) {
    if (const auto out = output()) {
        out->setVolume(volume);
    }
}

float VMRemoteAudioHandler::outputVolume() const {
    const auto out = output();
    return out ? out->volume() : 0;
}

void VMRemoteAudioHandler::outputChangedDevice(AudioOutput& /*output*/, const AudioDevice& device) {
    log("output:changedDevice:Change output device to: {}", device.name());
    DispatchQueue::main()->async([app = app_, name = device.name()] {
        if (const auto shown = app.lock()) {
            shown->showOutputDevice(name);
        }
    });
}

}  // namespace vm
