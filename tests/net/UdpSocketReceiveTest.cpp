// UdpSocket: receiving once or continuously, pausing, the receive filter, empty datagrams, and a
// burst larger than the kernel's buffer.
#include "UdpTestSupport.h"

#include <atomic>
#include <fstream>
#include <iostream>
#include <sstream>

namespace vm::test {
namespace {

using namespace std::chrono_literals;

class UdpReceiveTest : public UdpSocketTest {
protected:
    void SetUp() override {
        udp->setIPv6Enabled(false);
        ASSERT_TRUE(udp->bindToPort(0, std::string("127.0.0.1")));
        to = loopback4(udp->localPort());
    }
    bool waitForReceived(std::size_t n) {
        return runMainUntil([&] { return recorder->received.size() >= n; });
    }
    std::vector<Bytes> receivedData() const {
        std::vector<Bytes> data;
        for (const auto& r : recorder->received)
            data.push_back(r.data);
        return data;
    }

    UdpPeer peer;
    SocketAddress to;
};

TEST_F(UdpSocketTest, ReceivingNeedsSockets) {
    Error error;
    EXPECT_FALSE(udp->beginReceiving(&error));
    EXPECT_EQ(
        error,
        (Error{"UdpSocketErrorDomain", 1,
               "Must bind socket before you can receive data. You can do this explicitly via bind, "
               "or implicitly via connect or by sending data."}));
    EXPECT_FALSE(udp->receiveOnce(&error));
    ASSERT_TRUE(udp->enableBroadcast(false));  // an option makes the sockets: enough to receive
    EXPECT_TRUE(udp->beginReceiving(&error));
}

TEST_F(UdpReceiveTest, EmptyDatagramNeitherClosesNorIsDelivered) {
    ASSERT_TRUE(udp->beginReceiving());
    peer.sendTo(to, "");
    peer.sendTo(to, "after");
    ASSERT_TRUE(waitForReceived(1));
    settle();
    EXPECT_EQ(receivedData(), std::vector<Bytes>{"after"});
    EXPECT_TRUE(recorder->closed.empty());
    EXPECT_FALSE(udp->isClosed());
    // An empty datagram alone, with nothing behind it, is read and dropped too.
    peer.sendTo(to, "");
    settle();
    peer.sendTo(to, "again");
    ASSERT_TRUE(waitForReceived(2));
    EXPECT_EQ(recorder->received[1].data, "again");
    EXPECT_TRUE(recorder->closed.empty());
}

TEST_F(UdpReceiveTest, LargestDatagramsAndSmallestArriveWhole) {
    ASSERT_TRUE(udp->beginReceiving());
    Bytes largest(65507, '\0');
    for (std::size_t i = 0; i < largest.size(); ++i)
        largest[i] = static_cast<char>(i * 7);
    // Out through the socket, echoed back by the peer.
    udp->sendData(largest, peer.address(), -1, 1);
    auto echoed = peer.receive();
    ASSERT_TRUE(echoed.has_value());
    ASSERT_EQ(echoed->first.size(), largest.size());
    EXPECT_EQ(echoed->first, largest);
    peer.sendTo(echoed->second, echoed->first);
    peer.sendTo(to, "x");
    ASSERT_TRUE(waitForReceived(2));
    EXPECT_EQ(recorder->received[0].data, largest);
    EXPECT_EQ(recorder->received[1].data, "x");
    EXPECT_EQ(recorder->received[1].from, peer.address());
    EXPECT_EQ(recorder->sent, std::vector<long>{1});
}

TEST_F(UdpReceiveTest, ReceiveOnceDeliversOneDatagramAtATime) {
    peer.sendTo(to, "one");
    peer.sendTo(to, "two");
    ASSERT_TRUE(udp->receiveOnce());
    ASSERT_TRUE(waitForReceived(1));
    settle();
    EXPECT_EQ(receivedData(), std::vector<Bytes>{"one"});
    ASSERT_TRUE(udp->receiveOnce());
    ASSERT_TRUE(waitForReceived(2));
    EXPECT_EQ(recorder->received[1].data, "two");
}

TEST_F(UdpReceiveTest, PausedDatagramsWaitInTheKernelUntilResumed) {
    ASSERT_TRUE(udp->beginReceiving());
    EXPECT_TRUE(udp->beginReceiving());  // a second start changes nothing
    peer.sendTo(to, "before");
    ASSERT_TRUE(waitForReceived(1));
    udp->pauseReceiving();
    udp->performBlock([] {});  // the pause is posted: let it take effect before sending more
    for (const char* d : {"p1", "p2", "p3"})
        peer.sendTo(to, d);
    settle();
    EXPECT_EQ(recorder->received.size(), 1u);
    ASSERT_TRUE(udp->beginReceiving());
    ASSERT_TRUE(waitForReceived(4));
    settle();
    EXPECT_EQ(receivedData(), (std::vector<Bytes>{"before", "p1", "p2", "p3"}));
}

TEST_F(UdpReceiveTest, FilterDropsOrDeliversWithItsContext) {
    for (const bool async : {true, false}) {
        SCOPED_TRACE(async);
        recorder->received.clear();
        std::atomic<int> calls{0};
        udp->setReceiveFilter(
            [&calls](const Bytes& data, const SocketAddress&, std::any* context) {
                ++calls;
                *context = "seen " + data;
                return data.rfind("keep", 0) == 0;
            },
            DispatchQueue::serial("filter"), async);
        ASSERT_TRUE(udp->beginReceiving());
        for (const char* d : {"keep 1", "drop", "keep 2"})
            peer.sendTo(to, d);
        ASSERT_TRUE(waitForReceived(2));
        ASSERT_TRUE(runMainUntil([&] { return calls == 3; }));
        settle();
        ASSERT_EQ(receivedData(), (std::vector<Bytes>{"keep 1", "keep 2"}));
        EXPECT_EQ(std::any_cast<std::string>(recorder->received[1].context), "seen keep 2");
        udp->pauseReceiving();
    }
    // Removing the filter delivers everything, without a context.
    recorder->received.clear();
    udp->setReceiveFilter(nullptr, nullptr);
    ASSERT_TRUE(udp->beginReceiving());
    peer.sendTo(to, "drop");
    ASSERT_TRUE(waitForReceived(1));
    EXPECT_FALSE(recorder->received[0].context.has_value());
}

TEST_F(UdpReceiveTest, FilteredReceiveOnceWaitsForAnAllowedDatagram) {
    udp->setReceiveFilter(
        [](const Bytes& data, const SocketAddress&, std::any*) { return data != "skip"; },
        DispatchQueue::serial("filter"));
    peer.sendTo(to, "skip");
    peer.sendTo(to, "take");
    peer.sendTo(to, "later");
    ASSERT_TRUE(udp->receiveOnce());
    ASSERT_TRUE(waitForReceived(1));
    settle();
    EXPECT_EQ(receivedData(), std::vector<Bytes>{"take"});
}

TEST_F(UdpSocketTest, BothFamiliesReceive) {
    ASSERT_TRUE(udp->bindToPort(0, std::string("loopback")));
    ASSERT_TRUE(udp->beginReceiving());
    UdpPeer peer4;
    UdpPeer peer6(AF_INET6);
    for (int i = 0; i < 3; ++i) {
        peer6.sendTo(loopback6(udp->localPort_IPv6()), "v6");
        peer4.sendTo(loopback4(udp->localPort_IPv4()), "v4");
    }
    ASSERT_TRUE(runMainUntil([&] { return recorder->received.size() == 6; }));
    int from6 = 0;
    for (const auto& r : recorder->received) {
        const bool v6 = r.data == "v6";
        from6 += v6;
        EXPECT_EQ(r.from, v6 ? peer6.address() : peer4.address());
    }
    EXPECT_EQ(from6, 3);
}

// What the kernel dropped for the IPv4 UDP socket bound to `port` (the last column of
// /proc/net/udp), or -1 when it cannot be read.
long kernelDrops(std::uint16_t port) {
    std::ifstream table("/proc/net/udp");
    std::string line;
    std::getline(table, line);  // header
    char wanted[8];
    std::snprintf(wanted, sizeof wanted, ":%04X", port);
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, field;
        fields >> slot >> local;
        if (local.size() < 5 || local.compare(local.size() - 5, 5, wanted) != 0) {
            continue;
        }
        while (fields >> field) {
        }
        return std::stol(field);
    }
    return -1;
}

TEST_F(UdpReceiveTest, BurstOfTenThousandIsReceivedOrCountedAsDroppedByTheKernel) {
    constexpr int kCount = 10000;
    ASSERT_TRUE(udp->beginReceiving());
    const long dropsBefore = kernelDrops(udp->localPort());
    ASSERT_GE(dropsBefore, 0);
    for (int i = 0; i < kCount; ++i) {
        peer.sendTo(to, std::to_string(i) + std::string(90, '.'));
    }
    long drops = 0;
    ASSERT_TRUE(runMainUntil(
        [&] {
            drops = kernelDrops(udp->localPort()) - dropsBefore;
            return static_cast<long>(recorder->received.size()) + drops == kCount;
        },
        30s))
        << recorder->received.size() << " received, " << drops << " dropped";
    // In order, no datagram twice, none damaged.
    long previous = -1;
    for (const auto& r : recorder->received) {
        const long n = std::stol(r.data);
        ASSERT_EQ(r.data, std::to_string(n) + std::string(90, '.'));
        ASSERT_GT(n, previous);
        previous = n;
    }
    std::cout << "[ burst    ] " << recorder->received.size() << " of " << kCount << " received, "
              << drops << " dropped by the kernel\n";
    RecordProperty("received", static_cast<int>(recorder->received.size()));
    EXPECT_TRUE(recorder->closed.empty());
}

}  // namespace
}  // namespace vm::test
