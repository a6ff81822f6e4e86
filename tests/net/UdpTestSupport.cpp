#include "UdpTestSupport.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace vm::test {

namespace {

SocketAddress bytesOf(const void* address, std::size_t length) {
    return SocketAddress(static_cast<const char*>(address), length);
}

}  // namespace

SocketAddress loopback4(std::uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return bytesOf(&a, sizeof a);
}

SocketAddress loopback6(std::uint16_t port) {
    sockaddr_in6 a{};
    a.sin6_family = AF_INET6;
    a.sin6_port = htons(port);
    a.sin6_addr = in6addr_loopback;
    return bytesOf(&a, sizeof a);
}

std::uint16_t freeUdpPort() { return UdpPeer().port(); }

bool portIsFree(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const SocketAddress address = loopback4(port);
    const bool free =
        ::bind(fd, reinterpret_cast<const ::sockaddr*>(address.data()), address.size()) == 0;
    ::close(fd);
    return free;
}

void UdpRecorder::udpSocketDidConnectToAddress(UdpSocket&, const SocketAddress& address) {
    connected.push_back(address);
}

void UdpRecorder::udpSocketDidNotConnect(UdpSocket&, const Error& error) {
    notConnected.push_back(error);
}

void UdpRecorder::udpSocketDidSendDataWithTag(UdpSocket&, long tag) { sent.push_back(tag); }

void UdpRecorder::udpSocketDidNotSendDataWithTag(UdpSocket&, long tag, const Error& error) {
    notSent.emplace_back(tag, error);
}

void UdpRecorder::udpSocketDidReceiveData(UdpSocket&, const Bytes& data,
                                          const SocketAddress& address, const std::any& context) {
    received.push_back({data, address, context});
}

void UdpRecorder::udpSocketDidClose(UdpSocket&, const std::optional<Error>& error) {
    closed.push_back(error);
}

UdpPeer::UdpPeer(int family) {
    fd_ = ::socket(family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const SocketAddress wanted = family == AF_INET ? loopback4(0) : loopback6(0);
    EXPECT_EQ(::bind(fd_, reinterpret_cast<const ::sockaddr*>(wanted.data()), wanted.size()), 0);
    sockaddr_storage bound{};
    socklen_t length = wanted.size();
    ::getsockname(fd_, reinterpret_cast<::sockaddr*>(&bound), &length);
    address_ = bytesOf(&bound, wanted.size());
    const int size = 1 << 20;
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
}

UdpPeer::~UdpPeer() { ::close(fd_); }

std::uint16_t UdpPeer::port() const { return sockaddr::portFromAddress(address_); }

void UdpPeer::sendTo(const SocketAddress& to, const Bytes& data) const {
    const ssize_t sent = ::sendto(fd_, data.data(), data.size(), 0,
                                  reinterpret_cast<const ::sockaddr*>(to.data()), to.size());
    EXPECT_EQ(sent, static_cast<ssize_t>(data.size())) << std::strerror(errno);
}

std::optional<std::pair<Bytes, SocketAddress>> UdpPeer::receive(
    std::chrono::milliseconds timeout) const {
    pollfd wait{fd_, POLLIN, 0};
    if (::poll(&wait, 1, static_cast<int>(timeout.count())) != 1) {
        return std::nullopt;
    }
    std::vector<char> buffer(65536);
    sockaddr_storage from{};
    socklen_t length = sizeof from;
    const ssize_t n = ::recvfrom(fd_, buffer.data(), buffer.size(), 0,
                                 reinterpret_cast<::sockaddr*>(&from), &length);
    if (n < 0) {
        return std::nullopt;
    }
    return std::make_pair(Bytes(buffer.data(), n), bytesOf(&from, length));
}

void UdpSocketTest::TearDown() {
    udp.reset();
    runMainUntil([] { return DispatchQueue::drainMain() == 0; }, std::chrono::milliseconds(200));
}

void UdpSocketTest::settle() {
    runMainUntil([] { return false; }, std::chrono::milliseconds(50));
}

}  // namespace vm::test
