// Listening TcpSockets: ports shared by both families, interface descriptions, socket files,
// accepted connections and the accessors.
#include "TcpTestSupport.h"

#include "net/TcpSocketError.h"

#include <sys/stat.h>
#include <sys/un.h>

#include <filesystem>
#include <fstream>

namespace vm::test {
namespace {

using namespace std::chrono_literals;

struct Listener {
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
    TcpSocketPtr sock = TcpSocket::create(delegate, DispatchQueue::main());
};

TEST(TcpListen, PortZeroGivesBothFamiliesOnePort) {
    Listener listener;
    auto acceptedQueue = DispatchQueue::serial("accepted");
    listener.delegate->queueForAccepted = acceptedQueue;
    Error error;
    ASSERT_TRUE(listener.sock->acceptOnPort(0, &error)) << error.description;
    std::uint16_t port4 = 0;
    std::uint16_t port6 = 0;
    listener.sock->performBlock([&] {
        port4 = listener.sock->localPort4();
        port6 = listener.sock->localPort6();
    });
    ASSERT_NE(port4, 0);
    EXPECT_EQ(port4, port6);
    EXPECT_EQ(listener.sock->localHost(), "0.0.0.0");

    Fd over4 = plainConnect(port4, AF_INET);
    Fd over6 = plainConnect(port4, AF_INET6);
    ASSERT_TRUE(waitFor([&] { return listener.delegate->accepted.size() == 2; }));
    for (const TcpSocketPtr& accepted : listener.delegate->accepted) {
        EXPECT_TRUE(accepted->isConnected());
        EXPECT_EQ(accepted->localPort(), port4);
        const auto host = accepted->connectedHost();
        ASSERT_TRUE(host.has_value());
        EXPECT_TRUE(*host == "127.0.0.1" || *host == "::1") << *host;
        bool onGivenQueue = false;
        accepted->performBlock([&] { onGivenQueue = acceptedQueue->isCurrent(); });
        EXPECT_TRUE(onGivenQueue);
    }
    // Accepted sockets outlive the listener.
    listener.sock->disconnect();
    TcpSocketPtr first = listener.delegate->accepted[0];
    first->writeData("still open", -1, 1);
    const int peer = first->isIPv4() ? over4.get() : over6.get();
    EXPECT_EQ(receive(peer, 10), "still open");
}

TEST(TcpListen, InterfaceDescriptions) {
    struct Case {
        std::string description;
        std::uint16_t port;
        const char* host4;  // null: no IPv4 address
        const char* host6;
        std::uint16_t expectedPort;
    };
    const std::vector<Case> cases = {
        {"", 5, "0.0.0.0", "::", 5},
        {"localhost", 7, "127.0.0.1", "::1", 7},
        {"loopback", 7, "127.0.0.1", "::1", 7},
        {"lo:8080", 0, "127.0.0.1", "::1", 8080},
        {"lo:8080", 9000, "127.0.0.1", "::1", 9000},
        {":8080", 0, "0.0.0.0", "::", 8080},
        {"lo:70000", 0, "127.0.0.1", "::1", 0},
        {"127.0.0.1", 4, "127.0.0.1", nullptr, 4},
        {"::1", 4, nullptr, "::1", 4},  // an IPv6 address, not "interface:port"
        {"nosuch0", 4, nullptr, nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description + " port " + std::to_string(c.port));
        SocketAddress address4;
        SocketAddress address6;
        TcpSocket::getInterfaceAddress4(&address4, &address6, c.description, c.port);
        EXPECT_EQ(sockaddr::hostFromAddress(address4),
                  c.host4 ? std::optional<std::string>(c.host4) : std::nullopt);
        EXPECT_EQ(sockaddr::hostFromAddress(address6),
                  c.host6 ? std::optional<std::string>(c.host6) : std::nullopt);
        if (c.host4) {
            EXPECT_EQ(sockaddr::portFromAddress(address4), c.expectedPort);
        }
        if (c.host6) {
            EXPECT_EQ(sockaddr::portFromAddress(address6), c.expectedPort);
        }
    }
}

TEST(TcpListen, RefusedListens) {
    Listener listener;
    Error error;
    EXPECT_FALSE(listener.sock->acceptOnInterface("nosuch0", 0, &error));
    EXPECT_EQ(error.code, 2);
    ASSERT_TRUE(listener.sock->acceptOnInterface("127.0.0.1", 0, &error));
    EXPECT_FALSE(listener.sock->acceptOnPort(0, &error));
    EXPECT_EQ(error.description,
              "Attempting to accept while connected or accepting connections. Disconnect first.");
    auto orphan = TcpSocket::create();
    EXPECT_FALSE(orphan->acceptOnPort(0, &error));
    EXPECT_EQ(error.description, "Attempting to accept without a delegate. Set a delegate first.");
    EXPECT_FALSE(orphan->acceptOnUrl("file:///tmp/x", &error));
    EXPECT_EQ(error.code, 1);
}

TEST(TcpListen, SocketFileIsReplacedWhenStaleAndRemovedOnClose) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path();
    const std::string path = (dir / ("vm-listen-" + std::to_string(::getpid()) + ".sock")).string();
    {
        // A socket file left behind by a listener that went away.
        Fd stale(::socket(AF_UNIX, SOCK_STREAM, 0));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        ASSERT_EQ(::bind(stale.get(), reinterpret_cast<::sockaddr*>(&address), sizeof address), 0);
    }
    ASSERT_TRUE(std::filesystem::exists(path));
    Listener listener;
    Error error;
    ASSERT_TRUE(listener.sock->acceptOnUrl("file://" + path, &error)) << error.description;
    struct stat info {};
    ASSERT_EQ(::lstat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    listener.sock->disconnect();
    EXPECT_FALSE(std::filesystem::exists(path));

    // Anything that is not a socket file is left alone.
    const std::string plain = (dir / ("vm-listen-" + std::to_string(::getpid()) + ".txt")).string();
    std::ofstream(plain) << "keep me";
    EXPECT_FALSE(listener.sock->acceptOnUrl("file://" + plain, &error));
    EXPECT_EQ(error.code, 8);
    EXPECT_EQ(error.description, "Could not remove previous unix domain socket at given url.");
    EXPECT_TRUE(std::filesystem::exists(plain));
    std::filesystem::remove(plain);

    // A path too long for a socket address is refused rather than cut short.
    EXPECT_FALSE(listener.sock->acceptOnUrl("file:///tmp/" + std::string(200, 'p'), &error));
    EXPECT_EQ(error.code, 2);
}

TEST(TcpListen, ConnectionWithoutADelegateQueueIsClosed) {
    Listener listener;
    ASSERT_TRUE(listener.sock->acceptOnInterface("127.0.0.1", 0));
    const std::uint16_t port = listener.sock->localPort();
    listener.sock->synchronouslySetDelegateQueue(nullptr);
    Fd peer = plainConnect(port);
    EXPECT_TRUE(peerClosed(peer.get()));
    EXPECT_TRUE(listener.delegate->accepted.empty());
}

TEST(TcpListen, AccessorsOfDisconnectedAndConnectedSockets) {
    auto idle = TcpSocket::create();
    EXPECT_FALSE(idle->connectedHost().has_value());
    EXPECT_EQ(idle->connectedPort(), 0);
    EXPECT_FALSE(idle->connectedUrl().has_value());
    EXPECT_TRUE(idle->connectedAddress().empty());
    EXPECT_FALSE(idle->isIPv4());

    ConnectedPair pair;
    EXPECT_EQ(pair.sock->socketFD(), -1);  // not on the socket queue
    EXPECT_EQ(pair.sock->socket4FD(), -1);
    int fd = -1;
    pair.sock->performBlock([&] { fd = pair.sock->socketFD(); });
    EXPECT_GE(fd, 0);
    EXPECT_EQ(pair.sock->connectedHost(), "127.0.0.1");
    EXPECT_EQ(pair.sock->connectedPort(), pair.delegate->connects[0].second);
    EXPECT_EQ(sockaddr::portFromAddress(pair.sock->connectedAddress()),
              pair.delegate->connects[0].second);
    EXPECT_EQ(pair.sock->localHost(), "127.0.0.1");
    EXPECT_EQ(sockaddr::portFromAddress(pair.sock->localAddress()), pair.sock->localPort());

    // A queue the socket queue targets, once marked, counts as the socket queue.
    auto owner = DispatchQueue::serial("owner");
    auto targeted = TcpSocket::create(pair.delegate, DispatchQueue::main(),
                                      DispatchQueue::serial("sock", owner));
    Error error;
    ASSERT_TRUE(targeted->acceptOnInterface("127.0.0.1", 0, &error));
    int seen = -2;
    owner->sync([&] { seen = targeted->socket4FD(); });
    EXPECT_EQ(seen, -1);
    targeted->markSocketQueueTargetQueue(owner);
    owner->sync([&] { seen = targeted->socket4FD(); });
    EXPECT_GE(seen, 0);
    targeted->unmarkSocketQueueTargetQueue(owner);
}

}  // namespace
}  // namespace vm::test
