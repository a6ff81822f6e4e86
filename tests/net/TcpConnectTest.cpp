// Connecting a TcpSocket: refused requests, name resolution over both families, failures,
// the connect time-out, Unix-domain sockets and adopting a connected descriptor.
#include "TcpTestSupport.h"

#include "net/TcpSocketError.h"
#include "platform/core/DispatchClock.h"

#include <sys/un.h>

#include <cerrno>
#include <filesystem>

namespace vm::test {
namespace {

using namespace std::chrono_literals;

TEST(TcpConnect, RefusedRequestsAnswerAtOnceAndReportNothing) {
    struct Case {
        const char* name;
        std::function<bool(TcpSocket&, Error*)> request;
        std::function<void(TcpSocket&)> setUp;
        long code;
        const char* description;
    };
    const std::uint16_t port = unusedLoopbackPort();
    const std::vector<Case> cases = {
        {"EmptyHost", [](TcpSocket& s, Error* e) { return s.connectToHost("", 4992, 30, e); },
         nullptr, 2,
         "Invalid host parameter (nil or \"\"). Should be a domain name or IP address string."},
        {"NoDelegateQueue",
         [port](TcpSocket& s, Error* e) { return s.connectToHost("127.0.0.1", port, e); },
         [](TcpSocket& s) { s.synchronouslySetDelegateQueue(nullptr); }, 1,
         "Attempting to connect without a delegate queue. Set a delegate queue first."},
        {"NoDelegate",
         [port](TcpSocket& s, Error* e) { return s.connectToHost("127.0.0.1", port, e); },
         [](TcpSocket& s) { s.synchronouslySetDelegate(std::weak_ptr<TcpSocketDelegate>()); }, 1,
         "Attempting to connect without a delegate. Set a delegate first."},
        {"BothFamiliesDisabled",
         [port](TcpSocket& s, Error* e) { return s.connectToHost("127.0.0.1", port, e); },
         [](TcpSocket& s) {
             s.setIPv4Enabled(false);
             s.setIPv6Enabled(false);
         },
         1, "Both IPv4 and IPv6 have been disabled. Must enable at least one protocol first."},
        {"UnknownInterface",
         [port](TcpSocket& s, Error* e) {
             return s.connectToHost("127.0.0.1", port, "nosuch0", 5, e);
         },
         nullptr, 2,
         "Unknown interface. Specify valid interface by name (e.g. \"en1\") or IP address."},
        {"ShortAddress",
         [](TcpSocket& s, Error* e) { return s.connectToAddress(Bytes(8, '\0'), e); }, nullptr, 2,
         "A valid IPv4 or IPv6 address was not given"},
        {"DisabledFamilyAddress",
         [port](TcpSocket& s, Error* e) {
             return s.connectToAddress(loopbackAddress(AF_INET6, port), e);
         },
         [](TcpSocket& s) { s.setIPv6Enabled(false); }, 2,
         "IPv6 has been disabled and an IPv6 address was passed."},
        {"EmptyUrl", [](TcpSocket& s, Error* e) { return s.connectToUrl("file://", 5, e); },
         nullptr, 2, "Invalid unix domain socket url."},
        {"NetServiceWithoutAddresses",
         [](TcpSocket& s, Error* e) { return s.connectToNetService({}, e); }, nullptr, 2,
         "A valid IPv4 or IPv6 address was not given"},
        {"NetServiceOfRefusedAddresses",
         [port](TcpSocket& s, Error* e) {
             return s.connectToNetService({Bytes(8, '\0'), loopbackAddress(AF_INET6, port)}, e);
         },
         [](TcpSocket& s) { s.setIPv6Enabled(false); }, 2,
         "IPv6 has been disabled and an IPv6 address was passed."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto delegate = std::make_shared<RecordingDelegate>();
        auto sock = TcpSocket::create(delegate, DispatchQueue::main());
        if (c.setUp) c.setUp(*sock);
        Error error;
        EXPECT_FALSE(c.request(*sock, &error));
        EXPECT_EQ(error.domain, kTcpSocketErrorDomain);
        EXPECT_EQ(error.code, c.code);
        EXPECT_EQ(error.description, c.description);
        EXPECT_TRUE(sock->isDisconnected());
        settle(20ms);
        EXPECT_TRUE(delegate->disconnects.empty());
    }
}

TEST(TcpConnect, NetServiceConnectsAtTheFirstAddressAccepted) {
    PlainListener listener;
    auto delegate = std::make_shared<RecordingDelegate>();
    auto sock = TcpSocket::create(delegate, DispatchQueue::main());
    sock->setIPv6Enabled(false);
    Error error;
    ASSERT_TRUE(sock->connectToNetService(
        {loopbackAddress(AF_INET6, listener.port()), loopbackAddress(AF_INET, listener.port())},
        &error))
        << error.description;
    ASSERT_TRUE(waitFor([&] { return !delegate->connects.empty(); }));
    EXPECT_EQ(delegate->connects[0],
              (std::pair<std::string, std::uint16_t>{"127.0.0.1", listener.port()}));
    // The socket's TLS path is its own engine on every system.
    EXPECT_FALSE(sock->usingCFStreamForTLS());
    EXPECT_TRUE(sock->usingSecureTransportForTLS());
}

TEST(TcpConnect, SecondConnectWhileConnectedIsRefused) {
    ConnectedPair pair;
    Error error;
    EXPECT_FALSE(pair.sock->connectToHost("127.0.0.1", 1, &error));
    EXPECT_EQ(error.code, 1);
    EXPECT_EQ(error.description,
              "Attempting to connect while connected or accepting connections. Disconnect first.");
    EXPECT_TRUE(pair.sock->isConnected());
}

TEST(TcpConnect, RefusedPortReportsTheConnectError) {
    auto delegate = std::make_shared<RecordingDelegate>();
    auto sock = TcpSocket::create(delegate, DispatchQueue::main());
    ASSERT_TRUE(sock->connectToHost("127.0.0.1", unusedLoopbackPort(), 30));
    ASSERT_TRUE(waitFor([&] { return !delegate->disconnects.empty(); }));
    ASSERT_TRUE(delegate->disconnects[0].has_value());
    const Error& error = *delegate->disconnects[0];
    EXPECT_EQ(error.domain, kPosixErrorDomain);
    EXPECT_EQ(error.code, ECONNREFUSED);
    EXPECT_EQ(error.failureReason, "Error in connect() function");
    EXPECT_TRUE(delegate->connects.empty());
    EXPECT_TRUE(sock->isDisconnected());
}

// "localhost" resolves to 127.0.0.1 and ::1; the listener below takes both on one port.
struct LocalhostListener {
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
    TcpSocketPtr sock = TcpSocket::create(delegate, DispatchQueue::main());
    std::uint16_t port = 0;
    explicit LocalhostListener(const std::string& interface = "localhost") {
        Error error;
        EXPECT_TRUE(sock->acceptOnInterface(interface, 0, &error)) << error.description;
        port = sock->localPort();
    }
};

TEST(TcpConnect, LocalhostGivesExactlyOneConnect) {
    LocalhostListener listener;
    auto delegate = std::make_shared<RecordingDelegate>();
    auto sock = TcpSocket::create(delegate, DispatchQueue::main());
    ASSERT_TRUE(sock->connectToHost("localhost", listener.port, 30));
    ASSERT_TRUE(waitFor([&] { return !delegate->connects.empty(); }));
    DispatchClock::advance(1s);  // well past the second family's turn
    settle(300ms);
    ASSERT_EQ(delegate->connects.size(), 1u);
    EXPECT_EQ(delegate->connects[0],
              (std::pair<std::string, std::uint16_t>{"127.0.0.1", listener.port}));
    EXPECT_TRUE(sock->isIPv4());
    EXPECT_FALSE(sock->isIPv6());
    EXPECT_TRUE(delegate->disconnects.empty());
}

TEST(TcpConnect, SecondFamilyWinsWhenThePreferredOneIsRefused) {
    LocalhostListener listener("::1");  // nothing on 127.0.0.1 at that port
    auto delegate = std::make_shared<RecordingDelegate>();
    auto sock = TcpSocket::create(delegate, DispatchQueue::main());
    ASSERT_TRUE(sock->connectToHost("localhost", listener.port, 30));
    settle(100ms);
    EXPECT_TRUE(delegate->disconnects.empty());  // the IPv4 failure alone is silent
    DispatchClock::advance(1s);
    ASSERT_TRUE(waitFor([&] { return !delegate->connects.empty(); }));
    EXPECT_EQ(delegate->connects[0].first, "::1");
    EXPECT_TRUE(sock->isIPv6());
    settle(100ms);
    EXPECT_EQ(delegate->connects.size(), 1u);
    EXPECT_TRUE(delegate->disconnects.empty());
}

TEST(TcpConnect, DisabledFamilyIsNotTried) {
    LocalhostListener listener("::1");
    auto delegate = std::make_shared<RecordingDelegate>();
    auto sock = TcpSocket::create(delegate, DispatchQueue::main());
    sock->setIPv6Enabled(false);  // as the radio session does
    ASSERT_TRUE(sock->connectToHost("localhost", listener.port, 30));
    ASSERT_TRUE(waitFor([&] { return !delegate->disconnects.empty(); }));
    EXPECT_EQ(delegate->disconnects[0]->code, ECONNREFUSED);
    DispatchClock::advance(1s);
    settle(100ms);
    EXPECT_TRUE(delegate->connects.empty());
    EXPECT_TRUE(listener.delegate->accepted.empty());
}

TEST(TcpConnect, ConnectTimeoutAgainstASilentHost) {
    // A listener whose accept queue is full drops further connection requests unanswered.
    PlainListener listener(AF_INET, 0);
    Fd queued = plainConnect(listener.port());
    auto delegate = std::make_shared<RecordingDelegate>();
    auto sock = TcpSocket::create(delegate, DispatchQueue::main());
    ASSERT_TRUE(sock->connectToAddress(loopbackAddress(AF_INET, listener.port()), 30));
    settle(100ms);
    EXPECT_TRUE(delegate->disconnects.empty());
    DispatchClock::advance(31s);
    ASSERT_TRUE(waitFor([&] { return !delegate->disconnects.empty(); }));
    EXPECT_EQ(delegate->disconnects[0]->code, 3);
    EXPECT_EQ(delegate->disconnects[0]->description, "Attempt to connect to host timed out");
    listener.accept();  // room in the queue: a late answer must change nothing
    settle(300ms);
    EXPECT_TRUE(delegate->connects.empty());
    EXPECT_EQ(delegate->disconnects.size(), 1u);
    EXPECT_TRUE(sock->isDisconnected());
}

TEST(TcpConnect, SocketCanConnectAgainAfterAClose) {
    ConnectedPair pair;
    pair.sock->disconnect();
    ASSERT_TRUE(waitFor([&] { return pair.delegate->disconnects.size() == 1; }));
    PlainListener listener;
    // Connect through the loopback interface on a port of our choosing.
    const std::uint16_t localPort = unusedLoopbackPort();
    ASSERT_TRUE(pair.sock->connectToHost("127.0.0.1", listener.port(),
                                         "127.0.0.1:" + std::to_string(localPort), 5));
    // Requests made before the connection is up are served, in order, once it is.
    pair.sock->writeData("again", -1, 1);
    pair.sock->readDataToLength(2, -1, 2);
    Fd peer = listener.accept();
    sendAll(peer.get(), "ok");
    EXPECT_EQ(receive(peer.get(), 5), "again");
    ASSERT_TRUE(waitFor(
        [&] { return pair.delegate->connects.size() == 2 && !pair.delegate->reads.empty(); }));
    EXPECT_EQ(pair.delegate->reads[0], (std::pair<long, Bytes>{2, "ok"}));
    EXPECT_EQ(pair.sock->localPort(), localPort);
}

TEST(TcpConnect, UnixDomainSocketConnectsToAListeningFile) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("vm-tcp-" + std::to_string(::getpid()) + ".sock"))
                                 .string();
    const std::string url = "file://" + path;
    auto serverDelegate = std::make_shared<RecordingDelegate>();
    auto server = TcpSocket::create(serverDelegate, DispatchQueue::main());
    Error error;
    ASSERT_TRUE(server->acceptOnUrl(url, &error)) << error.description;

