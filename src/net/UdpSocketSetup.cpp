// UdpSocket: creating the sockets and their dispatch sources, binding, socket options.
#include "net/NetInterface.h"
#include "net/UdpSocket.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace vm {

bool UdpSocket::preOp(Error* error) const {
    if (!delegate_.lock()) {
        setError(error, udp::badConfigError(
                            "Attempting to use socket without a delegate. Set a delegate first."));
        return false;
    }
    if (!delegateQueue_) {
        setError(
            error,
            udp::badConfigError(
                "Attempting to use socket without a delegate queue. Set a delegate queue first."));
        return false;
    }
    return true;
}

bool UdpSocket::preBind(Error* error) const {
    if (!preOp(error)) {
        return false;
    }
    if (hasFlag(kBound)) {
        setError(error, udp::badConfigError("Cannot bind a socket more than once."));
        return false;
    }
    if (hasFlag(kConnecting) || hasFlag(kConnected)) {
        setError(error, udp::badConfigError(
                            "Cannot bind after connecting. If needed, bind first, then connect."));
        return false;
    }
    return anyFamilyEnabled(error);
}

bool UdpSocket::anyFamilyEnabled(Error* error) const {
    if (familyDisabled(ip4_) && familyDisabled(ip6_)) {
        setError(
            error,
            udp::badConfigError(
                "Both IPv4 and IPv6 have been disabled. Must enable at least one protocol first."));
        return false;
    }
    return true;
}

// Sockets --------------------------------------------------------------------------------------

int UdpSocket::createSocket(int family, Error* error) const {
    const int fd = ::socket(family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd == -1) {
        setError(error, posixError(errno, "Error in socket() function"));
        return -1;
    }
    const auto fail = [&](const char* reason) {
        const int code = errno;
        ::close(fd);
        setError(error, posixError(code, reason));
        return -1;
    };
    if (::fcntl(fd, F_SETFL, O_NONBLOCK) == -1) {
        return fail("Error enabling non-blocking IO on socket (fcntl)");
    }
    // No SO_REUSEADDR: on Linux it would let a second UDP socket bind a port already in use
    // (see docs/ARCHITECTURE.md). Sharing a port is asked for with enableReusePort.
    const int on = 1;
    // The IPv4 socket serves IPv4: the IPv6 socket takes no mapped addresses, so that both can be
    // bound to the same port.
    if (family == AF_INET6 && ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on) == -1) {
        return fail("Error enabling IPv6-only (setsockopt)");
    }
    // A datagram socket never raises SIGPIPE on Linux; sends pass MSG_NOSIGNAL all the same.
    const int size = maxSendSize_;
    if (::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &size, sizeof size) == -1) {
        return fail("Error setting send buffer size (setsockopt)");
    }
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size) == -1) {
        return fail("Error setting receive buffer size (setsockopt)");
    }
    return fd;
}

bool UdpSocket::createSockets(bool want4, bool want6, Error* error) {
    const int fd4 = want4 ? createSocket(AF_INET, error) : -1;
    if (want4 && fd4 == -1) {
        return false;
    }
    const int fd6 = want6 ? createSocket(AF_INET6, error) : -1;
    if (want6 && fd6 == -1) {
        if (fd4 != -1) {
            ::close(fd4);
        }
        return false;
    }
    ip4_.fd = fd4;
    ip6_.fd = fd6;
    for (Endpoint* e : {&ip4_, &ip6_}) {
        if (e->fd != -1 && !setupSources(*e, error)) {
            closeSockets();
            return false;
        }
    }
    flags_ |= kSocketsCreated;
    return true;
}

bool UdpSocket::createSockets(Error* error) {
    return createSockets(!familyDisabled(ip4_), !familyDisabled(ip6_), error);
}

