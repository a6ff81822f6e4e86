#pragma once
// One sound device as a value: its id, names and channel counts, and the class functions that
// list the devices and fetch the default input and output devices. Two devices are equal when
// their UIDs are.
#include "platform/audio/AudioBackend.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vm {

// Properties of the sound system whose value is a device.
constexpr std::uint32_t kAudioHardwarePropertyDefaultInputDevice = fourCC("dIn ");
constexpr std::uint32_t kAudioHardwarePropertyDefaultOutputDevice = fourCC("dOut");

class AudioDevice {
public:
    AudioDevice() = default;

    AudioDeviceID deviceID() const { return deviceID_; }
    void setDeviceID(AudioDeviceID id) { deviceID_ = id; }
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    const std::string& manufacturer() const { return manufacturer_; }
    void setManufacturer(std::string manufacturer) { manufacturer_ = std::move(manufacturer); }
    const std::string& uid() const { return uid_; }
    void setUid(std::string uid) { uid_ = std::move(uid); }
    std::int64_t inputChannelCount() const { return inputChannelCount_; }
    void setInputChannelCount(std::int64_t count) { inputChannelCount_ = count; }
    std::int64_t outputChannelCount() const { return outputChannelCount_; }
    void setOutputChannelCount(std::int64_t count) { outputChannelCount_ = count; }

    bool operator==(const AudioDevice& other) const { return uid_ == other.uid_; }
    std::string description() const;

    // Calls `block` with each device in the sound system's order until it sets its stop flag.
    static void enumerateDevicesUsingBlock(
        const std::function<void(const AudioDevice& device, bool* stop)>& block);
    static std::vector<AudioDevice> devices();
    static std::vector<AudioDevice> inputDevices();
    static std::vector<AudioDevice> outputDevices();
    static AudioDevice currentInputDevice();
    static AudioDevice currentOutputDevice();
    static AudioDevice deviceWithPropertySelector(std::uint32_t selector);

    static std::string stringPropertyForSelector(AudioDeviceStringProperty selector,
                                                 AudioDeviceID deviceID);
    static std::string manufacturerForDeviceID(AudioDeviceID deviceID);
    static std::string namePropertyForDeviceID(AudioDeviceID deviceID);
    static std::string uidPropertyForDeviceId(AudioDeviceID deviceID);
    static std::int64_t channelCountForScope(AudioDirection scope, AudioDeviceID deviceID);

private:
    static AudioDevice deviceWithID(AudioDeviceID deviceID);

    AudioDeviceID deviceID_ = kAudioObjectUnknown;
    std::string name_;
    std::string manufacturer_;
    std::string uid_;
    std::int64_t inputChannelCount_ = 0;
    std::int64_t outputChannelCount_ = 0;
};

}  // namespace vm
