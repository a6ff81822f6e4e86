#pragma once
// A port on 127.0.0.1 that was free a moment ago: the socket that found it is closed again, so
// nothing listens there (a refused TCP connect) and a test may bind it (UDP).
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

namespace vm::test {

inline std::uint16_t unusedLoopbackPort(int type = SOCK_STREAM) {
    const int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<const ::sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<::sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

}  // namespace vm::test
