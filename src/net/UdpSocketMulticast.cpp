// UdpSocket: multicast group membership and the interface multicast datagrams leave by.
#include "net/NetInterface.h"
#include "net/UdpSocket.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>

namespace vm {

namespace {

template <class Sockaddr>
Sockaddr sockaddrOf(const SocketAddress& address) {
    Sockaddr value{};
    std::memcpy(&value, address.data(), sizeof value);
    return value;
}

}  // namespace

bool UdpSocket::joinMulticastGroup(const std::string& group, Error* error) {
    return joinMulticastGroup(group, std::nullopt, error);
}

bool UdpSocket::joinMulticastGroup(const std::string& group,
                                   const std::optional<std::string>& interface, Error* error) {
    return onSocketQueue([&] { return performMulticastRequest(true, group, interface, error); });
}

bool UdpSocket::leaveMulticastGroup(const std::string& group, Error* error) {
    return leaveMulticastGroup(group, std::nullopt, error);
}

bool UdpSocket::leaveMulticastGroup(const std::string& group,
                                    const std::optional<std::string>& interface, Error* error) {
    return onSocketQueue([&] { return performMulticastRequest(false, group, interface, error); });
}

bool UdpSocket::performMulticastRequest(bool join, const std::string& group,
                                        const std::optional<std::string>& interface, Error* error) {
    if (!preOp(error)) {
        return false;
    }
    if (!hasFlag(kBound)) {
        setError(error,
                 udp::badConfigError("Must bind a socket before joining a multicast group."));
        return false;
    }
    if (hasFlag(kConnecting) || hasFlag(kConnected)) {
        setError(error, udp::badConfigError("Cannot join a multicast group if connected."));
        return false;
    }
    SocketAddress group4;
    SocketAddress group6;
    sockaddr::convertNumericHost(group, 0, &group4, &group6);
    if (group4.empty() && group6.empty()) {
        setError(error, udp::badParamError("Unknown group. Specify valid group IP address."));
        return false;
    }
    SocketAddress interface4;
    SocketAddress interface6;
    netif::convertInterfaceDescription(interface, 0, &interface4, &interface6);
    if (interface4.empty() && interface6.empty()) {
        setError(error, udp::badParamError("Unknown interface. Specify valid interface by name "
                                           "(e.g. \"en1\") or IP address."));
        return false;
    }
    if (ip4_.fd != -1 && !group4.empty() && !interface4.empty()) {
        ip_mreq request{};
        request.imr_multiaddr = sockaddrOf<sockaddr_in>(group4).sin_addr;
        request.imr_interface = sockaddrOf<sockaddr_in>(interface4).sin_addr;
        if (!setOption(ip4_.fd, IPPROTO_IP, join ? IP_ADD_MEMBERSHIP : IP_DROP_MEMBERSHIP, &request,
                       sizeof request, error)) {
            return false;
        }
        closeSocket(ip6_);
        return true;
    }
    if (ip6_.fd != -1 && !group6.empty() && !interface6.empty()) {
        ipv6_mreq request{};
        request.ipv6mr_multiaddr = sockaddrOf<sockaddr_in6>(group6).sin6_addr;
        request.ipv6mr_interface = netif::indexOfInterfaceAddr6(interface6);
        if (!setOption(ip6_.fd, IPPROTO_IPV6, join ? IPV6_JOIN_GROUP : IPV6_LEAVE_GROUP, &request,
                       sizeof request, error)) {
            return false;
        }
        closeSocket(ip4_);
        return true;
    }
    setError(error,
             udp::badParamError("Socket, group, and interface do not have matching IP versions"));
    return false;
}

bool UdpSocket::sendIPv4MulticastOnInterface(const std::string& interface, Error* error) {
    return onSocketQueue([&] {
        if (!preOp(error) || !ensureSockets(error)) {
            return false;
        }
        SocketAddress interface4;
        netif::convertInterfaceDescription(interface, 0, &interface4, nullptr);
        if (interface4.empty()) {
            setError(error, udp::badParamError(
                                "Unknown interface. Specify valid interface by IP address."));
            return false;
        }
        const in_addr address = sockaddrOf<sockaddr_in>(interface4).sin_addr;
        return setOption(ip4_.fd, IPPROTO_IP, IP_MULTICAST_IF, &address, sizeof address, error);
    });
}

bool UdpSocket::sendIPv6MulticastOnInterface(const std::string& interface, Error* error) {
    return onSocketQueue([&] {
        if (!preOp(error) || !ensureSockets(error)) {
            return false;
        }
        SocketAddress interface6;
        netif::convertInterfaceDescription(interface, 0, nullptr, &interface6);
        if (interface6.empty()) {
            setError(error,
                     udp::badParamError(
                         "Unknown interface. Specify valid interface by name (e.g. \"en1\")."));
            return false;
        }
        const int index = static_cast<int>(netif::indexOfInterfaceAddr6(interface6));
        return setOption(ip6_.fd, IPPROTO_IPV6, IPV6_MULTICAST_IF, &index, sizeof index, error);
    });
}

}  // namespace vm
