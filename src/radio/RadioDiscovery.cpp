// Parsing of discovery datagrams into radio records.
#include "radio/RadioDiscovery.h"

#include "platform/core/DispatchClock.h"
#include "platform/core/Log.h"
#include "platform/core/TextValues.h"
#include "radio/RadioVersion.h"
#include "radio/VITA.h"
#include "util/TextUnits.h"
#include "util/Utf16.h"

#include <algorithm>
#include <memory>
#include <string_view>

namespace vm::discovery {

namespace {

enum Token : int {
    kIp = 1,
    kPort,
    kModel,
    kSerial,
    kCallsign,
    kNickname,
    kDiscoveryProtocolVersion,
    kVersion,
    kStatus,
    kInUseIp,
    kInUseHost,
    kMaxLicensedVersion,
    kRadioLicenseId,
    kRequiresAdditionalLicense,
    kFpcMac,
    kWanConnected,
    kLicensedClients,
    kAvailableClients,
    kMaxPanadapters,
    kAvailablePanadapters,
    kMaxSlices,
    kAvailableSlices,
    kGuiClientIps,
    kGuiClientHosts,
    kGuiClientPrograms,
    kGuiClientStations,
    kGuiClientHandles,
};

// Legacy layout: text slots of the model and the serial number; the name runs to the end.
constexpr std::size_t kMarkerOffset = 4;
constexpr std::size_t kModelOffset = 16;
constexpr std::size_t kSerialOffset = 52;
constexpr std::size_t kNameOffset = 88;

bool isLegacy(const Bytes& data) {
    if (data.size() < kMarkerOffset + 2) {
        return false;
    }
    const auto lo = static_cast<unsigned char>(data[kMarkerOffset]);
    const auto hi = static_cast<unsigned char>(data[kMarkerOffset + 1]);
    return (hi << 8 | lo) == kLegacyMarker;
}

// The NUL-terminated text in [from, to), cut at the end of the datagram; empty when it is not
// UTF-8.
std::string slotText(const Bytes& data, std::size_t from, std::size_t to) {
    if (from >= data.size()) {
        return {};
    }
    std::string_view slot(data.data() + from, std::min(to, data.size()) - from);
    slot = slot.substr(0, slot.find('\0'));
    return utf16::isValidUtf8(slot) ? std::string(slot) : std::string();
}

RadioInstance legacyRecord(const Bytes& data, const std::string& senderHost) {
    const std::string model = slotText(data, kModelOffset, kSerialOffset);
    const std::string serial = slotText(data, kSerialOffset, kNameOffset);
    std::string name = slotText(data, kNameOffset, data.size());
    if (name.empty()) {
        name = doroRadioNameFromSerialNumber(serial);
    }
    return RadioInstance(senderHost, kLegacyPort, model, serial, name, {}, {}, {}, {}, {}, {}, {});
}

std::vector<std::string> list(const std::string& value) {
    return strings::units::split(value, ',');
}

std::optional<RadioInstance> vitaRecord(const Bytes& data) {
    const VITA packet{std::string_view(data)};
    if (!packet.classIdPresent || packet.packetClassCode != kDiscoveryClassCode ||
        !packet.payload) {
        return std::nullopt;
    }
    // The text ends at the payload's end or at a NUL (radios pad the payload to whole words).
    std::string_view text(packet.payload, packet.payloadLength);
    text = text.substr(0, text.find('\0'));
    if (!utf16::isValidUtf8(text)) {
        text = {};
    }
    RadioInstance record;
    for (const std::string& token : strings::units::split(std::string(text), ' ')) {
        const auto parts = strings::units::split(token, '=');
        if (parts.size() < 2) {
            continue;
        }
        applyField(record, parts[0], parts[1]);
    }
    record.lastSeen = DispatchClock::now();
    return record;
}

}  // namespace

const TokenTable& parserTokens() {
    static const TokenTable table{
        {"ip", kIp},
        {"port", kPort},
        {"model", kModel},
        {"serial", kSerial},
        {"callsign", kCallsign},
        {"nickname", kNickname},
        {"discovery_protocol_version", kDiscoveryProtocolVersion},
        {"version", kVersion},
        {"status", kStatus},
        {"inuse_ip", kInUseIp},
        {"inuse_host", kInUseHost},
        {"max_licensed_version", kMaxLicensedVersion},
        {"radio_license_id", kRadioLicenseId},
        {"requires_additional_license", kRequiresAdditionalLicense},
        {"fpc_mac", kFpcMac},
        {"wan_connected", kWanConnected},
        {"licensed_clients", kLicensedClients},
        {"available_clients", kAvailableClients},
        {"max_panadapters", kMaxPanadapters},
        {"available_panadapters", kAvailablePanadapters},
        {"max_slices", kMaxSlices},
        {"available_slices", kAvailableSlices},
        {"gui_client_ips", kGuiClientIps},
        {"gui_client_hosts", kGuiClientHosts},
        {"gui_client_programs", kGuiClientPrograms},
        {"gui_client_stations", kGuiClientStations},
        {"gui_client_handles", kGuiClientHandles},
    };
    return table;
}

void applyField(RadioInstance& r, const std::string& key, const std::string& value) {
    const int token = parserTokens().lookup(key);
    switch (token) {
        case kIp: r.ipAddress = value; break;
        case kPort: r.port = textIntValue(value); break;
        case kModel: r.model = value; break;
        case kSerial: r.serialNum = value; break;
        case kCallsign: r.callsign = value; break;
        case kNickname:
            r.name =
                value.empty() ? doroRadioNameFromSerialNumber(r.serialNum.value_or("")) : value;
            break;
        case kDiscoveryProtocolVersion: {
            r.dpVersion = value;
            r.pversion = 2.0;
            const double version = versionStringToDouble(value);
            if (version > 0) {
                r.pversion = version;
            }
            break;
        }
        case kVersion: applyFirmwareVersion(r, value); break;
        case kStatus: r.status = value; break;
        case kInUseIp: r.inUseIp = value; break;
        case kInUseHost: r.inUseHost = value; break;
        case kMaxLicensedVersion: r.max_licensed_version = value; break;
        case kRadioLicenseId: r.radio_license_id = value; break;
        case kRequiresAdditionalLicense: r.requires_additional_license = textIntValue(value); break;
        case kFpcMac:
        case kWanConnected: break;
        case kLicensedClients: r.licensedClients = textIntValue(value); break;
        case kAvailableClients: r.availableClients = textIntValue(value); break;
        case kMaxPanadapters: r.maxPanadapters = textIntValue(value); break;
        case kAvailablePanadapters: r.availablePanadapters = textIntValue(value); break;
        case kMaxSlices: r.maxSlices = textIntValue(value); break;
        case kAvailableSlices: r.availableSlices = textIntValue(value); break;
        case kGuiClientIps: r.guiClientIps = list(value); break;
        case kGuiClientHosts: r.guiClientHosts = list(value); break;
        case kGuiClientPrograms: r.guiClientPrograms = list(value); break;
        case kGuiClientStations: r.guiClientStations = list(value); break;
        case kGuiClientHandles: r.guiClientHandles = list(value); break;
        default:
            log("udpSocket:didReceiveData Unrecognized token:[{}] k:[{}] value:[{}]", token, key,
                value);
    }
}

std::optional<RadioInstance> recordFromDatagram(const Bytes& datagram,
                                                const std::string& senderHost) {
    if (isLegacy(datagram)) {
        return legacyRecord(datagram, senderHost);
    }
    return vitaRecord(datagram);
}

}  // namespace vm::discovery
