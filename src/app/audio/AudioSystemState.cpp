#include "app/audio/AudioSystemState.h"

namespace vm {

namespace {

AudioDevice deviceFrom(const AudioDeviceRecord& record) {
    AudioDevice device;
    device.setDeviceID(record.deviceID);
    device.setName(record.name);
    device.setManufacturer(record.manufacturer);
    device.setUid(record.uid);
    device.setInputChannelCount(record.inputChannels);
    device.setOutputChannelCount(record.outputChannels);
    return device;
}

}  // namespace

AudioSystemState AudioSystemState::read(AudioBackend& backend) {
    return {backend.devices(), backend.defaultDevice(AudioDirection::Input),
            backend.defaultDevice(AudioDirection::Output)};
}

std::vector<AudioDevice> AudioSystemState::devicesFor(AudioDirection direction) const {
    std::vector<AudioDevice> found;
    for (const auto& record : devices) {
        const auto channels =
            direction == AudioDirection::Input ? record.inputChannels : record.outputChannels;
        if (channels > 0) {
            found.push_back(deviceFrom(record));
        }
    }
    return found;
}

std::optional<AudioDevice> AudioSystemState::deviceWithUid(const std::string& uid) const {
    for (const auto& record : devices) {
        if (record.uid == uid) {
            return deviceFrom(record);
        }
    }
    return std::nullopt;
}

std::vector<std::string> AudioSystemState::uids() const {
    std::vector<std::string> all;
    for (const auto& record : devices) {
        all.push_back(record.uid);
    }
    return all;
}

}  // namespace vm
