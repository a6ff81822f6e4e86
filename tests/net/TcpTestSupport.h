#pragma once
// Test helpers for the TCP socket: a delegate that records every call (it runs on the main queue,
// which the tests drain), and plain-socket peers on loopback.
#include "net/TcpSocket.h"
#include "platform/core/DispatchQueue.h"
#include "support/LoopbackPort.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vm::test {

struct RecordingDelegate : TcpSocketDelegate {
    std::vector<std::pair<std::string, std::uint16_t>> connects;
    std::vector<std::string> urlConnects;
    std::vector<std::pair<long, Bytes>> reads;
    std::vector<std::pair<long, std::size_t>> partialReads;
    std::vector<long> writes;
    std::vector<std::pair<long, std::size_t>> partialWrites;
    std::vector<double> readTimeoutElapsed;
    std::vector<double> readTimeoutAnswers;  // answered in turn; 0 once they run out
    std::vector<std::optional<Error>> disconnects;
    int readStreamClosed = 0;
    std::vector<TcpSocketPtr> accepted;
    DispatchQueuePtr queueForAccepted;  // the socket queue offered to accepted connections
    std::function<void(const TcpSocketPtr&, long)> afterRead;  // e.g. queue the next read

    void socketDidConnectToHost(const TcpSocketPtr&, const std::string& host,
                                std::uint16_t port) override {
        connects.emplace_back(host, port);
    }
    void socketDidConnectToUrl(const TcpSocketPtr&, const std::string& url) override {
        urlConnects.push_back(url);
    }
    void socketDidReadData(const TcpSocketPtr& sock, std::string_view data, long tag) override {
        reads.emplace_back(tag, Bytes(data));
        if (afterRead) afterRead(sock, tag);
    }
    void socketDidReadPartialDataOfLength(const TcpSocketPtr&, std::size_t length,
                                          long tag) override {
        partialReads.emplace_back(tag, length);
    }
    void socketDidWriteDataWithTag(const TcpSocketPtr&, long tag) override {
        writes.push_back(tag);
    }
    void socketDidWritePartialDataOfLength(const TcpSocketPtr&, std::size_t length,
                                           long tag) override {
        partialWrites.emplace_back(tag, length);
    }
    double socketShouldTimeoutReadWithTag(const TcpSocketPtr&, long, double elapsed,
                                          std::size_t) override {
        const std::size_t turn = readTimeoutElapsed.size();
        readTimeoutElapsed.push_back(elapsed);
        return turn < readTimeoutAnswers.size() ? readTimeoutAnswers[turn] : 0;
    }
    void socketDidCloseReadStream(const TcpSocketPtr&) override { ++readStreamClosed; }
    void socketDidDisconnect(const TcpSocketPtr&, const std::optional<Error>& error) override {
        disconnects.push_back(error);
    }
    DispatchQueuePtr newSocketQueueForConnectionFromAddress(const SocketAddress&,
                                                            const TcpSocketPtr&) override {
        return queueForAccepted;
    }
    void socketDidAcceptNewSocket(const TcpSocketPtr&, const TcpSocketPtr& newSocket) override {
        accepted.push_back(newSocket);
    }
};

inline bool waitFor(const std::function<bool()>& done,
                    std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    return runMainUntil(done, timeout);
}

// Lets queued work run for a while when a test checks that something does not happen.
inline void settle(std::chrono::milliseconds time = std::chrono::milliseconds(200)) {
    runMainUntil([] { return false; }, time);
}

// A plain descriptor, closed with its owner.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        reset(std::exchange(other.fd_, -1));
        return *this;
    }
    ~Fd() { reset(); }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1) {
        if (fd_ != -1) ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

inline bool waitReadable(int fd, int timeoutMs = 10000) {
    pollfd pfd{fd, POLLIN, 0};
    return ::poll(&pfd, 1, timeoutMs) == 1;
}

inline void sendAll(int fd, const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        ASSERT_GT(n, 0) << std::strerror(errno);
        done += static_cast<std::size_t>(n);
    }
}

