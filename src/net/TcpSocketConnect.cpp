// TcpSocket: connecting to a host, an address or a socket file, the connect time-out, and the
// read and write sources of a connected descriptor.
#include "net/FileUrl.h"
#include "net/TcpSocket.h"
#include "net/TcpSocketError.h"
#include "platform/core/Log.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>

namespace vm {

namespace {

Error badParam(std::string message) {
    return tcpsocket::error(TcpSocketErrorCode::BadParam, std::move(message));
}

// AF_INET with exactly the size of sockaddr_in, or AF_INET6 with exactly that of sockaddr_in6.
int familyOfConnectAddress(const SocketAddress& address) {
    if (address.size() < sizeof(sockaddr_in)) {
        return 0;
    }
    sa_family_t family = 0;
    std::memcpy(&family, address.data() + offsetof(::sockaddr, sa_family), sizeof family);
    if (family == AF_INET && address.size() == sizeof(sockaddr_in)) {
        return AF_INET;
    }
    if (family == AF_INET6 && address.size() == sizeof(sockaddr_in6)) {
        return AF_INET6;
    }
    return 0;
}

const ::sockaddr* asSockaddr(const SocketAddress& address) {
    return reinterpret_cast<const ::sockaddr*>(address.data());
}

// The length connect() and bind() take for a Unix-domain address: up to the path's end.
socklen_t unixAddressLength(const SocketAddress& address) {
    const auto* un = reinterpret_cast<const sockaddr_un*>(address.data());
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) +
                                  ::strnlen(un->sun_path, sizeof un->sun_path) + 1);
}

// A duplicate that a blocking connect() on another thread can use even if the socket closes
// the original meanwhile (its number could otherwise be reused by another descriptor).
int duplicate(int fd) { return ::fcntl(fd, F_DUPFD_CLOEXEC, 0); }

}  // namespace

// Requests --------------------------------------------------------------------------------------

bool TcpSocket::connectToHost(const std::string& host, std::uint16_t port, Error* error) {
    return connectToHost(host, port, std::string(), -1, error);
}

bool TcpSocket::connectToHost(const std::string& host, std::uint16_t port, double timeout,
                              Error* error) {
    return connectToHost(host, port, std::string(), timeout, error);
}

bool TcpSocket::connectToHost(const std::string& host, std::uint16_t port,
                              const std::string& viaInterface, double timeout, Error* error) {
    return onQueue([&] {
        if (host.empty()) {
            setError(error, badParam("Invalid host parameter (nil or \"\"). Should be a domain "
                                     "name or IP address string."));
            return false;
        }
        if (!preConnectChecks(viaInterface, error)) {
            return false;
        }
        flags_ |= kStarted;
        const int aStateIndex = stateIndex_;
        DispatchQueue::global()->async([weak = weak_from_this(), host, port, aStateIndex] {
            Error lookupError;
            auto addresses = sockaddr::lookupHost(host, port, &lookupError);
            auto self = weak.lock();
            if (!self) {
                return;
            }
            if (!addresses) {
                self->socketQueue_->async([self, aStateIndex, lookupError] {
                    self->lookupDidFail(aStateIndex, lookupError);
                });
                return;
            }
            SocketAddress address4;
            SocketAddress address6;
            for (const SocketAddress& address : *addresses) {
                if (address4.empty() && sockaddr::isIPv4Address(address)) {
                    address4 = address;
                } else if (address6.empty() && sockaddr::isIPv6Address(address)) {
                    address6 = address;
                }
            }
            self->socketQueue_->async([self, aStateIndex, address4, address6] {
                self->lookupDidSucceed(aStateIndex, address4, address6);
            });
        });
        startConnectTimeout(timeout);
        return true;
    });
}

bool TcpSocket::connectToAddress(const SocketAddress& address, Error* error) {
    return connectToAddress(address, std::string(), -1, error);
}

bool TcpSocket::connectToAddress(const SocketAddress& address, double timeout, Error* error) {
    return connectToAddress(address, std::string(), timeout, error);
}

