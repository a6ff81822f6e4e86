#include "dorolink/WanRadioList.h"

#include "radio/RadioVersion.h"
#include "radio/RecordTable.h"
#include "util/StringAdditions.h"
#include "util/TextUnits.h"
#include "util/Utf16.h"

#include <string_view>

namespace vm::wan {

namespace {

struct ListKey {
    std::string_view key;
    void (*set)(RadioInstance& record, const std::string& value);
};

void setVersion(RadioInstance& record, const std::string& value) {
    applyFirmwareVersion(record, value);
}

// The keys of an entry and the fields they fill. "radio_name" is read on its own (it falls back
// on the serial number); "last_seen" is the server's text, which nothing reads for a listed radio.
constexpr ListKey kListKeys[] = {
    {"callsign", field<&RadioInstance::callsign>},
    {"inUseHost", field<&RadioInstance::inUseHost>},
    {"inUseIp", field<&RadioInstance::inUseIp>},
    {"max_licensed_version", field<&RadioInstance::max_licensed_version>},
    {"model", field<&RadioInstance::model>},
    {"public_ip", field<&RadioInstance::publicIp>},
    {"public_tls_port", field<&RadioInstance::public_tls_port>},
    {"public_udp_port", field<&RadioInstance::public_udp_port>},
    {"public_upnp_tls_port", field<&RadioInstance::public_upnp_tls_port>},
    {"public_upnp_udp_port", field<&RadioInstance::public_upnp_udp_port>},
    {"radio_license_id", field<&RadioInstance::radio_license_id>},
    {"requires_additional_license", flag<&RadioInstance::requires_additional_license>},
    {"serial", field<&RadioInstance::serialNum>},
    {"status", field<&RadioInstance::status>},
    {"upnp_supported", field<&RadioInstance::upnpSupported>},
    {"version", setVersion},
};

}  // namespace

std::shared_ptr<RadioInstance> radioFromListPairs(const MessagePairs& pairs) {
    auto record = std::make_shared<RadioInstance>();
    for (const ListKey& row : kListKeys) {
        const auto found = pairs.find(std::string(row.key));
        if (found != pairs.end()) {
            row.set(*record, found->second);
        }
    }
    const std::string name = pairValue(pairs, "radio_name");
    record->name = name.empty() ? doroRadioNameFromSerialNumber(pairValue(pairs, "serial")) : name;
    record->wanRadio = true;
    return record;
}

std::vector<std::shared_ptr<RadioInstance>> radioListRecords(const std::string& message) {
    std::vector<std::shared_ptr<RadioInstance>> records;
    const std::string entries = strings::removeString(message, kRadioListPrefix);
    for (const std::string& entry : strings::units::split(entries, '|')) {
        if (utf16::length(entry) < kShortestListEntry) {
            continue;
        }
        records.push_back(radioFromListPairs(messagePairs(entry, false)));
    }
    return records;
}

}  // namespace vm::wan
