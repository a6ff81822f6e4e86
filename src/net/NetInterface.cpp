#include "net/NetInterface.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cstring>
#include <functional>

namespace vm::netif {

namespace {

SocketAddress bytesOf(const void* address, std::size_t length) {
    return SocketAddress(static_cast<const char*>(address), length);
}

// Calls `visit` for every entry of the interface list that has an address, until it answers true.
// False when the list cannot be read.
bool forEachInterface(const std::function<bool(const ifaddrs&)>& visit) {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        return false;
    }
    for (ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (entry->ifa_addr && visit(*entry)) {
            break;
        }
    }
    ::freeifaddrs(list);
    return true;
}

bool matches(const ifaddrs& entry, const std::string& description, const void* inAddress,
             int family) {
    char text[INET6_ADDRSTRLEN] = {};
    return description == entry.ifa_name ||
           (::inet_ntop(family, inAddress, text, sizeof text) && description == text);
}

// The index of the first interface whose address of `family` equals `address` by `same`.
template <class Sockaddr, class Same>
unsigned indexOfInterface(const SocketAddress& address, int family, Same same) {
    if (address.size() != sizeof(Sockaddr)) {
        return 0;
    }
    Sockaddr wanted;
    std::memcpy(&wanted, address.data(), sizeof wanted);
    unsigned index = 0;
    forEachInterface([&](const ifaddrs& entry) {
        if (entry.ifa_addr->sa_family != family) {
            return false;
        }
        Sockaddr candidate;
        std::memcpy(&candidate, entry.ifa_addr, sizeof candidate);
        if (!same(candidate, wanted)) {
            return false;
        }
        index = ::if_nametoindex(entry.ifa_name);
        return true;
    });
    return index;
}

}  // namespace

void convertInterfaceDescription(const std::optional<std::string>& interface, std::uint16_t port,
                                 SocketAddress* address4, SocketAddress* address6) {
    sockaddr_in v4{};
    v4.sin_family = AF_INET;
    v4.sin_port = htons(port);
    sockaddr_in6 v6{};
    v6.sin6_family = AF_INET6;
    v6.sin6_port = htons(port);
    SocketAddress found4;
    SocketAddress found6;
    if (!interface) {
        v4.sin_addr.s_addr = htonl(INADDR_ANY);
        v6.sin6_addr = in6addr_any;
        found4 = bytesOf(&v4, sizeof v4);
        found6 = bytesOf(&v6, sizeof v6);
    } else if (*interface == "localhost" || *interface == "loopback") {
        v4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        v6.sin6_addr = in6addr_loopback;
        found4 = bytesOf(&v4, sizeof v4);
        found6 = bytesOf(&v6, sizeof v6);
    } else {
        forEachInterface([&](const ifaddrs& entry) {
            if (found4.empty() && entry.ifa_addr->sa_family == AF_INET) {
                sockaddr_in candidate;
                std::memcpy(&candidate, entry.ifa_addr, sizeof candidate);
                if (matches(entry, *interface, &candidate.sin_addr, AF_INET)) {
                    candidate.sin_port = htons(port);
                    found4 = bytesOf(&candidate, sizeof candidate);
                }
            } else if (found6.empty() && entry.ifa_addr->sa_family == AF_INET6) {
                sockaddr_in6 candidate;
                std::memcpy(&candidate, entry.ifa_addr, sizeof candidate);
                if (matches(entry, *interface, &candidate.sin6_addr, AF_INET6)) {
                    candidate.sin6_port = htons(port);
                    found6 = bytesOf(&candidate, sizeof candidate);
                }
            }
            return !found4.empty() && !found6.empty();
        });
    }
    if (address4) *address4 = found4;
    if (address6) *address6 = found6;
}

unsigned indexOfInterfaceAddr4(const SocketAddress& address) {
    return indexOfInterface<sockaddr_in>(address, AF_INET,
                                         [](const sockaddr_in& a, const sockaddr_in& b) {
                                             return a.sin_addr.s_addr == b.sin_addr.s_addr;
                                         });
}

unsigned indexOfInterfaceAddr6(const SocketAddress& address) {
    return indexOfInterface<sockaddr_in6>(
        address, AF_INET6, [](const sockaddr_in6& a, const sockaddr_in6& b) {
            return std::memcmp(&a.sin6_addr, &b.sin6_addr, sizeof a.sin6_addr) == 0;
        });
}

}  // namespace vm::netif