bool TcpSocket::connectToAddress(const SocketAddress& address, const std::string& viaInterface,
                                 double timeout, Error* error) {
    return onQueue([&] {
        const int family = familyOfConnectAddress(address);
        if (family == 0) {
            setError(error, badParam("A valid IPv4 or IPv6 address was not given"));
            return false;
        }
        if (family == AF_INET && (config_ & kIPv4Disabled)) {
            setError(error, badParam("IPv4 has been disabled and an IPv4 address was passed."));
            return false;
        }
        if (family == AF_INET6 && (config_ & kIPv6Disabled)) {
            setError(error, badParam("IPv6 has been disabled and an IPv6 address was passed."));
            return false;
        }
        if (!preConnectChecks(viaInterface, error)) {
            return false;
        }
        if (!connectWithAddresses(family == AF_INET ? address : SocketAddress(),
                                  family == AF_INET6 ? address : SocketAddress(), error)) {
            return false;
        }
        flags_ |= kStarted;
        startConnectTimeout(timeout);
        return true;
    });
}

bool TcpSocket::connectToNetService(const std::vector<SocketAddress>& serviceAddresses,
                                    Error* error) {
    if (serviceAddresses.empty()) {
        setError(error, badParam("A valid IPv4 or IPv6 address was not given"));
        return false;
    }
    for (const SocketAddress& address : serviceAddresses) {
        if (connectToAddress(address, error)) {
            return true;
        }
    }
    return false;
}

bool TcpSocket::connectToUrl(const std::string& url, double timeout, Error* error) {
    return onQueue([&] {
        if (fileurl::pathFromFileUrl(url).empty()) {
            setError(error, badParam("Invalid unix domain socket url."));
            return false;
        }
        if (!preConnectChecksForUrl(url, error)) {
            return false;
        }
        flags_ |= kStarted;
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            const Error socketError = posixError(errno, "Error in socket() function");
            closeWithError(socketError);
            setError(error, socketError);
            return false;
        }
        socketUN_ = fd;
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);

        const int aStateIndex = stateIndex_;
        const int copy = duplicate(fd);
        const int dupErrno = errno;
        DispatchQueue::global()->async(
            [weak = weak_from_this(), copy, dupErrno, aStateIndex, address = connectInterfaceUN_] {
                int result = -1;
                int err = dupErrno;
                if (copy >= 0) {
                    result = ::connect(copy, asSockaddr(address), unixAddressLength(address));
                    err = result == 0 ? 0 : errno;
                    ::close(copy);
                }
                if (result != 0) {
                    log("connect: {}", std::strerror(err));
                }
                auto self = weak.lock();
                if (!self) {
                    return;
                }
                self->socketQueue_->async([self, result, err, aStateIndex] {
                    if (result == 0) {
                        self->didConnect(aStateIndex);
                    } else {
                        self->didNotConnect(aStateIndex,
                                            posixError(err, "Error in connect() function"));
                    }
                });
            });
        startConnectTimeout(timeout);
        return true;
    });
}

TcpSocketPtr TcpSocket::socketFromConnectedSocketFD(int fd,
                                                    std::weak_ptr<TcpSocketDelegate> delegate,
                                                    DispatchQueuePtr delegateQueue,
                                                    DispatchQueuePtr socketQueue, Error* error) {
    TcpSocketPtr sock =
        create(std::move(delegate), std::move(delegateQueue), std::move(socketQueue));
    const bool adopted = sock->onQueue([&] {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        if (::getpeername(fd, reinterpret_cast<::sockaddr*>(&address), &length) != 0) {
            setError(error, tcpsocket::error(TcpSocketErrorCode::Other,
                                             "Attempt to create socket from socket FD failed. "
                                             "getpeername() failed"));
            return false;
        }
        if (address.ss_family == AF_INET) {
            sock->socket4FD_ = fd;
        } else if (address.ss_family == AF_INET6) {
            sock->socket6FD_ = fd;
        } else {
            setError(error, tcpsocket::error(TcpSocketErrorCode::Other,
                                             "Attempt to create socket from socket FD failed. "
                                             "socket FD is neither IPv4 nor IPv6"));
            return false;
        }
        sock->flags_ = kStarted;
        sock->didConnect(sock->stateIndex_);
        return true;
    });
    return adopted ? sock : nullptr;
}

