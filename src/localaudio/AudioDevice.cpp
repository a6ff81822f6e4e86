#include "localaudio/AudioDevice.h"

#include "localaudio/AudioUtilities.h"

#include <fmt/format.h>

namespace vm {

std::string AudioDevice::description() const {
    return fmt::format(
        "<AudioDevice: {}> {{ deviceID: {}, manufacturer: {}, name: {}, UID: {}, "
        "inputChannelCount: {}, outputChannelCount: {} }}",
        static_cast<const void*>(this), deviceID_, manufacturer_, name_, uid_, inputChannelCount_,
        outputChannelCount_);
}

std::string AudioDevice::stringPropertyForSelector(AudioDeviceStringProperty selector,
                                                   AudioDeviceID deviceID) {
    std::string value;
    const OSStatus status = AudioBackend::shared()->stringProperty(deviceID, selector, &value);
    AudioUtilities::checkResult(
        status, fmt::format("Failed to get device property ({})", std::uint32_t(selector)).c_str());
    return value;
}

std::string AudioDevice::manufacturerForDeviceID(AudioDeviceID deviceID) {
    return stringPropertyForSelector(AudioDeviceStringProperty::Manufacturer, deviceID);
}

std::string AudioDevice::namePropertyForDeviceID(AudioDeviceID deviceID) {
    return stringPropertyForSelector(AudioDeviceStringProperty::Name, deviceID);
}

std::string AudioDevice::uidPropertyForDeviceId(AudioDeviceID deviceID) {
    return stringPropertyForSelector(AudioDeviceStringProperty::UID, deviceID);
}

std::int64_t AudioDevice::channelCountForScope(AudioDirection scope, AudioDeviceID deviceID) {
    std::vector<std::uint32_t> streams;
    AudioUtilities::checkResult(
        AudioBackend::shared()->streamConfiguration(deviceID, scope, &streams),
        "Failed to get frame size");
    std::int64_t channels = 0;
    for (const auto count : streams) {
        channels += count;
    }
    return channels;
}

AudioDevice AudioDevice::deviceWithID(AudioDeviceID deviceID) {
    AudioDevice device;
    device.setDeviceID(deviceID);
    device.setManufacturer(manufacturerForDeviceID(deviceID));
    device.setName(namePropertyForDeviceID(deviceID));
    device.setUid(uidPropertyForDeviceId(deviceID));
    device.setInputChannelCount(channelCountForScope(AudioDirection::Input, deviceID));
    device.setOutputChannelCount(channelCountForScope(AudioDirection::Output, deviceID));
    return device;
}

void AudioDevice::enumerateDevicesUsingBlock(
    const std::function<void(const AudioDevice& device, bool* stop)>& block) {
    if (!block) {
        return;
    }
    std::vector<AudioDeviceID> ids;
    AudioUtilities::checkResult(AudioBackend::shared()->deviceIDs(&ids),
                                "Failed to get device IDs for available devices on OSX");
    bool stop = false;
    for (const AudioDeviceID id : ids) {
        block(deviceWithID(id), &stop);
        if (stop) {
            break;
        }
    }
}

namespace {

std::vector<AudioDevice> devicesWhere(bool (*keep)(const AudioDevice&)) {
    std::vector<AudioDevice> kept;
    AudioDevice::enumerateDevicesUsingBlock([&](const AudioDevice& device, bool*) {
        if (keep(device)) {
            kept.push_back(device);
        }
    });
    return kept;
}

}  // namespace

std::vector<AudioDevice> AudioDevice::devices() {
    return devicesWhere([](const AudioDevice&) { return true; });
}

std::vector<AudioDevice> AudioDevice::inputDevices() {
    return devicesWhere([](const AudioDevice& d) { return d.inputChannelCount() > 0; });
}

std::vector<AudioDevice> AudioDevice::outputDevices() {
    return devicesWhere([](const AudioDevice& d) { return d.outputChannelCount() > 0; });
}

AudioDevice AudioDevice::currentInputDevice() {
    return deviceWithPropertySelector(kAudioHardwarePropertyDefaultInputDevice);
}

AudioDevice AudioDevice::currentOutputDevice() {
    return deviceWithPropertySelector(kAudioHardwarePropertyDefaultOutputDevice);
}

AudioDevice AudioDevice::deviceWithPropertySelector(std::uint32_t selector) {
    AudioDeviceID id = kAudioObjectUnknown;
    OSStatus status = kAudioParamError;
    if (selector == kAudioHardwarePropertyDefaultInputDevice) {
        status = AudioBackend::shared()->defaultDeviceID(AudioDirection::Input, &id);
    } else if (selector == kAudioHardwarePropertyDefaultOutputDevice) {
        status = AudioBackend::shared()->defaultDeviceID(AudioDirection::Output, &id);
    }
    AudioUtilities::checkResult(status, "Failed to get device device on OSX");
    if (id == kAudioObjectUnknown) {
        // No such device (a machine without sound hardware): nothing to read properties of.
        return AudioDevice();
    }
    return deviceWithID(id);
}

}  // namespace vm
