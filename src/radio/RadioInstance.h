#pragma once
// The record of one radio that can be connected to: what local discovery heard in its
// announcements (D), what a legacy discovery datagram gave (L), or what the DoroLink server listed
// for a remote radio (S). A plain value holder; every field starts empty.
#include "platform/core/DispatchClock.h"

#include <optional>
#include <string>
#include <vector>

namespace vm {

struct RadioInstance {
    using Text = std::optional<std::string>;

    RadioInstance() = default;
    // The legacy discovery form: the first five are stored as given (empty included), each of the
    // other seven only when it has a value; `lastSeen` is now. Nothing is derived.
    RadioInstance(Text ip, std::optional<int> portNumber, Text modelName, Text serial,
                  Text radioName, Text radioCallsign, Text dp, Text firmware, Text statusText,
                  Text maxLicensed, Text licenseId, std::optional<int> additionalLicense);

    // Equal when address, port, model, serial number, status, name and call sign are equal; a
    // field absent on both sides counts as equal.
    bool isEqual(const RadioInstance& other) const;

    Text ipAddress;             // D "ip"; L the sender's address
    Text publicIp;              // S
    Text public_tls_port;       // S
    Text public_udp_port;       // S
    Text public_upnp_tls_port;  // S
    Text public_upnp_udp_port;  // S
    std::optional<int> port;    // D "port"; L 4992
    Text model;
    Text serialNum;  // identity of the radio: key of the discovery table and of the saved client id
    Text name;
    Text callsign;
    Text dpVersion;
    double pversion = 0;  // discovery protocol version as major.minor
    Text version;         // firmware version, four dot-separated numbers
    double fversion = 0;  // firmware version as major.minor
    bool supportsV3_API = false;
    bool supportsMultiDoro = false;
    bool supportsNewPan = false;
    Text radio_license_id;
    Text max_licensed_version;
    std::optional<int> requires_additional_license;
    Text status;  // "In_Use": another client holds the radio
    Text inUseIp;
    Text inUseHost;
    std::optional<bool> upnpSupported;  // S: use the UPnP ports rather than the forwarded ones
    std::optional<bool> wanRadio;       // S: true for a remote radio; empty for discovered ones
    Text wanHandle;
    // When the radio was last heard, on the dispatch clock (its ageing is a time-out).
    std::optional<DispatchClock::time_point> lastSeen;
    std::optional<int> licensedClients;
    std::optional<int> availableClients;
    std::optional<int> maxPanadapters;
    std::optional<int> availablePanadapters;
    std::optional<int> maxSlices;
    std::optional<int> availableSlices;
    std::vector<std::string> guiClientIps;
    std::vector<std::string> guiClientHosts;
    std::vector<std::string> guiClientPrograms;
    std::vector<std::string> guiClientStations;
    std::vector<std::string> guiClientHandles;
};

}  // namespace vm