// Checks ----------------------------------------------------------------------------------------

bool TcpSocket::preConnectChecks(const std::string& interface, Error* error) {
    if (!delegateChecks("connect", error) || !notStartedCheck("connect", error) ||
        !familiesCheck(error)) {
        return false;
    }
    if (!interface.empty()) {
        SocketAddress interface4;
        SocketAddress interface6;
        getInterfaceAddress4(&interface4, &interface6, interface, 0);
        if (!interfaceChecks(interface4, interface6, error)) {
            return false;
        }
        connectInterface4_ = std::move(interface4);
        connectInterface6_ = std::move(interface6);
    }
    readQueue_.clear();
    writeQueue_.clear();
    return true;
}

bool TcpSocket::preConnectChecksForUrl(const std::string& url, Error* error) {
    if (!delegateChecks("connect", error) || !notStartedCheck("connect", error)) {
        return false;
    }
    SocketAddress address = getInterfaceAddressFromUrl(url);
    if (address.empty()) {
        setError(error, badParam("Unknown interface. Specify valid interface by name (e.g. "
                                 "\"en1\") or IP address."));
        return false;
    }
    connectInterfaceUN_ = std::move(address);
    readQueue_.clear();
    writeQueue_.clear();
    return true;
}

// The attempt -----------------------------------------------------------------------------------

void TcpSocket::lookupDidFail(int aStateIndex, const Error& error) {
    if (aStateIndex != stateIndex_) {
        return;
    }
    endConnectTimeout();
    closeWithError(error);
}

void TcpSocket::lookupDidSucceed(int aStateIndex, SocketAddress address4, SocketAddress address6) {
    if (aStateIndex != stateIndex_) {
        return;
    }
    const bool ipv4Disabled = config_ & kIPv4Disabled;
    const bool ipv6Disabled = config_ & kIPv6Disabled;
    if (ipv4Disabled && address6.empty()) {
        closeWithError(
            tcpsocket::error(TcpSocketErrorCode::Other,
                             "IPv4 has been disabled and DNS lookup found no IPv6 address."));
        return;
    }
    if (ipv6Disabled && address4.empty()) {
        closeWithError(
            tcpsocket::error(TcpSocketErrorCode::Other,
                             "IPv6 has been disabled and DNS lookup found no IPv4 address."));
        return;
    }
    // A disabled family is not tried even when the name has an address of it.
    if (ipv4Disabled) {
        address4.clear();
    }
    if (ipv6Disabled) {
        address6.clear();
    }
    Error error;
    if (!connectWithAddresses(std::move(address4), std::move(address6), &error)) {
        closeWithError(error);
    }
}

int TcpSocket::createConnectSocket(int family, const SocketAddress& interfaceAddress,
                                   Error* error) {
    const int fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        setError(error, posixError(errno, "Error in socket() function"));
        return -1;
    }
    if (!interfaceAddress.empty()) {
        if (sockaddr::portFromAddress(interfaceAddress) != 0) {
            const int on = 1;
            ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        }
        if (::bind(fd, asSockaddr(interfaceAddress),
                   static_cast<socklen_t>(interfaceAddress.size())) != 0) {
            const int err = errno;
            ::close(fd);
            setError(error, posixError(err, "Error in bind() function"));
            return -1;
        }
    }
    // Every send passes MSG_NOSIGNAL, so a peer that went away never raises SIGPIPE.
    return fd;
}

