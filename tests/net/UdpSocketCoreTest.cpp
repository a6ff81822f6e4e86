// UdpSocket: preconditions, binding, socket options, multicast, closing and reopening.
#include "UdpTestSupport.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vm::test {
namespace {

using namespace std::chrono_literals;

TEST(UdpSocketPreconditions, OperationsNeedADelegateAndADelegateQueue) {
    auto recorder = std::make_shared<UdpRecorder>();
    struct Case {
        const char* name;
        std::shared_ptr<UdpSocket> udp;
        const char* message;
    } cases[] = {
        {"no delegate", UdpSocket::create(),
         "Attempting to use socket without a delegate. Set a delegate first."},
        {"no delegate queue", UdpSocket::create(recorder),
         "Attempting to use socket without a delegate queue. Set a delegate queue first."},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        Error error;
        EXPECT_FALSE(c.udp->bindToPort(0, &error));
        EXPECT_EQ(error, (Error{"UdpSocketErrorDomain", 1, c.message}));
        EXPECT_FALSE(c.udp->enableBroadcast(true, &error));
        EXPECT_FALSE(c.udp->connectToAddress(loopback4(9), &error));
        EXPECT_EQ(error.description, c.message);
        EXPECT_TRUE(c.udp->isClosed());
    }
    // Setting them later makes the socket usable.
    auto udp = UdpSocket::create();
    udp->synchronouslySetDelegate(recorder, DispatchQueue::main());
    EXPECT_EQ(udp->delegate(), recorder);
    EXPECT_TRUE(udp->bindToPort(0));
}

TEST_F(UdpSocketTest, BroadcastBindOnAnyOrAFixedPortReceives) {
    for (const std::uint16_t wanted : {std::uint16_t(0), freeUdpPort()}) {
        SCOPED_TRACE(wanted);
        auto listener = std::make_shared<UdpRecorder>();
        auto socket = UdpSocket::create(listener, DispatchQueue::main());
        // The discovery listener's set-up.
        socket->setPreferIPv4();
        socket->setIPv6Enabled(false);
        Error error;
        ASSERT_TRUE(socket->enableBroadcast(true, &error)) << error.description;
        ASSERT_TRUE(socket->enableReusePort(true, &error)) << error.description;
        ASSERT_TRUE(socket->bindToPort(wanted, &error)) << error.description;
        ASSERT_TRUE(socket->beginReceiving(&error));
        const std::uint16_t port = socket->localPort();
        if (wanted != 0) {
            EXPECT_EQ(port, wanted);
        }
        EXPECT_NE(port, 0);
        EXPECT_EQ(socket->localHost(), "0.0.0.0");
        EXPECT_FALSE(socket->isIPv6());
        EXPECT_EQ(socket->localPort_IPv6(), 0);

        UdpPeer peer;
        peer.sendTo(loopback4(port), "discovery");
        ASSERT_TRUE(runMainUntil([&] { return !listener->received.empty(); }));
        EXPECT_EQ(listener->received[0].data, "discovery");
        EXPECT_EQ(listener->received[0].from, peer.address());
        EXPECT_FALSE(listener->received[0].context.has_value());
        socket->close();
    }
}

TEST_F(UdpSocketTest, ReusePortSocketsShareAPortAndEachHearsABroadcast) {
    const std::uint16_t port = freeUdpPort();
    std::vector<std::shared_ptr<UdpRecorder>> recorders;
    std::vector<std::shared_ptr<UdpSocket>> listeners;
    for (int i = 0; i < 2; ++i) {
        recorders.push_back(std::make_shared<UdpRecorder>());
        listeners.push_back(UdpSocket::create(recorders.back(), DispatchQueue::main()));
        listeners.back()->setIPv6Enabled(false);
        ASSERT_TRUE(listeners.back()->enableReusePort(true));
        Error error;
        ASSERT_TRUE(listeners.back()->bindToPort(port, &error)) << error.description;
        ASSERT_TRUE(listeners.back()->beginReceiving());
    }
    udp->setIPv6Enabled(false);
    ASSERT_TRUE(udp->enableBroadcast(true));
    sockaddr_in broadcast{};
    broadcast.sin_family = AF_INET;
    broadcast.sin_port = htons(port);
    broadcast.sin_addr.s_addr = htonl(0x7FFFFFFF);  // 127.255.255.255
    udp->sendData(
        "hello", SocketAddress(reinterpret_cast<const char*>(&broadcast), sizeof broadcast), -1, 1);
    ASSERT_TRUE(runMainUntil(
        [&] { return !recorders[0]->received.empty() && !recorders[1]->received.empty(); }));
    EXPECT_EQ(recorders[0]->received[0].data, "hello");
    EXPECT_EQ(recorders[1]->received[0].data, "hello");
}

TEST_F(UdpSocketTest, APortInUseIsRefusedWithoutReusePort) {
    UdpPeer holder;  // plain socket holding a loopback port
    auto other = UdpSocket::create(recorder, DispatchQueue::main());
    ASSERT_TRUE(other->bindToPort(freeUdpPort()));
    const std::uint16_t taken = other->localPort();

    udp->setIPv6Enabled(false);
    Error error;
    EXPECT_FALSE(udp->bindToPort(taken, &error));
    EXPECT_EQ(error.domain, "NSPOSIXErrorDomain");
    EXPECT_EQ(error.code, EADDRINUSE);
    // As the TCP socket reports it: the system's text, and what failed as the reason.
    EXPECT_EQ(error.description, std::strerror(EADDRINUSE));
    EXPECT_EQ(error.failureReason, "Error in bind() function");
    EXPECT_TRUE(udp->isClosed());
    EXPECT_FALSE(udp->bindToAddress(loopback4(holder.port()), &error));
    EXPECT_EQ(error.code, EADDRINUSE);
    EXPECT_TRUE(udp->bindToPort(0, &error));  // failed binds left it usable
}

TEST_F(UdpSocketTest, BindingTwiceFailsAndKeepsTheFirstBinding) {
    ASSERT_TRUE(udp->bindToPort(0, std::string("localhost")));
    const std::uint16_t port4 = udp->localPort_IPv4();
    EXPECT_NE(port4, 0);
    EXPECT_NE(udp->localPort_IPv6(), 0);
    EXPECT_EQ(udp->localHost_IPv4(), "127.0.0.1");
    EXPECT_EQ(udp->localHost_IPv6(), "::1");
    EXPECT_EQ(udp->localAddress_IPv6().size(), sizeof(sockaddr_in6));

    Error error;
    EXPECT_FALSE(udp->bindToPort(0, &error));
    EXPECT_EQ(error, (Error{"UdpSocketErrorDomain", 1, "Cannot bind a socket more than once."}));
    EXPECT_EQ(udp->localPort_IPv4(), port4);
    ASSERT_TRUE(udp->beginReceiving());
    UdpPeer peer;
    peer.sendTo(loopback4(port4), "still bound");
    ASSERT_TRUE(runMainUntil([&] { return !recorder->received.empty(); }));
}

TEST_F(UdpSocketTest, BothFamiliesBindOneFixedPort) {
    const std::uint16_t port = freeUdpPort();
    Error error;
    ASSERT_TRUE(udp->bindToPort(port, &error)) << error.description;
    EXPECT_EQ(udp->localPort_IPv4(), port);
    EXPECT_EQ(udp->localPort_IPv6(), port);
    EXPECT_TRUE(udp->isIPv4());
    EXPECT_TRUE(udp->isIPv6());
}

TEST_F(UdpSocketTest, BindErrorsNameTheProblem) {
    struct Case {
        const char* name;
        bool ipv4Enabled;
        bool ipv6Enabled;
        std::function<bool(UdpSocket&, Error*)> bind;
        Error expected;
    } cases[] = {
        {"unknown interface",
         true,
         true,
         [](UdpSocket& s, Error* e) {
             return s.bindToPort(0, std::string("no-such-interface0"), e);
         },
         {"UdpSocketErrorDomain", 2,
          "Unknown interface. Specify valid interface by name (e.g. \"en1\") or IP address."}},
        {"both disabled",
         false,
         false,
         [](UdpSocket& s, Error* e) { return s.bindToPort(0, e); },
         {"UdpSocketErrorDomain", 1,
          "Both IPv4 and IPv6 have been disabled. Must enable at least one protocol first."}},
        {"IPv6 interface, IPv4 only",
         true,
         false,
         [](UdpSocket& s, Error* e) { return s.bindToPort(0, std::string("::1"), e); },
         {"UdpSocketErrorDomain", 2,
          "IPv6 has been disabled and specified interface doesn't support IPv4."}},
        {"not an address",
         true,
         true,
         [](UdpSocket& s, Error* e) { return s.bindToAddress("garbage", e); },
         {"UdpSocketErrorDomain", 2, "A valid IPv4 or IPv6 address was not given"}},
        {"IPv4 address, IPv4 disabled",
         false,
         true,
         [](UdpSocket& s, Error* e) { return s.bindToAddress(loopback4(0), e); },
         {"UdpSocketErrorDomain", 2, "IPv4 has been disabled and an IPv4 address was passed."}},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto s = UdpSocket::create(recorder, DispatchQueue::main());
        s->setIPv4Enabled(c.ipv4Enabled);
        s->setIPv6Enabled(c.ipv6Enabled);
        Error error;
        EXPECT_FALSE(c.bind(*s, &error));
        EXPECT_EQ(error, c.expected);
        EXPECT_TRUE(s->isClosed());
    }
}

TEST_F(UdpSocketTest, BindByInterfaceNameOrAddress) {
    udp->setIPv6Enabled(false);
    ASSERT_TRUE(udp->bindToPort(0, std::string("lo")));
    EXPECT_EQ(udp->localHost(), "127.0.0.1");

    auto other = UdpSocket::create(recorder, DispatchQueue::main());
    ASSERT_TRUE(other->bindToAddress(loopback6(0)));
    EXPECT_EQ(other->localHost(), "::1");  // the IPv4 family was never made
    EXPECT_FALSE(other->isIPv4());
}

TEST_F(UdpSocketTest, EnableBroadcastWithoutIPv4SaysNoWithoutAnError) {
    udp->setIPv4Enabled(false);
    Error error{"untouched", 0, ""};
    EXPECT_FALSE(udp->enableBroadcast(true, &error));
    EXPECT_EQ(error.domain, "untouched");
    EXPECT_FALSE(udp->isClosed());  // the option made the sockets
    EXPECT_TRUE(udp->isIPv6());
    EXPECT_TRUE(udp->enableReusePort(true, &error));
}

TEST_F(UdpSocketTest, MulticastNeedsABindingAndNumericGroup) {
    Error error;
    EXPECT_FALSE(udp->joinMulticastGroup("239.255.42.99", &error));
    EXPECT_EQ(error.description, "Must bind a socket before joining a multicast group.");
    udp->setIPv6Enabled(false);
    ASSERT_TRUE(udp->bindToPort(0));
    EXPECT_FALSE(udp->joinMulticastGroup("group.invalid", &error));
    EXPECT_EQ(error.description, "Unknown group. Specify valid group IP address.");
    EXPECT_FALSE(udp->joinMulticastGroup("ff02::1", std::string("127.0.0.1"), &error));
    EXPECT_EQ(error.description, "Socket, group, and interface do not have matching IP versions");
    EXPECT_TRUE(udp->joinMulticastGroup("239.255.42.99", std::string("127.0.0.1"), &error))
        << error.description;
    EXPECT_TRUE(udp->leaveMulticastGroup("239.255.42.99", std::string("127.0.0.1"), &error))
        << error.description;
    EXPECT_TRUE(udp->sendIPv4MulticastOnInterface("127.0.0.1", &error)) << error.description;
    EXPECT_FALSE(udp->sendIPv4MulticastOnInterface("::1", &error));
    EXPECT_EQ(error.description, "Unknown interface. Specify valid interface by IP address.");
}

TEST_F(UdpSocketTest, CloseNotifiesOnlyWhenSocketsExistAndKeepsTheConfiguration) {
    udp->setIPv6Enabled(false);
    udp->setPreferIPv4();
    udp->close();
    settle();
    EXPECT_TRUE(recorder->closed.empty());

    ASSERT_TRUE(udp->bindToPort(0));
    EXPECT_FALSE(udp->isClosed());
    udp->close();
    EXPECT_TRUE(udp->isClosed());
    EXPECT_EQ(udp->localPort(), 0);
    EXPECT_FALSE(udp->isIPv6Enabled());
    EXPECT_TRUE(udp->isIPv4Preferred());
    EXPECT_FALSE(udp->isIPVersionNeutral());
    ASSERT_TRUE(runMainUntil([&] { return !recorder->closed.empty(); }));
    EXPECT_EQ(recorder->closed, std::vector<std::optional<Error>>{std::nullopt});

    // A closed socket can be bound and used again.
    ASSERT_TRUE(udp->bindToPort(0));
    EXPECT_FALSE(udp->isClosed());
}

TEST_F(UdpSocketTest, ClosingOrReleasingTheSocketFreesItsPort) {
    udp->setIPv6Enabled(false);
    ASSERT_TRUE(udp->bindToPort(0));
    const std::uint16_t first = udp->localPort();
    EXPECT_FALSE(portIsFree(first));
    udp->close();
    EXPECT_TRUE(runMainUntil([&] { return portIsFree(first); }));

    auto released = UdpSocket::create(recorder, DispatchQueue::main());
    released->setIPv6Enabled(false);
    ASSERT_TRUE(released->bindToPort(0));
    const std::uint16_t second = released->localPort();
    released.reset();
    EXPECT_TRUE(runMainUntil([&] { return portIsFree(second); }));
}

TEST_F(UdpSocketTest, ConfigurationAndDescriptorsAnswerOnTheSocketQueue) {
    EXPECT_TRUE(udp->isIPVersionNeutral());
    udp->setPreferIPv6();
    EXPECT_TRUE(udp->isIPv6Preferred());
    EXPECT_FALSE(udp->isIPv4Preferred());
    udp->setIPVersionNeutral();
    EXPECT_TRUE(udp->isIPVersionNeutral());
    udp->setMaxReceiveIPv4BufferSize(1500);
    udp->setMaxReceiveIPv6BufferSize(100000);
    EXPECT_EQ(udp->maxReceiveIPv4BufferSize(), 1500);
    EXPECT_EQ(udp->maxReceiveIPv6BufferSize(), 100000u);
    EXPECT_EQ(udp->maxSendBufferSize(), 65535);
    udp->setUserData(std::string("radio"));
    EXPECT_EQ(std::any_cast<std::string>(udp->userData()), "radio");

    ASSERT_TRUE(udp->bindToPort(0));
    EXPECT_EQ(udp->socketFD(), -1);  // off the socket queue
    int fd4 = -1;
    int fd6 = -1;
    udp->performBlock([&] {
        fd4 = udp->socket4FD();
        fd6 = udp->socket6FD();
    });
    EXPECT_GE(fd4, 0);
    EXPECT_GE(fd6, 0);
}

}  // namespace
}  // namespace vm::test
