#pragma once
// Plain POSIX socket helpers of the simulated radio. They share nothing with src/net on purpose: a
// fault in the client's sockets must not be able to hide itself behind the same code in its peer.
// Every address is IPv4 loopback (127.0.0.0/8); anything else is refused.
#include <netinet/in.h>

#include <cstdint>
#include <string>

namespace vm::sim {

// An owned file descriptor, closed when it goes.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Fd& operator=(Fd&& other) noexcept;
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void reset(int fd = -1);

private:
    int fd_ = -1;
};

// An IPv4 address and port.
struct Endpoint {
    std::string address;
    uint16_t port = 0;
    bool operator==(const Endpoint&) const = default;
};

// True for a dotted quad in 127.0.0.0/8.
bool isLoopback(const std::string& address);

// Fills `out` for a loopback endpoint; false (with `error`) for any other address.
bool loopbackSockaddr(const Endpoint& endpoint, sockaddr_in& out, std::string* error);

Endpoint endpointOf(const sockaddr_in& address);

// A non-blocking listening TCP socket on a loopback endpoint (port 0: any free port).
Fd listenTcp(const Endpoint& endpoint, std::string* error);

// A non-blocking UDP socket bound to a loopback endpoint (port 0: any free port).
Fd bindUdp(const Endpoint& endpoint, std::string* error);

// The port a socket is bound to, 0 when it cannot be read.
uint16_t localPort(int fd);

}  // namespace vm::sim