bool TcpSocket::connectWithAddresses(SocketAddress address4, SocketAddress address6, Error* error) {
    Error lastError;
    const int fd4 =
        address4.empty() ? -1 : createConnectSocket(AF_INET, connectInterface4_, &lastError);
    const int fd6 =
        address6.empty() ? -1 : createConnectSocket(AF_INET6, connectInterface6_, &lastError);
    if (fd4 == -1 && fd6 == -1) {
        setError(error, lastError);
        return false;
    }
    socket4FD_ = fd4;
    socket6FD_ = fd6;

    const bool useIPv6 = ((config_ & kPreferIPv6) && fd6 != -1) || fd4 == -1;
    const int primaryFD = useIPv6 ? fd6 : fd4;
    const int alternateFD = useIPv6 ? fd4 : fd6;
    SocketAddress& primaryAddress = useIPv6 ? address6 : address4;
    SocketAddress& alternateAddress = useIPv6 ? address4 : address6;

    connectSocket(primaryFD, primaryAddress, stateIndex_);
    if (alternateFD != -1) {
        socketQueue_->after(toDuration(Seconds(alternateAddressDelay_)),
                            [weak = weak_from_this(), alternateFD,
                             address = std::move(alternateAddress), aStateIndex = stateIndex_] {
                                if (auto self = weak.lock()) {
                                    self->connectSocket(alternateFD, address, aStateIndex);
                                }
                            });
    }
    return true;
}

void TcpSocket::connectSocket(int fd, SocketAddress address, int aStateIndex) {
    if (aStateIndex != stateIndex_) {
        return;  // the attempt is settled: the winner's success or a close released `fd`
    }
    const int copy = duplicate(fd);
    if (copy < 0) {
        const int err = errno;
        closeSocket(fd);
        if (socket4FD_ == -1 && socket6FD_ == -1) {
            didNotConnect(aStateIndex, posixError(err, "Error in connect() function"));
        }
        return;
    }
    DispatchQueue::global()->async([weak = weak_from_this(), fd, copy, address = std::move(address),
                                    aStateIndex] {
        const int result =
            ::connect(copy, asSockaddr(address), static_cast<socklen_t>(address.size()));
        const int err = result == 0 ? 0 : errno;
        ::close(copy);
        auto self = weak.lock();
        if (!self) {
            return;
        }
        self->socketQueue_->async([self, fd, result, err, aStateIndex] {
            if (aStateIndex != self->stateIndex_) {
                return;
            }
            if (result == 0) {
                self->closeUnusedSocket(fd);
                self->didConnect(aStateIndex);
                return;
            }
            self->closeSocket(fd);
            if (self->socket4FD_ == -1 && self->socket6FD_ == -1) {
                self->didNotConnect(aStateIndex, posixError(err, "Error in connect() function"));
            }
        });
    });
}

void TcpSocket::closeSocket(int fd) {
    if (fd == -1) {
        return;
    }
    if (fd == socket4FD_) {
        socket4FD_ = -1;
    } else if (fd == socket6FD_) {
        socket6FD_ = -1;
    } else {
        return;
    }
    ::shutdown(fd, SHUT_RDWR);  // wakes a connect() still waiting on it
    ::close(fd);
}

void TcpSocket::closeUnusedSocket(int usedFD) {
    if (usedFD != socket4FD_) {
        closeSocket(socket4FD_);
    }
    if (usedFD != socket6FD_) {
        closeSocket(socket6FD_);
    }
}

void TcpSocket::didNotConnect(int aStateIndex, const Error& error) {
    if (aStateIndex == stateIndex_) {
        closeWithError(error);
    }
}