// Reads until `count` bytes came, the peer closed, or nothing came for 10 s.
inline Bytes receive(int fd, std::size_t count) {
    Bytes out;
    char chunk[65536];
    while (out.size() < count && waitReadable(fd)) {
        const ssize_t n = ::recv(fd, chunk, std::min(sizeof chunk, count - out.size()), 0);
        if (n <= 0) break;
        out.append(chunk, static_cast<std::size_t>(n));
    }
    return out;
}

// True when the peer closed the connection (end of stream within 10 s).
inline bool peerClosed(int fd) {
    char byte = 0;
    return waitReadable(fd) && ::recv(fd, &byte, 1, 0) == 0;
}

inline SocketAddress loopbackAddress(int family, std::uint16_t port) {
    if (family == AF_INET6) {
        sockaddr_in6 a{};
        a.sin6_family = AF_INET6;
        a.sin6_port = htons(port);
        a.sin6_addr = in6addr_loopback;
        return SocketAddress(reinterpret_cast<const char*>(&a), sizeof a);
    }
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return SocketAddress(reinterpret_cast<const char*>(&a), sizeof a);
}

// A plain listening socket on the loopback address of `family`, on a port the system chose.
class PlainListener {
public:
    explicit PlainListener(int family = AF_INET, int backlog = 16, int receiveBuffer = 0)
        : fd_(::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        const int on = 1;
        ::setsockopt(fd_.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (receiveBuffer > 0) {
            ::setsockopt(fd_.get(), SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        }
        const SocketAddress address = loopbackAddress(family, 0);
        if (::bind(fd_.get(), reinterpret_cast<const ::sockaddr*>(address.data()),
                   static_cast<socklen_t>(address.size())) != 0 ||
            ::listen(fd_.get(), backlog) != 0) {
            ADD_FAILURE() << "listen: " << std::strerror(errno);
        }
        sockaddr_storage bound{};
        socklen_t length = sizeof bound;
        ::getsockname(fd_.get(), reinterpret_cast<::sockaddr*>(&bound), &length);
        port_ =
            sockaddr::portFromAddress(SocketAddress(reinterpret_cast<const char*>(&bound), length));
    }
    std::uint16_t port() const { return port_; }
    int fd() const { return fd_.get(); }
    Fd accept() {
        if (!waitReadable(fd_.get())) return Fd();
        return Fd(::accept4(fd_.get(), nullptr, nullptr, SOCK_CLOEXEC));
    }

private:
    Fd fd_;
    std::uint16_t port_ = 0;
};

// A plain client connected to 127.0.0.1:port (blocking).
inline Fd plainConnect(std::uint16_t port, int family = AF_INET) {
    Fd fd(::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const SocketAddress address = loopbackAddress(family, port);
    if (::connect(fd.get(), reinterpret_cast<const ::sockaddr*>(address.data()),
                  static_cast<socklen_t>(address.size())) != 0) {
        ADD_FAILURE() << "connect: " << std::strerror(errno);
    }
    return fd;
}

// A TcpSocket (delegate on the main queue) connected to a plain peer on 127.0.0.1.
template <class Delegate = RecordingDelegate>
struct BasicConnectedPair {
    std::shared_ptr<Delegate> delegate = std::make_shared<Delegate>();
    TcpSocketPtr sock = TcpSocket::create(delegate, DispatchQueue::main());
    Fd peer;

    explicit BasicConnectedPair(int peerReceiveBuffer = 0, bool halfDuplex = false,
                                double connectTimeout = 10.0) {
        PlainListener listener(AF_INET, 16, peerReceiveBuffer);
        if (halfDuplex) sock->setAutoDisconnectOnClosedReadStream(false);
        Error error;
        EXPECT_TRUE(sock->connectToHost("127.0.0.1", listener.port(), connectTimeout, &error))
            << error.description;
        peer = listener.accept();
        EXPECT_TRUE(waitFor([&] { return !delegate->connects.empty(); }));
    }
};
using ConnectedPair = BasicConnectedPair<>;

}  // namespace vm::test
