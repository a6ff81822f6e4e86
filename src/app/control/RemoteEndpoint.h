#pragma once
// Where the session with a DoroLink radio is opened: the radio's public address and its TLS port,
// the one its router maps by UPnP when the radio uses UPnP, else the one forwarded by hand.
#include "radio/RadioInstance.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vm {

struct RemoteEndpoint {
    std::string ip;
    std::uint16_t port = 0;
    bool operator==(const RemoteEndpoint&) const = default;
};

// Nothing when the record has no public address, or when its port text is not a port (no
// number, 0, or beyond 65535): such a record cannot be reached.
std::optional<RemoteEndpoint> remoteRadioEndpoint(const RadioInstance& radio);

}  // namespace vm