bool UdpSocket::setupSources(Endpoint& e, Error* error) {
    auto send = DispatchSource::makeWrite(e.fd, socketQueue_);
    auto receive = DispatchSource::makeRead(e.fd, socketQueue_);
    if (!send || !receive) {
        const int code = errno;
        ::close(e.fd);
        e.fd = -1;
        setError(error, posixError(code, "Error creating dispatch sources"));
        return false;
    }
    const std::weak_ptr<UdpSocket> weak = weak_from_this();
    const bool v6 = e.v6;
    send->setEventHandler([weak, v6] {
        if (auto self = weak.lock()) {
            self->onWriteEvent(v6 ? self->ip6_ : self->ip4_);
        }
    });
    receive->setEventHandler([weak, v6] {
        if (auto self = weak.lock()) {
            self->onReadEvent(v6 ? self->ip6_ : self->ip4_);
        }
    });
    // Both cancel handlers run on the socket queue; the second one closes the descriptor, so it
    // stays open until neither source can look at it any more.
    auto pending = std::make_shared<int>(2);
    const auto onCancel = [pending, fd = e.fd] {
        if (--*pending == 0) {
            ::close(fd);
        }
    };
    send->setCancelHandler(onCancel);
    receive->setCancelHandler(onCancel);
    e.sendSource = std::move(send);
    e.receiveSource = std::move(receive);
    e.bytesAvailable = 0;
    // New sources start suspended.
    flags_ |= e.bit(kSend4Suspended) | e.bit(kReceive4Suspended) | e.bit(kSocket4CanAcceptBytes);
    return true;
}

void UdpSocket::onWriteEvent(Endpoint& e) {
    flags_ |= e.bit(kSocket4CanAcceptBytes);
    const auto packet = currentSendPacket();
    if (packet && !packet->resolveInProgress && !packet->filterInProgress) {
        doSend();
    } else {
        suspendSendSource(e);
    }
}

void UdpSocket::onReadEvent(Endpoint& e) {
    // The source reports the size of the next datagram, and 0 for an empty one: readable with
    // nothing counted still means a datagram may be waiting. Only recvfrom tells.
    e.bytesAvailable = std::max<std::uint64_t>(e.receiveSource->data(), 1);
    doReceive();
}

// Suspends or resumes a source only when its flag says it is in the other state, so the calls
// never nest.
void UdpSocket::setSourceSuspended(const DispatchSourcePtr& source, std::uint32_t suspendedFlag,
                                   bool suspend) {
    if (!source || hasFlag(suspendedFlag) == suspend) {
        return;
    }
    if (suspend) {
        source->suspend();
        flags_ |= suspendedFlag;
    } else {
        source->resume();
        flags_ &= ~suspendedFlag;
    }
}

void UdpSocket::suspendSendSource(Endpoint& e) {
    setSourceSuspended(e.sendSource, e.bit(kSend4Suspended), true);
}
void UdpSocket::resumeSendSource(Endpoint& e) {
    setSourceSuspended(e.sendSource, e.bit(kSend4Suspended), false);
}
void UdpSocket::suspendReceiveSource(Endpoint& e) {
    setSourceSuspended(e.receiveSource, e.bit(kReceive4Suspended), true);
}
void UdpSocket::resumeReceiveSource(Endpoint& e) {
    setSourceSuspended(e.receiveSource, e.bit(kReceive4Suspended), false);
}

// Binding --------------------------------------------------------------------------------------

bool UdpSocket::bindEndpoint(Endpoint& e, const SocketAddress& address, Error* error) {
    if (::bind(e.fd, reinterpret_cast<const ::sockaddr*>(address.data()), e.addressLength()) != 0) {
        const int code = errno;
        closeSockets();
        setError(error, posixError(code, "Error in bind() function"));
        return false;
    }
    return true;
}

bool UdpSocket::bindToPort(std::uint16_t port, Error* error) {
    return bindToPort(port, std::nullopt, error);
}

