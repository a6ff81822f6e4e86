#pragma once
// Picks the one destination a UdpSocket uses from the addresses a host name resolved to, by the
// families it may use and the one it prefers.
#include "net/SocketAddress.h"
#include "platform/core/Error.h"

#include <optional>
#include <vector>

namespace vm {

struct UdpFamilyRules {
    bool ipv4Disabled = false;
    bool ipv6Disabled = false;
    bool ipv4Deactivated = false;  // the socket settled on IPv6 by bind or connect
    bool ipv6Deactivated = false;
    bool preferIPv4 = false;
    bool preferIPv6 = false;
};

struct UdpAddressChoice {
    int family = 0;  // AF_INET or AF_INET6; 0 with an error
    SocketAddress address;
    std::optional<Error> error;
};

UdpAddressChoice chooseUdpAddress(const UdpFamilyRules& rules,
                                  const std::vector<SocketAddress>& addresses);

}  // namespace vm