void TcpSocket::didConnect(int aStateIndex) {
    if (aStateIndex != stateIndex_) {
        return;
    }
    flags_ |= kConnected;
    endConnectTimeout();

    std::optional<std::string> host;
    std::uint16_t port = 0;
    std::optional<std::string> url;
    if (socket4FD_ != -1) {
        host = connectedHost4();
        port = connectedPort4();
    } else if (socket6FD_ != -1) {
        host = connectedHost6();
        port = connectedPort6();
    } else {
        url = connectedUrl();
    }
    if (host) {
        notifyDelegate([host = *host, port](TcpSocketDelegate& d, const TcpSocketPtr& sock) {
            d.socketDidConnectToHost(sock, host, port);
        });
    } else if (url) {
        notifyDelegate([url = *url](TcpSocketDelegate& d, const TcpSocketPtr& sock) {
            d.socketDidConnectToUrl(sock, url);
        });
    }

    const int fd = connectedFD();
    const int fileFlags = ::fcntl(fd, F_GETFL);
    if (fileFlags == -1 || ::fcntl(fd, F_SETFL, fileFlags | O_NONBLOCK) == -1) {
        closeWithError(tcpsocket::error(TcpSocketErrorCode::Other,
                                        "Error enabling non-blocking IO on socket (fcntl)"));
        return;
    }
    setupReadAndWriteSources(fd);
    maybeDequeueRead();
    maybeDequeueWrite();
}

int TcpSocket::connectedFD() const {
    if (socket4FD_ != -1) return socket4FD_;
    if (socket6FD_ != -1) return socket6FD_;
    return socketUN_;
}

// Connect time-out ------------------------------------------------------------------------------

void TcpSocket::startConnectTimeout(double timeout) {
    connectTimeout_ = timeout;
    if (timeout >= 0) {
        connectTimer_ = startTimer(timeout, &TcpSocket::doConnectTimeout);
    }
}

void TcpSocket::doConnectTimeout() {
    endConnectTimeout();
    closeWithError(tcpsocket::error(TcpSocketErrorCode::ConnectTimeout));
}

void TcpSocket::endConnectTimeout() {
    if (connectTimer_) {
        connectTimer_->cancel();
        connectTimer_.reset();
    }
    ++stateIndex_;  // every step still in flight for this attempt is now ignored
    connectInterface4_.clear();
    connectInterface6_.clear();
}

// Sources of the connected descriptor -----------------------------------------------------------

namespace {

// Whether the peer really ended its stream, for a read source that reported nothing to read: its
// count is taken when the event is delivered, and the bytes that woke it may have been read
// since by an earlier read step.
bool peerEndedStream(int fd) {
    char byte = 0;
    const ssize_t n = ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n > 0) {
        return false;
    }
    return n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
}

}  // namespace

void TcpSocket::setupReadAndWriteSources(int fd) {
    readSource_ = DispatchSource::makeRead(fd, socketQueue_);
    writeSource_ = DispatchSource::makeWrite(fd, socketQueue_);
    if (!readSource_ || !writeSource_) {
        const int err = errno;
        readSource_.reset();
        writeSource_.reset();
        closeWithError(posixError(err, "Error in fcntl() function"));
        return;
    }
    const std::weak_ptr<TcpSocket> weak = weak_from_this();
    readSource_->setEventHandler([weak, source = std::weak_ptr<DispatchSource>(readSource_), fd] {
        auto self = weak.lock();
        auto readSource = source.lock();
        if (!self || !readSource) {
            return;
        }
        self->socketFDBytesAvailable_ = readSource->data();
        if (self->socketFDBytesAvailable_ > 0) {
            self->doReadData();
        } else if (peerEndedStream(fd)) {
            self->doReadEOF();
        }
    });
    writeSource_->setEventHandler([weak] {
        if (auto self = weak.lock()) {
            self->flags_ |= kCanAcceptBytes;
            self->doWriteData();
        }
    });
    // Both cancel handlers run on the socket queue; the second one closes the descriptor.
    auto remaining = std::make_shared<int>(2);
    auto closeAfterBoth = [remaining, fd] {
        if (--*remaining == 0) {
            ::close(fd);
        }
    };
    readSource_->setCancelHandler(closeAfterBoth);
    writeSource_->setCancelHandler(closeAfterBoth);

    socketFDBytesAvailable_ = 0;
    flags_ &= ~kReadSourceSuspended;
    readSource_->resume();
    flags_ |= kCanAcceptBytes | kWriteSourceSuspended;  // the write source starts suspended
}

}  // namespace vm
