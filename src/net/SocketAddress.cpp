#include "net/SocketAddress.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <cstring>

namespace vm::sockaddr {

namespace {

template <class T>
T copyOf(const SocketAddress& address) {
    T value{};
    std::memcpy(&value, address.data(), sizeof(T));  // aligned copy of the block
    return value;
}

SocketAddress bytesOf(const void* address, std::size_t length) {
    return SocketAddress(static_cast<const char*>(address), length);
}

std::string portText(std::uint16_t port) { return std::to_string(port); }

}  // namespace

std::string hostFromSockaddr4(const sockaddr_in* address) {
    char buffer[INET_ADDRSTRLEN];
    if (!::inet_ntop(AF_INET, &address->sin_addr, buffer, sizeof buffer)) {
        return {};
    }
    return buffer;
}

std::string hostFromSockaddr6(const sockaddr_in6* address) {
    char buffer[INET6_ADDRSTRLEN];
    if (!::inet_ntop(AF_INET6, &address->sin6_addr, buffer, sizeof buffer)) {
        return {};
    }
    return buffer;
}

std::uint16_t portFromSockaddr4(const sockaddr_in* address) { return ntohs(address->sin_port); }

std::uint16_t portFromSockaddr6(const sockaddr_in6* address) { return ntohs(address->sin6_port); }

bool getHost(std::string* host, std::uint16_t* port, int* family, const SocketAddress& address) {
    if (address.size() >= sizeof(sockaddr_in)) {
        const auto generic = copyOf<sockaddr_in>(address);
        if (generic.sin_family == AF_INET) {
            if (host) *host = hostFromSockaddr4(&generic);
            if (port) *port = portFromSockaddr4(&generic);
            if (family) *family = AF_INET;
            return true;
        }
        if (generic.sin_family == AF_INET6 && address.size() >= sizeof(sockaddr_in6)) {
            const auto v6 = copyOf<sockaddr_in6>(address);
            if (host) *host = hostFromSockaddr6(&v6);
            if (port) *port = portFromSockaddr6(&v6);
            if (family) *family = AF_INET6;
            return true;
        }
    }
    if (host) host->clear();
    if (port) *port = 0;
    if (family) *family = 0;
    return false;
}

std::optional<std::string> hostFromAddress(const SocketAddress& address) {
    std::string host;
    if (!getHost(&host, nullptr, nullptr, address)) {
        return std::nullopt;
    }
    return host;
}

std::uint16_t portFromAddress(const SocketAddress& address) {
    std::uint16_t port = 0;
    getHost(nullptr, &port, nullptr, address);
    return port;
}

int familyFromAddress(const SocketAddress& address) {
    int family = 0;
    getHost(nullptr, nullptr, &family, address);
    return family;
}

bool isIPv4Address(const SocketAddress& address) { return familyFromAddress(address) == AF_INET; }

bool isIPv6Address(const SocketAddress& address) { return familyFromAddress(address) == AF_INET6; }

std::string urlFromSockaddrUN(const sockaddr_un* address) {
    const std::size_t length = ::strnlen(address->sun_path, sizeof address->sun_path);
    return "file://" + std::string(address->sun_path, length);
}

Error gaiError(int code) { return Error{"kCFStreamErrorDomainNetDB", code, ::gai_strerror(code)}; }

std::optional<std::vector<SocketAddress>> lookupHost(const std::string& host, std::uint16_t port,
                                                     Error* error) {
    if (host == "localhost" || host == "loopback") {
        sockaddr_in v4{};
        v4.sin_family = AF_INET;
        v4.sin_port = htons(port);
        v4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        sockaddr_in6 v6{};
        v6.sin6_family = AF_INET6;
        v6.sin6_port = htons(port);
        v6.sin6_addr = in6addr_loopback;
        return std::vector<SocketAddress>{bytesOf(&v4, sizeof v4), bytesOf(&v6, sizeof v6)};
    }
    addrinfo hints{};
    hints.ai_family = PF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* results = nullptr;
    const int code = ::getaddrinfo(host.c_str(), portText(port).c_str(), &hints, &results);
    if (code != 0) {
        setError(error, gaiError(code));
        return std::nullopt;
    }
    std::vector<SocketAddress> addresses;
    for (addrinfo* ai = results; ai; ai = ai->ai_next) {
        if (ai->ai_family == AF_INET && ai->ai_addrlen >= sizeof(sockaddr_in)) {
            addresses.push_back(bytesOf(ai->ai_addr, sizeof(sockaddr_in)));
        } else if (ai->ai_family == AF_INET6 && ai->ai_addrlen >= sizeof(sockaddr_in6)) {
            auto v6 = *reinterpret_cast<sockaddr_in6*>(ai->ai_addr);
            if (v6.sin6_port == 0) {
                v6.sin6_port = htons(port);
            }
            addresses.push_back(bytesOf(&v6, sizeof v6));
        }
    }
    ::freeaddrinfo(results);
    if (addresses.empty()) {
        setError(error, gaiError(EAI_FAIL));
        return std::nullopt;
    }
    return addresses;
}

void convertNumericHost(const std::string& host, std::uint16_t port, SocketAddress* address4,
                        SocketAddress* address6) {
    if (address4) address4->clear();
    if (address6) address6->clear();
    addrinfo hints{};
    hints.ai_flags = AI_NUMERICHOST;
    hints.ai_family = PF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_protocol = IPPROTO_UDP;
    addrinfo* results = nullptr;
    if (host.empty() ||
        ::getaddrinfo(host.c_str(), portText(port).c_str(), &hints, &results) != 0) {
        return;
    }
    bool found4 = false;
    bool found6 = false;
    for (addrinfo* ai = results; ai; ai = ai->ai_next) {
        if (!found4 && ai->ai_family == AF_INET && ai->ai_addrlen >= sizeof(sockaddr_in)) {
            found4 = true;
            if (address4) *address4 = bytesOf(ai->ai_addr, sizeof(sockaddr_in));
        } else if (!found6 && ai->ai_family == AF_INET6 && ai->ai_addrlen >= sizeof(sockaddr_in6)) {
            found6 = true;
            if (address6) *address6 = bytesOf(ai->ai_addr, sizeof(sockaddr_in6));
        }
    }
    ::freeaddrinfo(results);
}

}  // namespace vm::sockaddr
