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

bool RadioInstance::isEqual(const RadioInstance& other) const {
    return presentAndEqual(ipAddress, other.ipAddress) && presentAndEqual(port, other.port) &&
           presentAndEqual(model, other.model) && presentAndEqual(serialNum, other.serialNum) &&
           presentAndEqual(status, other.status) && name == other.name &&
           callsign == other.callsign;
}

}  // namespace vm
