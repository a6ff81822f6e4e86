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

}  // namespace

RadioInstance::RadioInstance(Text ip, std::optional<int> portNumber, Text modelName, Text serial,
                             Text radioName, Text radioCallsign, Text dp, Text firmware,
                             Text statusText, Text maxLicensed, Text licenseId,
                             std::optional<int> additionalLicense)
    : ipAddress(std::move(ip)),
      port(portNumber),
      model(std::move(modelName)),
      serialNum(std::move(serial)),
      name(std::move(radioName)),
      lastSeen(DispatchClock::now()) {
    storeIfGiven(callsign, std::move(radioCallsign));
    storeIfGiven(dpVersion, std::move(dp));
    storeIfGiven(version, std::move(firmware));
    storeIfGiven(status, std::move(statusText));
    storeIfGiven(max_licensed_version, std::move(maxLicensed));
    storeIfGiven(radio_license_id, std::move(licenseId));
    storeIfGiven(requires_additional_license, additionalLicense);
}

// Two absent values are equal: a radio whose announcements never carry a status (the legacy
// form) is the same radio at every announcement, not a changed one.
bool RadioInstance::isEqual(const RadioInstance& other) const {
    return ipAddress == other.ipAddress && port == other.port && model == other.model &&
           serialNum == other.serialNum && status == other.status && name == other.name &&
           callsign == other.callsign;
}

}  // namespace vm
