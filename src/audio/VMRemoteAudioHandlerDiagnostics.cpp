// The remote-audio engine's diagnostics: the device listing, the default output device, and the
// level of a captured buffer. Nothing in the program calls them.
#include "audio/VMRemoteAudioHandler.h"

#include "platform/audio/AudioBackend.h"
#include "platform/core/Log.h"

#include <cmath>
#include <cstdint>
#include <numeric>

namespace vm {

namespace {

std::uint32_t channelTotal(const std::vector<std::uint32_t>& channelsPerStream) {
    return std::accumulate(channelsPerStream.begin(), channelsPerStream.end(), std::uint32_t{0});
}

}  // namespace

void VMRemoteAudioHandler::updateAudioDeviceList() {
    const auto backend = AudioBackend::shared();
    std::vector<AudioDeviceID> ids;
    if (const OSStatus status = backend->deviceIDs(&ids)) {
        log("GetAudioDevices:Error in AudioObjectGetPropertyData: {}", status);
        return;
    }
    for (const AudioDeviceID id : ids) {
        std::string uid;
        if (const OSStatus status =
                backend->stringProperty(id, AudioDeviceStringProperty::UID, &uid)) {
            log("updateAudioDeviceList:get UID:[{}] error:[{}]", uid, status);
            return;
        }
        std::string name;
        if (const OSStatus status =
                backend->stringProperty(id, AudioDeviceStringProperty::Name, &name)) {
            log("updateAudioDeviceList:get device name:err:[{}]", status);
            return;
        }
        std::uint32_t inputs = 0;
        std::uint32_t outputs = 0;
        for (const auto& [direction, failure] :
             {std::pair{AudioDirection::Input,
                        "updateAudioDeviceList:get input channels:Device Name:[{}] error:[{:x}]"},
              std::pair{
                  AudioDirection::Output,
                  "updateAudioDeviceList:get output channels:Device Name:[{}] error:[{:x}]"}}) {
            std::vector<std::uint32_t> perStream;
            if (const OSStatus status = backend->streamConfiguration(id, direction, &perStream)) {
                logLine(
                    fmt::format(fmt::runtime(failure), name, static_cast<std::uint32_t>(status)));
                return;
            }
            (direction == AudioDirection::Input ? inputs : outputs) = channelTotal(perStream);
        }
        log("updateAudioDeviceList:theNumberOutputChannels: [{}] theNumberInputChannels:[{}] "
            "device Name:[{}]",
            outputs, inputs, name);
    }
}

OSStatus VMRemoteAudioHandler::setDefaultAudioDevice(AudioDeviceID /*deviceId*/) {
    const OSStatus status = kAudioHardwareUnsupportedOperationError;
    log("Error in AudioObjectSetPropertyData: kAudioHardwarePropertyDefaultOutputDevice: {}",
        status);
    return status;
}

void VMRemoteAudioHandler::checkInputLevel(const AudioBufferList* bufferList) {
    double sum = 0;
    std::size_t count = 0;
    if (bufferList && bufferList->mNumberBuffers > 0 && bufferList->mBuffers[0].mData) {
        const AudioBuffer& buffer = bufferList->mBuffers[0];
        const auto* samples = static_cast<const float*>(buffer.mData);
        const std::size_t total = buffer.mDataByteSize / sizeof(float);
        for (std::size_t i = 0; i < total; i += 2) {
            sum += std::fabs(samples[i]);
            ++count;
        }
    }
    const double mean = count > 0 ? sum / double(count) : 0.0;
    log("Input buffer level = {:f}", mean > 0 ? 20 * std::log10(mean) : -300.0);
}

}  // namespace vm
