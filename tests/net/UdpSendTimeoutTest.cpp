// UdpSocket: waiting while the kernel cannot take a datagram, with and without a time-out.
//
// A loopback UDP socket never runs out of send buffer, so this program puts its own sendto() in
// front of the C library's: datagrams to the "stalled" port get EAGAIN until the test lets them go.
#include "UdpTestSupport.h"
#include "platform/core/DispatchClock.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace {
std::atomic<int> gStalledPort{0};
}  // namespace

extern "C" ssize_t sendto(int fd, const void* buffer, size_t length, int flags,
                          const struct sockaddr* to, socklen_t toLength) {
    if (to && to->sa_family == AF_INET && toLength >= sizeof(sockaddr_in) &&
        ntohs(reinterpret_cast<const sockaddr_in*>(to)->sin_port) == gStalledPort.load()) {
        errno = EAGAIN;
        return -1;
    }
    return ::syscall(SYS_sendto, fd, buffer, length, flags, to, toLength);
}

namespace vm::test {
namespace {

using namespace std::chrono_literals;

class UdpSendTimeoutTest : public UdpSocketTest {
protected:
    void SetUp() override {
        udp->setIPv6Enabled(false);
        gStalledPort = peer.port();
    }
    void TearDown() override {
        gStalledPort = 0;
        UdpSocketTest::TearDown();
    }
    UdpPeer peer;
};

TEST_F(UdpSendTimeoutTest, TimeOutFailsTheWaitingDatagramAndTheNextGoesOn) {
    udp->sendData("stuck", peer.address(), 5.0, 1);
    udp->sendData("behind", peer.address(), -1, 2);
    settle();
    EXPECT_EQ(recorder->sendResults(), 0u);
    DispatchClock::advance(4s);
    settle();
    EXPECT_EQ(recorder->sendResults(), 0u);
    DispatchClock::advance(2s);
    ASSERT_TRUE(runMainUntil([&] { return !recorder->notSent.empty(); }));
    EXPECT_EQ(recorder->notSent[0],
              std::make_pair(1L, Error{"UdpSocketErrorDomain", 3, "Send operation timed out"}));

    gStalledPort = 0;
    ASSERT_TRUE(runMainUntil([&] { return !recorder->sent.empty(); }));
    EXPECT_EQ(recorder->sent, std::vector<long>{2});
    EXPECT_EQ(peer.receive()->first, "behind");
    EXPECT_FALSE(udp->isClosed());
}

TEST_F(UdpSendTimeoutTest, NoTimeOutWaitsAsLongAsItTakes) {
    udp->sendData("patient", peer.address(), -1.0, 7);
    settle();
    DispatchClock::advance(std::chrono::hours(1));
    settle();
    EXPECT_EQ(recorder->sendResults(), 0u);
    gStalledPort = 0;
    ASSERT_TRUE(runMainUntil([&] { return !recorder->sent.empty(); }));
    EXPECT_EQ(recorder->sent, std::vector<long>{7});
    EXPECT_EQ(peer.receive()->first, "patient");
}

TEST_F(UdpSendTimeoutTest, ClosingDropsTheWaitingDatagramWithoutACallback) {
    udp->sendData("stuck", peer.address(), 5.0, 1);
    udp->sendData("queued", peer.address(), 5.0, 2);
    settle();
    udp->close();
    DispatchClock::advance(10s);
    ASSERT_TRUE(runMainUntil([&] { return !recorder->closed.empty(); }));
    settle();
    EXPECT_EQ(recorder->sendResults(), 0u);
}

}  // namespace
}  // namespace vm::test
