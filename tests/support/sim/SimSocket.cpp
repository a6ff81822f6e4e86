#include "support/sim/SimSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vm::sim {

Fd& Fd::operator=(Fd&& other) noexcept {
    if (this != &other) {
        reset(other.fd_);
        other.fd_ = -1;
    }
    return *this;
}

void Fd::reset(int fd) {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = fd;
}

bool isLoopback(const std::string& address) {
    in_addr parsed{};
    if (::inet_pton(AF_INET, address.c_str(), &parsed) != 1) {
        return false;
    }
    return (ntohl(parsed.s_addr) >> 24) == 127;
}

bool loopbackSockaddr(const Endpoint& endpoint, sockaddr_in& out, std::string* error) {
    if (!isLoopback(endpoint.address)) {
        if (error) {
            *error = "not an IPv4 loopback address: " + endpoint.address;
        }
        return false;
    }
    std::memset(&out, 0, sizeof out);
    out.sin_family = AF_INET;
    out.sin_port = htons(endpoint.port);
    ::inet_pton(AF_INET, endpoint.address.c_str(), &out.sin_addr);
    return true;
}

Endpoint endpointOf(const sockaddr_in& address) {
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    return {text, ntohs(address.sin_port)};
}

namespace {

Fd boundSocket(int type, const Endpoint& endpoint, std::string* error) {
    sockaddr_in address{};
    if (!loopbackSockaddr(endpoint, address, error)) {
        return {};
    }
    Fd fd(::socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd.valid()) {
        if (error) {
            *error = std::string("socket: ") + std::strerror(errno);
        }
        return {};
    }
    if (type == SOCK_STREAM) {
        // A test that restarts the radio on the port it had must not wait for TIME_WAIT.
        const int on = 1;
        ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    }
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (error) {
            *error = "bind " + endpoint.address + ":" + std::to_string(endpoint.port) + ": " +
                     std::strerror(errno);
        }
        return {};
    }
    return fd;
}

}  // namespace

Fd listenTcp(const Endpoint& endpoint, std::string* error) {
    Fd fd = boundSocket(SOCK_STREAM, endpoint, error);
    if (fd.valid() && ::listen(fd.get(), 8) != 0) {
        if (error) {
            *error = std::string("listen: ") + std::strerror(errno);
        }
        return {};
    }
    return fd;
}

Fd bindUdp(const Endpoint& endpoint, std::string* error) {
    return boundSocket(SOCK_DGRAM, endpoint, error);
}

uint16_t localPort(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return 0;
    }
    return ntohs(address.sin_port);
}

}  // namespace vm::sim