    auto delegate = std::make_shared<RecordingDelegate>();
    auto client = TcpSocket::create(delegate, DispatchQueue::main());
    ASSERT_TRUE(client->connectToUrl(url, 5, &error)) << error.description;
    ASSERT_TRUE(waitFor(
        [&] { return !delegate->urlConnects.empty() && !serverDelegate->accepted.empty(); }));
    EXPECT_EQ(delegate->urlConnects[0], url);
    EXPECT_EQ(client->connectedUrl(), url);
    EXPECT_FALSE(client->connectedHost().has_value());

    TcpSocketPtr accepted = serverDelegate->accepted[0];
    accepted->readDataToData(sockaddr::LFData(), -1, 1);
    client->writeData("over the file\n", -1, 2);
    ASSERT_TRUE(waitFor([&] { return !serverDelegate->reads.empty(); }));
    EXPECT_EQ(serverDelegate->reads[0].second, "over the file\n");
    server->disconnect();
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(TcpConnect, AdoptingAConnectedDescriptor) {
    PlainListener listener;
    Fd client = plainConnect(listener.port());
    Fd peer = listener.accept();
    auto delegate = std::make_shared<RecordingDelegate>();
    Error error;
    TcpSocketPtr sock = TcpSocket::socketFromConnectedSocketFD(
        client.release(), delegate, DispatchQueue::main(), nullptr, &error);
    ASSERT_TRUE(sock);
    ASSERT_TRUE(waitFor([&] { return !delegate->connects.empty(); }));
    EXPECT_EQ(delegate->connects[0].second, listener.port());
    sock->readDataToLength(2, -1, 1);
    sendAll(peer.get(), "hi");
    ASSERT_TRUE(waitFor([&] { return !delegate->reads.empty(); }));
    EXPECT_EQ(delegate->reads[0].second, "hi");

    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    Fd a(pair[0]);
    Fd b(pair[1]);
    EXPECT_FALSE(TcpSocket::socketFromConnectedSocketFD(a.get(), delegate, DispatchQueue::main(),
                                                        nullptr, &error));
    EXPECT_EQ(error.code, 8);
    EXPECT_EQ(error.description,
              "Attempt to create socket from socket FD failed. socket FD is neither IPv4 nor IPv6");
}

}  // namespace
}  // namespace vm::test
