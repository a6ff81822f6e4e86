// TcpSocket: the addresses of both ends and the descriptor accessors.
#include "net/TcpSocket.h"

#include <sys/socket.h>

#include <cstddef>
#include <cstring>

namespace vm {

namespace {

// The peer's (or the local) address of a descriptor; empty when the call fails.
SocketAddress endpointAddress(int fd, bool peer) {
    if (fd == -1) {
        return {};
    }
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    auto* generic = reinterpret_cast<::sockaddr*>(&address);
    if ((peer ? ::getpeername(fd, generic, &length) : ::getsockname(fd, generic, &length)) != 0) {
        return {};
    }
    return SocketAddress(reinterpret_cast<const char*>(&address),
                         std::min<std::size_t>(length, sizeof address));
}

std::optional<std::string> endpointHost(int fd, bool peer) {
    return sockaddr::hostFromAddress(endpointAddress(fd, peer));
}

std::uint16_t endpointPort(int fd, bool peer) {
    return sockaddr::portFromAddress(endpointAddress(fd, peer));
}

}  // namespace

std::optional<std::string> TcpSocket::connectedHost() const {
    return onQueue(
        [this] { return endpointHost(socket4FD_ != -1 ? socket4FD_ : socket6FD_, true); });
}

std::uint16_t TcpSocket::connectedPort() const {
    return onQueue(
        [this] { return endpointPort(socket4FD_ != -1 ? socket4FD_ : socket6FD_, true); });
}

std::optional<std::string> TcpSocket::connectedUrl() const {
    return onQueue([this]() -> std::optional<std::string> {
        if (socketUN_ == -1) {
            return std::nullopt;
        }
        sockaddr_un address{};
        socklen_t length = sizeof address;
        if (::getpeername(socketUN_, reinterpret_cast<::sockaddr*>(&address), &length) != 0 ||
            length <= offsetof(sockaddr_un, sun_path) || address.sun_path[0] == '\0') {
            return std::nullopt;  // failed, or the peer's socket has no file
        }
        return sockaddr::urlFromSockaddrUN(&address);
    });
}

std::optional<std::string> TcpSocket::localHost() const {
    return onQueue(
        [this] { return endpointHost(socket4FD_ != -1 ? socket4FD_ : socket6FD_, false); });
}

std::uint16_t TcpSocket::localPort() const {
    return onQueue(
        [this] { return endpointPort(socket4FD_ != -1 ? socket4FD_ : socket6FD_, false); });
}

SocketAddress TcpSocket::connectedAddress() const {
    return onQueue(
        [this] { return endpointAddress(socket4FD_ != -1 ? socket4FD_ : socket6FD_, true); });
}

SocketAddress TcpSocket::localAddress() const {
    return onQueue(
        [this] { return endpointAddress(socket4FD_ != -1 ? socket4FD_ : socket6FD_, false); });
}

bool TcpSocket::isIPv4() const {
    return onQueue([this] { return socket4FD_ != -1; });
}

bool TcpSocket::isIPv6() const {
    return onQueue([this] { return socket6FD_ != -1; });
}

std::optional<std::string> TcpSocket::connectedHost4() const {
    return onSocketQueue() ? endpointHost(socket4FD_, true) : std::nullopt;
}

std::optional<std::string> TcpSocket::connectedHost6() const {
    return onSocketQueue() ? endpointHost(socket6FD_, true) : std::nullopt;
}

std::uint16_t TcpSocket::connectedPort4() const {
    return onSocketQueue() ? endpointPort(socket4FD_, true) : 0;
}

std::uint16_t TcpSocket::connectedPort6() const {
    return onSocketQueue() ? endpointPort(socket6FD_, true) : 0;
}

std::optional<std::string> TcpSocket::localHost4() const {
    return onSocketQueue() ? endpointHost(socket4FD_, false) : std::nullopt;
}

std::optional<std::string> TcpSocket::localHost6() const {
    return onSocketQueue() ? endpointHost(socket6FD_, false) : std::nullopt;
}

std::uint16_t TcpSocket::localPort4() const {
    return onSocketQueue() ? endpointPort(socket4FD_, false) : 0;
}

std::uint16_t TcpSocket::localPort6() const {
    return onSocketQueue() ? endpointPort(socket6FD_, false) : 0;
}

int TcpSocket::socketFD() const {
    if (!onSocketQueue()) {
        return -1;
    }
    return socket4FD_ != -1 ? socket4FD_ : socket6FD_;
}

int TcpSocket::socket4FD() const { return onSocketQueue() ? socket4FD_ : -1; }

int TcpSocket::socket6FD() const { return onSocketQueue() ? socket6FD_ : -1; }

}  // namespace vm
