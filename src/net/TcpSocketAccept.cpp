// TcpSocket: listening on TCP ports and socket files, accepting connections, and turning
// interface descriptions and file URLs into socket addresses.
#include "net/FileUrl.h"
#include "net/TcpSocket.h"

#include "net/NetInterface.h"
#include "net/TcpSocketError.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstddef>
#include <cstring>

namespace vm {

namespace {

template <class T>
SocketAddress bytesOf(const T& address) {
    return SocketAddress(reinterpret_cast<const char*>(&address), sizeof address);
}

socklen_t bindLength(int family, const SocketAddress& address) {
    if (family != AF_UNIX) {
        return static_cast<socklen_t>(address.size());
    }
    sockaddr_un un{};
    std::memcpy(&un, address.data(), std::min(address.size(), sizeof un));
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) +
                                  ::strnlen(un.sun_path, sizeof un.sun_path) + 1);
}

// A non-blocking listening socket bound to `address`, or -1 with the error.
int createListenSocket(int family, const SocketAddress& address, Error* error) {
    const int fd = ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        setError(error, posixError(errno, "Error in socket() function"));
        return -1;
    }
    const auto fail = [&](const char* reason) {
        const int err = errno;
        ::close(fd);
        setError(error, posixError(err, reason));
        return -1;
    };
    const int on = 1;
    if (::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0) {
        return fail("Error enabling address reuse (setsockopt)");
    }
    // Linux lets an IPv6 socket on the any-address take the IPv4 port as well; keep the two
    // listeners apart so that both can share one port.
    if (family == AF_INET6 && ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on) != 0) {
        return fail("Error enabling address reuse (setsockopt)");
    }
    if (::bind(fd, reinterpret_cast<const ::sockaddr*>(address.data()),
               bindLength(family, address)) != 0) {
        return fail("Error in bind() function");
    }
    if (::listen(fd, 1024) != 0) {
        return fail("Error in listen() function");
    }
    return fd;
}

std::uint16_t boundPort(int fd) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getsockname(fd, reinterpret_cast<::sockaddr*>(&address), &length) != 0) {
        return 0;
    }
    return sockaddr::portFromAddress(
        SocketAddress(reinterpret_cast<const char*>(&address), length));
}

}  // namespace

bool TcpSocket::acceptOnPort(std::uint16_t port, Error* error) {
    return acceptOnInterface(std::string(), port, error);
}

bool TcpSocket::acceptOnInterface(const std::string& interface, std::uint16_t port, Error* error) {
    return onQueue([&] {
        if (!delegateChecks("accept", error) || !familiesCheck(error) ||
            !notStartedCheck("accept", error)) {
            return false;
        }
        readQueue_.clear();
        writeQueue_.clear();

        SocketAddress address4;
        SocketAddress address6;
        getInterfaceAddress4(&address4, &address6, interface, port);
        if (!interfaceChecks(address4, address6, error)) {
            return false;
        }
        const bool enable4 = !(config_ & kIPv4Disabled) && !address4.empty();
        const bool enable6 = !(config_ & kIPv6Disabled) && !address6.empty();

        if (enable4) {
            socket4FD_ = createListenSocket(AF_INET, address4, error);
            if (socket4FD_ == -1) {
                return false;
            }
        }
        if (enable6) {
            if (enable4 && sockaddr::portFromAddress(address6) == 0) {
                // Both families listen on the port the system chose for IPv4.
                sockaddr_in6 v6{};
                std::memcpy(&v6, address6.data(), sizeof v6);
                v6.sin6_port = htons(boundPort(socket4FD_));
                address6 = bytesOf(v6);
            }
            socket6FD_ = createListenSocket(AF_INET6, address6, error);
            if (socket6FD_ == -1) {
                if (socket4FD_ != -1) {
                    ::close(socket4FD_);
                    socket4FD_ = -1;
                }
                return false;
            }
        }
        if (enable4) {
            accept4Source_ = makeAcceptSource(socket4FD_);
        }
        if (enable6) {
            accept6Source_ = makeAcceptSource(socket6FD_);
        }
        return startListening(error);
    });
}

bool TcpSocket::acceptOnUrl(const std::string& url, Error* error) {
    return onQueue([&] {
        if (!delegateChecks("accept", error) || !notStartedCheck("accept", error)) {
            return false;
        }
        readQueue_.clear();
        writeQueue_.clear();

        // A socket file left behind by an earlier listener is replaced; any other kind of file
        // at the path is left alone.
        const std::string path = fileurl::pathFromFileUrl(url);
        struct stat info {};
        if (!path.empty() && ::lstat(path.c_str(), &info) == 0 &&
            (!S_ISSOCK(info.st_mode) || ::unlink(path.c_str()) != 0)) {
            setError(error, tcpsocket::error(TcpSocketErrorCode::Other,
                                             "Could not remove previous unix domain socket at "
                                             "given url."));
            return false;
        }
        const SocketAddress address = getInterfaceAddressFromUrl(url);
        if (address.empty()) {
            setError(error, tcpsocket::error(TcpSocketErrorCode::BadParam,
                                             "Invalid unix domain url. Specify a valid file url "
                                             "that does not exist (e.g. \"file:///tmp/socket\")"));
            return false;
        }
        socketUN_ = createListenSocket(AF_UNIX, address, error);
        if (socketUN_ == -1) {
            return false;
        }
        socketUrl_ = url;
        acceptUNSource_ = makeAcceptSource(socketUN_);
        return startListening(error);
    });
}

