#include "radio/RadioVersion.h"

#include "platform/core/Log.h"
#include "radio/RadioInstance.h"
#include "util/StringAdditions.h"
#include "util/TextUnits.h"

namespace vm {

double versionStringToDouble(const std::string& version) {
    const auto parts = strings::units::split(version, '.');
    if (parts.size() != 4) {
        log("versionStringToDouble:Error:{}", version);
        return 0.0;
    }
    return strings::doubleValue(parts[0] + "." + parts[1]);
}

void applyFirmwareVersion(RadioInstance& record, const std::string& version) {
    record.version = version;
    record.fversion = versionStringToDouble(version);
    record.supportsV3_API = record.supportsV3_API || record.fversion >= kV3ApiVersion;
    record.supportsMultiDoro = record.supportsMultiDoro || record.fversion >= kMultiDoroVersion;
    record.supportsNewPan = record.supportsNewPan || record.fversion >= kNewPanVersion;
}

std::string doroRadioNameFromSerialNumber(const std::string& serialNumber) {
    if (serialNumber.empty()) {
        return {};
    }
    const auto parts = strings::units::split(serialNumber, '-');
    return parts.size() == 4 ? parts[2] + "-" + parts[3] : std::string();
}

}  // namespace vm
