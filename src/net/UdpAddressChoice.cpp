#include "net/UdpAddressChoice.h"

#include "net/UdpSocketError.h"

namespace vm {

UdpAddressChoice chooseUdpAddress(const UdpFamilyRules& rules,
                                  const std::vector<SocketAddress>& addresses) {
    bool any4 = false;
    bool any6 = false;
    for (const auto& address : addresses) {
        any4 = any4 || sockaddr::isIPv4Address(address);
        any6 = any6 || sockaddr::isIPv6Address(address);
    }
    UdpAddressChoice choice;
    if (rules.ipv4Disabled && !any6) {
        choice.error =
            udp::otherError("IPv4 has been disabled and DNS lookup found no IPv6 address(es).");
    } else if (rules.ipv6Disabled && !any4) {
        choice.error =
            udp::otherError("IPv6 has been disabled and DNS lookup found no IPv4 address(es).");
    } else if (rules.ipv4Deactivated && !any6) {
        choice.error = udp::otherError(
            "IPv4 has been deactivated due to bind/connect, and DNS lookup found no IPv6 "
            "address(es).");
    } else if (rules.ipv6Deactivated && !any4) {
        choice.error = udp::otherError(
            "IPv6 has been deactivated due to bind/connect, and DNS lookup found no IPv4 "
            "address(es).");
    }
    if (choice.error) {
        return choice;
    }
    // Only the families the socket can send on take part: a list that names a disabled family
    // first must not send through a socket that does not exist.
    const bool may4 = !rules.ipv4Disabled && !rules.ipv4Deactivated;
    const bool may6 = !rules.ipv6Disabled && !rules.ipv6Deactivated;
    const SocketAddress* first4 = nullptr;
    const SocketAddress* first6 = nullptr;
    bool fourFirst = false;
    for (const auto& address : addresses) {
        if (may4 && !first4 && sockaddr::isIPv4Address(address)) {
            first4 = &address;
            fourFirst = first6 == nullptr;
        } else if (may6 && !first6 && sockaddr::isIPv6Address(address)) {
            first6 = &address;
        }
    }
    if (!first4 && !first6) {
        choice.error = udp::badParamError("A valid IPv4 or IPv6 address was not given");
        return choice;
    }
    bool useIPv4;
    if ((rules.preferIPv4 && first4) || !first6) {
        useIPv4 = true;
    } else if (rules.preferIPv6 || !first4) {
        useIPv4 = false;
    } else {
        useIPv4 = fourFirst;
    }
    choice.family = useIPv4 ? AF_INET : AF_INET6;
    choice.address = useIPv4 ? *first4 : *first6;
    return choice;
}

}  // namespace vm
