#include "platform/audio/AudioBackend.h"

#include "platform/audio/PortAudioBackend.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace vm {

namespace {
// `sharedMutex` guards the slot and is held only to read or write it; `makeMutex` is held while
// the PortAudio backend is made, which may take as long as the sound system takes to answer.
std::mutex sharedMutex;
std::mutex makeMutex;
std::shared_ptr<AudioBackend>& sharedSlot() {
    static std::shared_ptr<AudioBackend> backend;
    return backend;
}
}  // namespace

std::uint64_t audioHostTime() {
    return std::uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(
                             std::chrono::steady_clock::now().time_since_epoch())
                             .count());
}

std::shared_ptr<AudioBackend> AudioBackend::shared() {
    if (auto backend = sharedIfStarted()) {
        return backend;
    }
    std::lock_guard make(makeMutex);
    if (auto backend = sharedIfStarted()) {
        return backend;  // made by another thread meanwhile
    }
    auto backend = std::make_shared<PortAudioBackend>();
    {
        std::lock_guard lock(sharedMutex);
        auto& slot = sharedSlot();
        if (slot) {
            return slot;  // a test installed its own meanwhile
        }
        slot = backend;
    }
    // Registered after the dispatch threads' own exit handler (the backend's queue and device
    // watch started them), so it runs before those threads stop.
    static const bool once = [] { return std::atexit(&AudioBackend::shutdownShared) == 0; }();
    (void)once;
    return backend;
}

void AudioBackend::setShared(std::shared_ptr<AudioBackend> backend) {
    std::lock_guard lock(sharedMutex);
    sharedSlot() = std::move(backend);
}

std::shared_ptr<AudioBackend> AudioBackend::sharedIfStarted() {
    std::lock_guard lock(sharedMutex);
    return sharedSlot();
}

void AudioBackend::shutdownShared() {
    std::shared_ptr<AudioBackend> backend;
    {
        std::lock_guard lock(sharedMutex);
        backend.swap(sharedSlot());
    }
    if (backend) {
        backend->shutdown();
    }
}

OSStatus AudioBackend::deviceIDs(std::vector<AudioDeviceID>* ids) {
    if (!ids) {
        return kAudioParamError;
    }
    ids->clear();
    for (const auto& device : devices()) {
        ids->push_back(device.deviceID);
    }
    return 0;
}

OSStatus AudioBackend::defaultDeviceID(AudioDirection direction, AudioDeviceID* id) {
    if (!id) {
        return kAudioParamError;
    }
    *id = defaultDevice(direction);
    return 0;
}

OSStatus AudioBackend::deviceRecord(AudioDeviceID device, AudioDeviceRecord* record) {
    const auto all = devices();
    auto it = std::find_if(all.begin(), all.end(),
                           [&](const AudioDeviceRecord& r) { return r.deviceID == device; });
    if (it == all.end()) {
        return kAudioBadDeviceError;
    }
    *record = *it;
    return 0;
}

OSStatus AudioBackend::stringProperty(AudioDeviceID device, AudioDeviceStringProperty property,
                                      std::string* value) {
    AudioDeviceRecord record;
    if (OSStatus status = deviceRecord(device, &record)) {
        return status;
    }
    switch (property) {
        case AudioDeviceStringProperty::Name: *value = record.name; break;
        case AudioDeviceStringProperty::Manufacturer: *value = record.manufacturer; break;
        case AudioDeviceStringProperty::UID: *value = record.uid; break;
    }
    return 0;
}

OSStatus AudioBackend::streamConfiguration(AudioDeviceID device, AudioDirection direction,
                                           std::vector<std::uint32_t>* channelsPerStream) {
    AudioDeviceRecord record;
    if (OSStatus status = deviceRecord(device, &record)) {
        return status;
    }
    channelsPerStream->clear();
    const auto channels =
        direction == AudioDirection::Input ? record.inputChannels : record.outputChannels;
    if (channels > 0) {
        channelsPerStream->push_back(channels);
    }
    return 0;
}

std::uint64_t AudioBackend::addDevicesChangedListener(Listener listener) {
    std::lock_guard lock(listenersMutex_);
    const auto token = nextToken_++;
    listeners_.emplace(token, std::move(listener));
    return token;
}

void AudioBackend::removeDevicesChangedListener(std::uint64_t token) {
    std::lock_guard lock(listenersMutex_);
    listeners_.erase(token);
}

void AudioBackend::notifyDevicesChanged() {
    std::vector<Listener> copy;
    {
        std::lock_guard lock(listenersMutex_);
        for (const auto& [token, listener] : listeners_) {
            copy.push_back(listener);
        }
    }
    for (const auto& listener : copy) {
        listener();
    }
}

}  // namespace vm