bool TcpSocket::startListening(Error* error) {
    const bool watched = (socket4FD_ == -1 || accept4Source_) &&
                         (socket6FD_ == -1 || accept6Source_) &&
                         (socketUN_ == -1 || acceptUNSource_);
    if (!watched) {
        const Error sourceError = posixError(errno, "Error in fcntl() function");
        // A listener whose source could not be made (out of descriptors, say) is closed here: the
        // close below leaves the descriptors to the sources that exist, and no source has it.
        for (auto [fd, source] :
             {std::pair{&socket4FD_, &accept4Source_}, std::pair{&socket6FD_, &accept6Source_},
              std::pair{&socketUN_, &acceptUNSource_}}) {
            if (*fd != -1 && !*source) {
                ::close(*fd);
                *fd = -1;
            }
        }
        closeWithError(std::nullopt);
        setError(error, sourceError);
        return false;
    }
    flags_ |= kStarted;
    return true;
}

DispatchSourcePtr TcpSocket::makeAcceptSource(int fd) {
    DispatchSourcePtr source = DispatchSource::makeRead(fd, socketQueue_);
    if (!source) {
        return nullptr;
    }
    source->setEventHandler([weak = weak_from_this(), weakSource = std::weak_ptr(source), fd] {
        auto self = weak.lock();
        auto acceptSource = weakSource.lock();
        if (!self || !acceptSource) {
            return;
        }
        const unsigned long pending = acceptSource->data();
        for (unsigned long i = 0; i < pending; ++i) {
            if (!self->doAccept(fd)) {
                break;
            }
        }
    });
    source->setCancelHandler([fd] { ::close(fd); });
    source->resume();
    return source;
}

bool TcpSocket::doAccept(int parentFD) {
    const int family = parentFD == socket4FD_   ? AF_INET
                       : parentFD == socket6FD_ ? AF_INET6
                                                : AF_UNIX;
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    const int childFD = ::accept4(parentFD, reinterpret_cast<::sockaddr*>(&address), &length,
                                  SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (childFD == -1) {
        return false;
    }
    if (!delegateQueue_) {
        ::close(childFD);  // no one to hand the connection to
        return true;
    }
    // Sends pass MSG_NOSIGNAL: the connection never raises SIGPIPE.
    SocketAddress peer(reinterpret_cast<const char*>(&address),
                       std::min<std::size_t>(length, sizeof address));
    delegateQueue_->async([self = shared_from_this(), weakDelegate = delegate_,
                           delegateQueue = delegateQueue_, childFD, family, peer] {
        auto delegate = weakDelegate.lock();
        DispatchQueuePtr childQueue;
        if (delegate) {
            childQueue = delegate->newSocketQueueForConnectionFromAddress(peer, self);
        }
        TcpSocketPtr accepted = create(weakDelegate, delegateQueue, childQueue);
        accepted->onQueue([&] { accepted->adoptAcceptedDescriptor(childFD, family); });
        accepted->socketQueue_->async([accepted] {
            if (accepted->flags_ & kConnected) {
                accepted->setupReadAndWriteSources(accepted->connectedFD());
            }
        });
        if (delegate) {
            delegate->socketDidAcceptNewSocket(self, accepted);
        }
    });
    return true;
}

void TcpSocket::adoptAcceptedDescriptor(int fd, int family) {
    if (family == AF_INET) {
        socket4FD_ = fd;
    } else if (family == AF_INET6) {
        socket6FD_ = fd;
    } else {
        socketUN_ = fd;
    }
    flags_ = kStarted | kConnected;
}

// Interface descriptions ------------------------------------------------------------------------

void TcpSocket::getInterfaceAddress4(SocketAddress* address4, SocketAddress* address6,
                                     const std::string& description, std::uint16_t port) {
    std::string interface = description;
    if (std::count(description.begin(), description.end(), ':') == 1) {
        const std::size_t colon = description.find(':');
        interface = description.substr(0, colon);
        const std::string portText = description.substr(colon + 1);
        long value = 0;
        std::from_chars(portText.data(), portText.data() + portText.size(), value);
        if (port == 0 && value >= 1 && value <= 65535) {
            port = static_cast<std::uint16_t>(value);
        }
    }

    netif::convertInterfaceDescription(interface.empty() ? std::nullopt : std::optional(interface),
                                       port, address4, address6);
}

SocketAddress TcpSocket::getInterfaceAddressFromUrl(const std::string& url) {
    const std::string path = fileurl::pathFromFileUrl(url);
    sockaddr_un address{};
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        return {};  // a longer path would be cut and name another file
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.data(), path.size());
    return bytesOf(address);
}

}  // namespace vm
