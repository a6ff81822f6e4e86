#pragma once
// Helpers for the UDP socket tests: a delegate that records what it is told (on the main queue),
// a plain-socket peer on loopback, and loopback addresses.
#include "net/UdpSocket.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vm::test {

SocketAddress loopback4(std::uint16_t port);
SocketAddress loopback6(std::uint16_t port);
// A port that was free a moment ago (bound and released by a probe socket).
std::uint16_t freeUdpPort();
// Whether a plain socket can bind 127.0.0.1 on `port` (once older descriptors are really closed).
bool portIsFree(std::uint16_t port);

struct UdpReceived {
    Bytes data;
    SocketAddress from;
    std::any context;
};

// Records every delegate call. Used with the main queue as delegate queue, so the test reads it
// on the thread that writes it.
class UdpRecorder : public UdpSocketDelegate {
public:
    std::vector<SocketAddress> connected;
    std::vector<Error> notConnected;
    std::vector<long> sent;
    std::vector<std::pair<long, Error>> notSent;
    std::vector<UdpReceived> received;
    std::vector<std::optional<Error>> closed;

    void udpSocketDidConnectToAddress(UdpSocket&, const SocketAddress& address) override;
    void udpSocketDidNotConnect(UdpSocket&, const Error& error) override;
    void udpSocketDidSendDataWithTag(UdpSocket&, long tag) override;
    void udpSocketDidNotSendDataWithTag(UdpSocket&, long tag, const Error& error) override;
    void udpSocketDidReceiveData(UdpSocket&, const Bytes& data, const SocketAddress& address,
                                 const std::any& context) override;
    void udpSocketDidClose(UdpSocket&, const std::optional<Error>& error) override;

    // The callbacks about datagrams leaving: sent or not.
    std::size_t sendResults() const { return sent.size() + notSent.size(); }
};

// A plain datagram socket bound to 127.0.0.1 or ::1 on a port of the kernel's choice.
class UdpPeer {
public:
    explicit UdpPeer(int family = AF_INET);
    ~UdpPeer();
    UdpPeer(const UdpPeer&) = delete;
    UdpPeer& operator=(const UdpPeer&) = delete;

    const SocketAddress& address() const { return address_; }
    std::uint16_t port() const;
    void sendTo(const SocketAddress& to, const Bytes& data) const;
    // The next datagram and its sender, or nothing within `timeout`.
    std::optional<std::pair<Bytes, SocketAddress>> receive(
        std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;

private:
    int fd_ = -1;
    SocketAddress address_;
};

// A UdpSocket reporting to a recorder on the main queue.
class UdpSocketTest : public ::testing::Test {
protected:
    void TearDown() override;
    // Lets queued work show up, for checks that something did NOT happen.
    static void settle();

    std::shared_ptr<UdpRecorder> recorder = std::make_shared<UdpRecorder>();
    std::shared_ptr<UdpSocket> udp = UdpSocket::create(recorder, DispatchQueue::main());
};

}  // namespace vm::test
