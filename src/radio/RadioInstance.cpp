#include "radio/RadioInstance.h"

#include <utility>

namespace vm {

namespace {

template <class T>
void storeIfGiven(std::optional<T>& field, std::optional<T> value) {
    if (value) {
        field = std::move(value);
    }
}

// Steps 1 to 5 of the comparison: a value missing on this side is a difference.
template <class T>
bool presentAndEqual(const std::optional<T>& mine, const std::optional<T>& theirs) {
    return mine && theirs && *mine == *theirs;
}

}  // namespace

RadioInstance::RadioInstance(Text ipAddress, std::optional<int> port, Text model, Text serialNum,
                             Text name, Text callsign, Text dpVersion, Text version, Text status,
                             Text max_licensed_version, Text radio_license_id,
                             std::optional<int> requires_additional_license)
    : ipAddress(std::move(ipAddress)),
      port(port),
      model(std::move(model)),
      serialNum(std::move(serialNum)),
      name(std::move(name)),
      lastSeen(DispatchClock::now()) {
    storeIfGiven(this->callsign, std::move(callsign));
    storeIfGiven(this->dpVersion, std::move(dpVersion));
    storeIfGiven(this->version, std::move(version));
    storeIfGiven(this->status, std::move(status));
    storeIfGiven(this->max_licensed_version, std::move(max_licensed_version));
    storeIfGiven(this->radio_license_id, std::move(radio_license_id));
    storeIfGiven(this->requires_additional_license, requires_additional_license);
}

bool RadioInstance::isEqual(const RadioInstance& other) const {
    return presentAndEqual(ipAddress, other.ipAddress) && presentAndEqual(port, other.port) &&
           presentAndEqual(model, other.model) && presentAndEqual(serialNum, other.serialNum) &&
           presentAndEqual(status, other.status) && name == other.name &&
           callsign == other.callsign;
}

}  // namespace vm
