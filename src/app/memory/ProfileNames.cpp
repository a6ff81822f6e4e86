#include "app/memory/ProfileNames.h"

#include "platform/core/Defaults.h"

#include <optional>

namespace vm {

namespace {

constexpr const char* kGlobalKey = "saved_profile_name";
constexpr const char* kTransmitKey = "saved_tx_profile_name";
constexpr const char* kMicKey = "saved_mic_profile_name";

std::optional<std::string> text(const PlistDict& dict, const char* key) {
    const auto found = dict.find(key);
    if (found == dict.end()) {
        return std::nullopt;
    }
    const auto* value = found->second.get<std::string>();
    return value ? std::optional(*value) : std::nullopt;
}

}  // namespace

ProfileNames savedProfileNames(const std::string& serialNumber) {
    ProfileNames names{kDefaultProfileName, kDefaultProfileName, kDefaultProfileName};
    if (serialNumber.empty()) {
        return names;
    }
    const std::optional<PlistDict> saved = Defaults::standard().dictionaryForKey(serialNumber);
    if (!saved) {
        return names;
    }
    const std::optional<std::string> global = text(*saved, kGlobalKey);
    if (!global) {
        return names;
    }
    names.global = *global;
    names.transmit = text(*saved, kTransmitKey).value_or(kDefaultProfileName);
    names.mic = text(*saved, kMicKey).value_or(kDefaultProfileName);
    return names;
}

bool storeProfileNames(const std::string& serialNumber, const ProfileNames& names) {
    if (serialNumber.empty()) {
        return false;
    }
    return Defaults::standard().set(serialNumber, PlistDict{{kGlobalKey, names.global},
                                                            {kTransmitKey, names.transmit},
                                                            {kMicKey, names.mic}});
}

}  // namespace vm