bool UdpSocket::bindToPort(std::uint16_t port, const std::optional<std::string>& interface,
                           Error* error) {
    return onSocketQueue([&] {
        if (!preBind(error)) {
            return false;
        }
        SocketAddress address4;
        SocketAddress address6;
        netif::convertInterfaceDescription(interface, port, &address4, &address6);
        if (address4.empty() && address6.empty()) {
            setError(error, udp::badParamError("Unknown interface. Specify valid interface by name "
                                               "(e.g. \"en1\") or IP address."));
            return false;
        }
        if (familyDisabled(ip4_) && address6.empty()) {
            setError(error,
                     udp::badParamError(
                         "IPv4 has been disabled and specified interface doesn't support IPv6."));
            return false;
        }
        if (familyDisabled(ip6_) && address4.empty()) {
            setError(error,
                     udp::badParamError(
                         "IPv6 has been disabled and specified interface doesn't support IPv4."));
            return false;
        }
        const bool use4 = !address4.empty() && !familyDisabled(ip4_);
        const bool use6 = !address6.empty() && !familyDisabled(ip6_);
        if (!hasFlag(kSocketsCreated) && !createSockets(use4, use6, error)) {
            return false;
        }
        if ((use4 && !bindEndpoint(ip4_, address4, error)) ||
            (use6 && !bindEndpoint(ip6_, address6, error))) {
            return false;
        }
        flags_ |= kBound;
        if (!use4) flags_ |= ip4_.bit(kIPv4Deactivated);
        if (!use6) flags_ |= ip6_.bit(kIPv4Deactivated);
        return true;
    });
}

bool UdpSocket::bindToAddress(const SocketAddress& address, Error* error) {
    return onSocketQueue([&] {
        if (!preBind(error)) {
            return false;
        }
        const int family = sockaddr::familyFromAddress(address);
        if (family == 0) {
            setError(error, udp::badParamError("A valid IPv4 or IPv6 address was not given"));
            return false;
        }
        Endpoint& e = endpointFor(family);
        Endpoint& other = e.v6 ? ip4_ : ip6_;
        if (familyDisabled(e)) {
            setError(error, udp::badParamError(
                                e.v6 ? "IPv6 has been disabled and an IPv6 address was passed."
                                     : "IPv4 has been disabled and an IPv4 address was passed."));
            return false;
        }
        if (!hasFlag(kSocketsCreated) && !createSockets(!e.v6, e.v6, error)) {
            return false;
        }
        if (!bindEndpoint(e, address, error)) {
            return false;
        }
        flags_ |= kBound | other.bit(kIPv4Deactivated);
        return true;
    });
}

// Options --------------------------------------------------------------------------------------

bool UdpSocket::setOption(int fd, int level, int name, const void* value, unsigned length,
                          Error* error) {
    if (::setsockopt(fd, level, name, value, length) != 0) {
        setError(error, posixError(errno, "Error in setsockopt() function"));
        return false;
    }
    return true;
}

bool UdpSocket::enableBroadcast(bool flag, Error* error) {
    return onSocketQueue([&] {
        if (!preOp(error) || !ensureSockets(error)) {
            return false;
        }
        if (ip4_.fd == -1) {
            return false;  // broadcast is an IPv4 matter
        }
        const int value = flag ? 1 : 0;
        return setOption(ip4_.fd, SOL_SOCKET, SO_BROADCAST, &value, sizeof value, error);
    });
}

bool UdpSocket::enableReusePort(bool flag, Error* error) {
    return onSocketQueue([&] {
        if (!preOp(error) || !ensureSockets(error)) {
            return false;
        }
        const int value = flag ? 1 : 0;
        bool taken = false;
        for (const Endpoint* e : {&ip4_, &ip6_}) {
            if (e->fd == -1) {
                continue;
            }
            if (!setOption(e->fd, SOL_SOCKET, SO_REUSEPORT, &value, sizeof value, error)) {
                return false;
            }
            taken = true;
        }
        return taken;
    });
}

}  // namespace vm
