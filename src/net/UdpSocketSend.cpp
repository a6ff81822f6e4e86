// UdpSocket: the send queue, name lookup for sends, the send filter, sending and its time-out.
#include "net/UdpSocket.h"

#include <sys/socket.h>

#include <cerrno>

namespace vm {

namespace {

// Errors that concern one datagram (its size, its destination, the route to it) rather than the
// socket: the datagram fails and the socket goes on.
bool isDatagramError(int code) {
    switch (code) {
        case EMSGSIZE:
        case EACCES:
        case EPERM:
        case EINVAL:
        case EDESTADDRREQ:
        case EAFNOSUPPORT:
        case EADDRNOTAVAIL:
        case ENETUNREACH:
        case ENETDOWN:
        case EHOSTUNREACH:
        case EHOSTDOWN:
        case ECONNREFUSED:
        case ENOBUFS: return true;
        default: return false;
    }
}

}  // namespace

// Queueing -------------------------------------------------------------------------------------

void UdpSocket::sendData(Bytes data, double timeout, long tag) {
    if (data.empty()) {
        return;
    }
    enqueuePacket(std::make_shared<UdpSendPacket>(std::move(data), timeout, tag));
}

void UdpSocket::sendData(Bytes data, long tag) { sendData(std::move(data), -1.0, tag); }

void UdpSocket::sendData(Bytes data, const std::string& host, std::uint16_t port, double timeout,
                         long tag) {
    if (data.empty()) {
        return;
    }
    auto packet = std::make_shared<UdpSendPacket>(std::move(data), timeout, tag);
    packet->resolveInProgress = true;
    // The lookup may finish before or after the packet reaches the queue: it only stores its
    // result unless the packet is already the current one.
    asyncResolveHost(
        host, port,
        [packet](UdpSocket& s, std::vector<SocketAddress> addresses, std::optional<Error> error) {
            packet->resolveInProgress = false;
            packet->resolvedAddresses = std::move(addresses);
            packet->resolveError = std::move(error);
            if (s.currentSendPacket() == packet) {
                s.doPreSend();
            }
        });
    enqueuePacket(std::move(packet));
}

void UdpSocket::sendData(Bytes data, const SocketAddress& address, double timeout, long tag) {
    if (data.empty()) {
        return;
    }
    auto packet = std::make_shared<UdpSendPacket>(std::move(data), timeout, tag);
    packet->address = address;
    packet->addressFamily = sockaddr::familyFromAddress(address);
    enqueuePacket(std::move(packet));
}

void UdpSocket::setSendFilter(SendFilter filter, DispatchQueuePtr filterQueue,
                              bool isAsynchronous) {
    postToSocketQueue([filter = std::move(filter), filterQueue = std::move(filterQueue),
                       isAsynchronous](UdpSocket& s) {
        s.sendFilterQueue_ = filter ? filterQueue : nullptr;
        s.sendFilterBlock_ = filter;
        s.sendFilterAsync_ = isAsynchronous;
    });
}

void UdpSocket::enqueuePacket(UdpQueuedPacket packet) {
    postToSocketQueue([packet = std::move(packet)](UdpSocket& s) {
        s.sendQueue_.push_back(packet);
        s.maybeDequeueSend();
    });
}

void UdpSocket::asyncResolveHost(
    const std::string& host, std::uint16_t port,
    std::function<void(UdpSocket&, std::vector<SocketAddress>, std::optional<Error>)> done) {
    const std::weak_ptr<UdpSocket> weak = weak_from_this();
    const auto finish = [weak, done](std::vector<SocketAddress> addresses,
                                     std::optional<Error> error) {
        if (auto self = weak.lock()) {
            done(*self, std::move(addresses), std::move(error));
        }
    };
    if (host.empty()) {
        socketQueue_->async([finish] {
            finish({}, udp::badParamError(
                           "The host param is nil. Should be domain name or IP address string."));
        });
        return;
    }
    DispatchQueue::global()->async([queue = socketQueue_, finish, host, port] {
        Error error;
        auto addresses = sockaddr::lookupHost(host, port, &error);
        queue->async([finish, addresses = std::move(addresses), error]() mutable {
            if (addresses) {
                finish(std::move(*addresses), std::nullopt);
            } else {
                finish({}, error);
            }
        });
    });
}

// The queue ------------------------------------------------------------------------------------

std::shared_ptr<UdpSendPacket> UdpSocket::currentSendPacket() const {
    if (!currentSend_) {
        return nullptr;
    }
    const auto* packet = std::get_if<std::shared_ptr<UdpSendPacket>>(&*currentSend_);
    return packet ? *packet : nullptr;
}

std::shared_ptr<UdpSpecialPacket> UdpSocket::currentSpecialPacket() const {
    if (!currentSend_) {
        return nullptr;
    }
    const auto* packet = std::get_if<std::shared_ptr<UdpSpecialPacket>>(&*currentSend_);
    return packet ? *packet : nullptr;
}

UdpFamilyRules UdpSocket::familyRules() const {
    UdpFamilyRules rules;
    rules.ipv4Disabled = familyDisabled(ip4_);
    rules.ipv6Disabled = familyDisabled(ip6_);
    rules.ipv4Deactivated = hasFlag(ip4_.bit(kIPv4Deactivated));
    rules.ipv6Deactivated = hasFlag(ip6_.bit(kIPv4Deactivated));
    rules.preferIPv4 = hasConfig(kPreferIPv4);
    rules.preferIPv6 = hasConfig(kPreferIPv6);
    return rules;
}

void UdpSocket::maybeDequeueSend() {
    // Packets that finish at once end inside this loop; a nested call (from a packet that just
    // ended) leaves the next one to it, so a long queue does not deepen the stack.
    if (dequeueing_) {
        return;
    }
    dequeueing_ = true;
    while (!currentSend_ && !sendQueue_.empty()) {
        Error error;
        if (!hasFlag(kSocketsCreated) && !createSockets(&error)) {
            closeWithError(error);
            break;
        }
        currentSend_ = std::move(sendQueue_.front());
        sendQueue_.pop_front();
        if (currentSpecialPacket()) {
            maybeConnect();
            continue;
        }
        const auto packet = currentSendPacket();
        if (packet->resolveError) {
            notifyDidNotSend(packet->tag, *packet->resolveError);
            currentSend_.reset();
            continue;
        }
        doPreSend();
    }
    dequeueing_ = false;
    if (!currentSend_ && hasFlag(kCloseAfterSends)) {
        closeWithError(std::nullopt);
    }
}

void UdpSocket::doPreSend() {
    const auto packet = currentSendPacket();
    if (!packet) {
        return;
    }
    std::optional<Error> failure;
    if (hasFlag(kConnected)) {
        if (packet->resolveInProgress || packet->resolveError ||
            !packet->resolvedAddresses.empty()) {
            failure =
                udp::badConfigError("Cannot specify destination of packet for connected socket");
        } else {
            packet->address = cachedConnectedAddress_;
            packet->addressFamily = cachedConnectedFamily_;
        }
    } else if (packet->resolveInProgress) {
        // Nothing to send until the lookup answers; it runs this step again.
        for (Endpoint* e : {&ip4_, &ip6_}) {
            if (hasFlag(e->bit(kSocket4CanAcceptBytes))) {
                suspendSendSource(*e);
            }
        }
        return;
    } else if (packet->resolveError) {
        failure = packet->resolveError;
    } else if (packet->address.empty()) {
        if (packet->resolvedAddresses.empty()) {
            failure = udp::badConfigError(
                "You must specify destination of packet for a non-connected socket");
        } else {
            auto choice = chooseUdpAddress(familyRules(), packet->resolvedAddresses);
            failure = choice.error;
            packet->address = std::move(choice.address);
            packet->addressFamily = choice.family;
        }
    }
    // A destination the socket cannot send to fails its datagram, not the socket.
    if (!failure && packet->addressFamily != AF_INET && packet->addressFamily != AF_INET6) {
        failure = udp::badParamError("A valid IPv4 or IPv6 address was not given");
    } else if (!failure && endpointFor(packet->addressFamily).fd == -1) {
        failure = udp::otherError(
            packet->addressFamily == AF_INET
                ? "IPv4 has been disabled or deactivated, and an IPv4 address was given."
                : "IPv6 has been disabled or deactivated, and an IPv6 address was given.");
    }
    if (failure) {
        failCurrentSend(*failure);
        return;
    }
    if (!sendFilterBlock_ || !sendFilterQueue_) {
        doSend();
        return;
    }
    const SendFilter filter = sendFilterBlock_;
    if (sendFilterAsync_) {
        packet->filterInProgress = true;
        const std::weak_ptr<UdpSocket> weak = weak_from_this();
        sendFilterQueue_->async([weak, queue = socketQueue_, filter, packet] {
            const bool allowed = filter(packet->buffer, packet->address, packet->tag);
            queue->async([weak, packet, allowed] {
                auto self = weak.lock();
                if (!self) {
                    return;
                }
                packet->filterInProgress = false;
                if (self->currentSendPacket() == packet) {
                    allowed ? self->doSend() : self->finishCurrentSendAsSent();
                }
            });
        });
        return;
    }
    bool allowed = true;
    sendFilterQueue_->sync([&] { allowed = filter(packet->buffer, packet->address, packet->tag); });
    allowed ? doSend() : finishCurrentSendAsSent();
}

void UdpSocket::failCurrentSend(const Error& error) {
    if (const auto packet = currentSendPacket()) {
        notifyDidNotSend(packet->tag, error);
    }
    endCurrentSend();
    maybeDequeueSend();
}

void UdpSocket::finishCurrentSendAsSent() {
    if (const auto packet = currentSendPacket()) {
        notifyDidSend(packet->tag);
    }
    endCurrentSend();
    maybeDequeueSend();
}

void UdpSocket::endCurrentSend() {
    if (sendTimer_) {
        sendTimer_->cancel();
        sendTimer_.reset();
    }
    currentSend_.reset();
}

// Sending --------------------------------------------------------------------------------------

void UdpSocket::doSend() {
    const auto packet = currentSendPacket();
    if (!packet) {
        return;
    }
    Endpoint& e = endpointFor(packet->addressFamily);
    const ssize_t sent =
        hasFlag(kConnected)
            ? ::send(e.fd, packet->buffer.data(), packet->buffer.size(), MSG_NOSIGNAL)
            : ::sendto(e.fd, packet->buffer.data(), packet->buffer.size(), MSG_NOSIGNAL,
                       reinterpret_cast<const ::sockaddr*>(packet->address.data()),
                       e.addressLength());
    const int code = errno;
    flags_ |= kBound;  // sending binds the socket to a port of the kernel's choice
    if (sent == 0 || (sent < 0 && (code == EAGAIN || code == EWOULDBLOCK || code == EINTR))) {
        // The kernel cannot take it now: the write source runs this step again once it can.
        // Only this family's source: the other socket, always writable, would spin the queue.
        resumeSendSource(e);
        if (!sendTimer_ && packet->timeout >= 0.0) {
            setupSendTimer(packet->timeout);
        }
        return;
    }
    if (sent < 0) {
        const Error error = posixError(code, "Error in send() function.");
        if (isDatagramError(code)) {
            failCurrentSend(error);
        } else {
            closeWithError(error);
        }
        return;
    }
    finishCurrentSendAsSent();
}

void UdpSocket::setupSendTimer(double timeout) {
    sendTimer_ = DispatchSource::makeTimer(socketQueue_);
    const std::weak_ptr<UdpSocket> weak = weak_from_this();
    sendTimer_->setEventHandler([weak] {
        if (auto self = weak.lock()) {
            self->doSendTimeout();
        }
    });
    sendTimer_->setTimer(toDuration(Seconds(timeout)), std::nullopt);
    sendTimer_->resume();
}

void UdpSocket::doSendTimeout() {
    if (currentSendPacket()) {
        failCurrentSend(udp::sendTimeoutError());
    }
}

}  // namespace vm
