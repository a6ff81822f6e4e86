#include "support/sim/SimDiscovery.h"

#include "support/sim/SimVita.h"

#include <algorithm>

namespace vm::sim {

DiscoveryFields discoveryFields(const RadioIdentity& id, const std::string& ip, uint16_t port) {
    return {
        {"discovery_protocol_version", id.discoveryProtocolVersion},
        {"model", id.model},
        {"serial", id.serial},
        {"version", id.version},
        {"nickname", id.nickname},
        {"callsign", id.callsign},
        {"ip", ip},
        {"port", std::to_string(port)},
        {"status", id.status},
        {"max_licensed_version", "v3"},
        {"radio_license_id", "00-00-00-00-00-01"},
        {"requires_additional_license", "0"},
        {"fpc_mac", ""},
        {"wan_connected", "0"},
        {"licensed_clients", "2"},
        {"available_clients", "2"},
        {"max_panadapters", "4"},
        {"available_panadapters", "4"},
        {"max_slices", "4"},
        {"available_slices", "4"},
        {"gui_client_ips", ""},
        {"gui_client_hosts", ""},
        {"gui_client_programs", ""},
        {"gui_client_stations", ""},
        {"gui_client_handles", ""},
    };
}

void setField(DiscoveryFields& fields, const std::string& key, const std::string& value) {
    auto it = std::find_if(fields.begin(), fields.end(),
                           [&](const auto& field) { return field.first == key; });
    if (it != fields.end()) {
        it->second = value;
    } else {
        fields.emplace_back(key, value);
    }
}

std::string discoveryPayload(const DiscoveryFields& fields) {
    std::string out;
    for (const auto& [key, value] : fields) {
        out += (out.empty() ? "" : " ") + key + "=" + value;
    }
    return out;
}

std::string discoveryPacket(const DiscoveryFields& fields, uint8_t packetCount) {
    return encodeVita(streamHeader(kClassDiscovery, 0, packetCount), discoveryPayload(fields));
}

std::string legacyDiscoveryPacket(const std::string& model, const std::string& serial,
                                  const std::string& name) {
    constexpr size_t kModelAt = 16, kSerialAt = 52, kNameAt = 88, kSlot = 36;
    std::string out(kNameAt, '\0');
    out[4] = '\x13';
    out[5] = '\x80';
    out.replace(kModelAt, std::min(model.size(), kSlot - 1), model, 0, kSlot - 1);
    out.replace(kSerialAt, std::min(serial.size(), kSlot - 1), serial, 0, kSlot - 1);
    out += name;
    out.push_back('\0');
    return out;
}

}  // namespace vm::sim
