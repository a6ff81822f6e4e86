// UdpSocket: the send queue, name lookup, the send filter, per-datagram failures, and connect.
#include "UdpTestSupport.h"

#include <atomic>
#include <cerrno>
#include <cstring>

namespace vm::test {
namespace {

using namespace std::chrono_literals;

class UdpSendTest : public UdpSocketTest {
protected:
    bool waitForSendResults(std::size_t n) {
        return runMainUntil([&] { return recorder->sendResults() >= n; });
    }
    UdpPeer peer;
};

TEST_F(UdpSendTest, SendsQueuedBeforeBindGoOutInOrderAndBindTheSocket) {
    EXPECT_TRUE(udp->isClosed());
    udp->sendData("", peer.address(), -1, 0);  // nothing to send: no packet, no callback
    for (long tag = 1; tag <= 3; ++tag) {
        udp->sendData("datagram " + std::to_string(tag), peer.address(), -1, tag);
    }
    ASSERT_TRUE(waitForSendResults(3));
    EXPECT_EQ(recorder->sent, (std::vector<long>{1, 2, 3}));
    EXPECT_TRUE(recorder->notSent.empty());
    for (int i = 1; i <= 3; ++i) {
        auto got = peer.receive();
        ASSERT_TRUE(got.has_value());
        EXPECT_EQ(got->first, "datagram " + std::to_string(i));
        EXPECT_EQ(sockaddr::portFromAddress(got->second), udp->localPort());
    }
    EXPECT_FALSE(udp->isClosed());
    EXPECT_NE(udp->localPort(), 0);  // bound by the first send
    // And it can now receive on that port.
    ASSERT_TRUE(udp->beginReceiving());
    peer.sendTo(loopback4(udp->localPort()), "reply");
    ASSERT_TRUE(runMainUntil([&] { return !recorder->received.empty(); }));
}

TEST_F(UdpSendTest, HostNamesAreLookedUpAndFailuresStayWithTheirDatagram) {
    udp->setIPv6Enabled(false);
    udp->sendData("bad name", "no-such-radio.invalid", peer.port(), -1, 1);
    udp->sendData("no host", "", peer.port(), -1, 2);
    udp->sendData("no destination", 3);
    udp->sendData("to localhost", "localhost", peer.port(), -1, 4);
    udp->sendData("numeric", "127.0.0.1", peer.port(), -1, 5);
    ASSERT_TRUE(waitForSendResults(5));
    ASSERT_EQ(recorder->notSent.size(), 3u);
    EXPECT_EQ(recorder->notSent[0].first, 1);
    EXPECT_EQ(recorder->notSent[0].second.domain, "kCFStreamErrorDomainNetDB");
    EXPECT_NE(recorder->notSent[0].second.code, 0);
    EXPECT_EQ(recorder->notSent[1],
              std::make_pair(
                  2L, Error{"UdpSocketErrorDomain", 2,
                            "The host param is nil. Should be domain name or IP address string."}));
    EXPECT_EQ(recorder->notSent[2],
              std::make_pair(
                  3L, Error{"UdpSocketErrorDomain", 1,
                            "You must specify destination of packet for a non-connected socket"}));
    EXPECT_EQ(recorder->sent, (std::vector<long>{4, 5}));
    EXPECT_EQ(peer.receive()->first, "to localhost");
    EXPECT_EQ(peer.receive()->first, "numeric");
    EXPECT_TRUE(recorder->closed.empty());
}

TEST_F(UdpSendTest, ADatagramTheKernelRefusesFailsAloneAndTheSocketGoesOn) {
    udp->setIPv6Enabled(false);
    udp->sendData(Bytes(70000, 'x'), peer.address(), -1, 1);  // larger than any UDP datagram
    udp->sendData("to IPv6", loopback6(peer.port()), -1, 2);  // a family this socket does not have
    udp->sendData("to port 0", loopback4(0), -1, 3);
    udp->sendData("fine", peer.address(), -1, 4);
    ASSERT_TRUE(waitForSendResults(4));
    ASSERT_EQ(recorder->notSent.size(), 3u);
    EXPECT_EQ(recorder->notSent[0].second.domain, "NSPOSIXErrorDomain");
    EXPECT_EQ(recorder->notSent[0].second.code, EMSGSIZE);
    EXPECT_EQ(recorder->notSent[0].second.description, std::strerror(EMSGSIZE));
    EXPECT_EQ(recorder->notSent[0].second.failureReason, "Error in send() function.");
    EXPECT_EQ(recorder->notSent[1].second.domain, "UdpSocketErrorDomain");
    EXPECT_EQ(recorder->notSent[2].first, 3);
    EXPECT_EQ(recorder->sent, std::vector<long>{4});
    EXPECT_EQ(peer.receive()->first, "fine");
    EXPECT_TRUE(recorder->closed.empty());
    EXPECT_FALSE(udp->isClosed());
}

TEST_F(UdpSendTest, FilterDecidesAndADroppedDatagramCountsAsSent) {
    for (const bool async : {true, false}) {
        SCOPED_TRACE(async);
        recorder->sent.clear();
        std::atomic<int> calls{0};
        udp->setSendFilter(
            [&calls, port = peer.port()](const Bytes& data, const SocketAddress& address,
                                         long tag) {
                ++calls;
                EXPECT_EQ(sockaddr::portFromAddress(address), port);
                return data != "drop" && tag != 0;
            },
            DispatchQueue::serial("filter"), async);
        udp->sendData("drop", peer.address(), -1, 1);
        udp->sendData("keep", peer.address(), -1, 2);
        ASSERT_TRUE(waitForSendResults(2));
        EXPECT_EQ(recorder->sent, (std::vector<long>{1, 2}));
        EXPECT_EQ(calls, 2);
        EXPECT_EQ(peer.receive()->first, "keep");
        EXPECT_FALSE(peer.receive(50ms).has_value());
    }
    udp->setSendFilter(nullptr, nullptr);
    udp->sendData("drop", peer.address(), -1, 3);
    EXPECT_EQ(peer.receive()->first, "drop");
}

TEST_F(UdpSendTest, CloseAfterSendingLetsTheQueueDrainFirst) {
    for (long tag = 1; tag <= 3; ++tag)
        udp->sendData("last words", peer.address(), -1, tag);
    udp->closeAfterSending();
    ASSERT_TRUE(runMainUntil([&] { return !recorder->closed.empty(); }));
    EXPECT_EQ(recorder->sent, (std::vector<long>{1, 2, 3}));
    EXPECT_EQ(recorder->closed[0], std::nullopt);
    EXPECT_TRUE(udp->isClosed());
}

TEST_F(UdpSendTest, DatagramsQueuedByAnOwnerThatLetGoAreStillSent) {
    auto released = UdpSocket::create();  // no delegate: nothing else holds the socket
    released->setIPv6Enabled(false);
    released->sendData("last words", peer.address(), -1, 1);
    released.reset();
    auto got = peer.receive();
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->first, "last words");
    // The queued work held the socket last; its release closed the socket.
    EXPECT_TRUE(runMainUntil([&] { return portIsFree(sockaddr::portFromAddress(got->second)); }));
}

TEST_F(UdpSendTest, ConnectedSocketTalksOnlyWithItsPeer) {
    udp->setIPv6Enabled(false);
    Error error;
    ASSERT_TRUE(udp->connectToHost("localhost", peer.port(), &error)) << error.description;
    EXPECT_FALSE(udp->connectToAddress(peer.address(), &error));
    EXPECT_EQ(error, (Error{"UdpSocketErrorDomain", 1, "Cannot connect a socket more than once."}));
    ASSERT_TRUE(runMainUntil([&] { return !recorder->connected.empty(); }));
    EXPECT_EQ(recorder->connected[0], peer.address());
    EXPECT_TRUE(udp->isConnected());
    EXPECT_EQ(udp->connectedHost(), "127.0.0.1");
    EXPECT_EQ(udp->connectedPort(), peer.port());
    EXPECT_EQ(udp->connectedAddress(), peer.address());
    EXPECT_FALSE(udp->bindToPort(0, &error));
    EXPECT_EQ(error.description, "Cannot bind a socket more than once.");

    udp->sendData("hello peer", 1);
    udp->sendData("named", "localhost", peer.port(), -1, 2);
    udp->sendData("given", loopback4(1), -1, 3);  // a connected socket sends to its peer
    ASSERT_TRUE(waitForSendResults(3));
    EXPECT_EQ(recorder->sent, (std::vector<long>{1, 3}));
    ASSERT_EQ(recorder->notSent.size(), 1u);
    EXPECT_EQ(recorder->notSent[0].second.description,
              "Cannot specify destination of packet for connected socket");
    EXPECT_EQ(peer.receive()->first, "hello peer");
    EXPECT_EQ(peer.receive()->first, "given");

    ASSERT_TRUE(udp->beginReceiving());
    UdpPeer stranger;
    stranger.sendTo(loopback4(udp->localPort()), "not for you");
    peer.sendTo(loopback4(udp->localPort()), "from the peer");
    ASSERT_TRUE(runMainUntil([&] { return !recorder->received.empty(); }));
    settle();
    ASSERT_EQ(recorder->received.size(), 1u);
    EXPECT_EQ(recorder->received[0].data, "from the peer");

    udp->close();
    EXPECT_FALSE(udp->isConnected());
    EXPECT_TRUE(udp->connectedAddress().empty());
    EXPECT_EQ(udp->connectedPort(), 0);
}

TEST_F(UdpSendTest, ConnectFailuresAreReported) {
    udp->setIPv6Enabled(false);
    Error error;
    EXPECT_FALSE(udp->connectToAddress("", &error));
    EXPECT_EQ(error.description, "The address param is nil. Should be a valid address.");
    ASSERT_TRUE(udp->connectToHost("no-such-radio.invalid", 4991, &error));
    ASSERT_TRUE(runMainUntil([&] { return !recorder->notConnected.empty(); }));
    EXPECT_EQ(recorder->notConnected[0].domain, "kCFStreamErrorDomainNetDB");
    EXPECT_FALSE(udp->isConnected());
    // The attempt is over: another may follow.
    ASSERT_TRUE(udp->connectToAddress(loopback6(4991), &error));
    ASSERT_TRUE(runMainUntil([&] { return recorder->notConnected.size() == 2; }));
    EXPECT_EQ(recorder->notConnected[1].description,
              "IPv6 has been disabled and DNS lookup found no IPv4 address(es).");
    ASSERT_TRUE(udp->connectToAddress(peer.address(), &error));
    ASSERT_TRUE(runMainUntil([&] { return !recorder->connected.empty(); }));
}

}  // namespace
}  // namespace vm::test
