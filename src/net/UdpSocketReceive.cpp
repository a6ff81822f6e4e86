// UdpSocket: receiving once or continuously, pausing, the receive filter, and the drain loop.
#include "net/UdpSocket.h"

#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace vm {

namespace {

// Datagrams read in one go before the drain gives the queue's other work a turn.
constexpr unsigned kReceiveBatch = 256;

}  // namespace

bool UdpSocket::receiveOnce(Error* error) {
    return onSocketQueue([&] { return startReceiving(kReceiveOnce, error); });
}

bool UdpSocket::beginReceiving(Error* error) {
    return onSocketQueue([&] { return startReceiving(kReceiveContinuous, error); });
}

bool UdpSocket::startReceiving(std::uint32_t mode, Error* error) {
    if (hasFlag(mode)) {
        return true;
    }
    if (!hasFlag(kSocketsCreated)) {
        setError(error,
                 udp::badConfigError(
                     "Must bind socket before you can receive data. You can do this explicitly "
                     "via bind, or implicitly via connect or by sending data."));
        return false;
    }
    flags_ = (flags_ & ~(kReceiveOnce | kReceiveContinuous)) | mode;
    postToSocketQueue([](UdpSocket& s) { s.doReceive(); });
    return true;
}

void UdpSocket::pauseReceiving() {
    postToSocketQueue([](UdpSocket& s) {
        s.flags_ &= ~(kReceiveOnce | kReceiveContinuous);
        s.suspendReceiveSourcesWithBytes();
    });
}

void UdpSocket::setReceiveFilter(ReceiveFilter filter, DispatchQueuePtr filterQueue,
                                 bool isAsynchronous) {
    postToSocketQueue([filter = std::move(filter), filterQueue = std::move(filterQueue),
                       isAsynchronous](UdpSocket& s) {
        s.receiveFilterQueue_ = filter ? filterQueue : nullptr;
        s.receiveFilterBlock_ = filter;
        s.receiveFilterAsync_ = isAsynchronous;
    });
}

void UdpSocket::suspendReceiveSourcesWithBytes() {
    for (Endpoint* e : {&ip4_, &ip6_}) {
        if (e->bytesAvailable > 0) {
            suspendReceiveSource(*e);
        }
    }
}

void UdpSocket::doReceive() {
    unsigned steps = 0;
    while (receiveStep() == ReceiveStep::Again) {
        if (++steps == kReceiveBatch) {
            postToSocketQueue([](UdpSocket& s) { s.doReceive(); });
            return;
        }
    }
}

UdpSocket::ReceiveStep UdpSocket::receiveStep() {
    const bool once = hasFlag(kReceiveOnce);
    if ((!once && !hasFlag(kReceiveContinuous)) || (once && pendingFilterOperations_ > 0)) {
        suspendReceiveSourcesWithBytes();  // the datagrams stay with the kernel
        return ReceiveStep::Stop;
    }
    if (ip4_.bytesAvailable == 0 && ip6_.bytesAvailable == 0) {
        resumeReceiveSource(ip4_);
        resumeReceiveSource(ip6_);
        return ReceiveStep::Stop;
    }
    Endpoint* e = nullptr;
    if (hasFlag(kConnected)) {
        e = ip4_.fd != -1 ? &ip4_ : &ip6_;
    } else if (ip4_.bytesAvailable > 0 && ip6_.bytesAvailable > 0) {
        e = hasFlag(kReceiveFromIPv4Next) ? &ip4_ : &ip6_;
        flags_ ^= kReceiveFromIPv4Next;
    } else {
        e = ip4_.bytesAvailable > 0 ? &ip4_ : &ip6_;
    }

    const std::size_t capacity = e->v6 ? max6ReceiveSize_ : max4ReceiveSize_;
    if (receiveBuffer_.size() < capacity) {
        receiveBuffer_.resize(capacity);
    }
    sockaddr_storage from{};
    socklen_t fromLength = e->addressLength();
    const ssize_t length = ::recvfrom(e->fd, receiveBuffer_.data(), capacity, 0,
                                      reinterpret_cast<::sockaddr*>(&from), &fromLength);
    const int code = errno;

    if (length < 0) {
        if (code == EINTR) {
            return ReceiveStep::Again;
        }
        if (code == EAGAIN || code == EWOULDBLOCK) {
            e->bytesAvailable = 0;  // drained: wait for the read source
            for (Endpoint* drained : {&ip4_, &ip6_}) {
                if (drained->bytesAvailable == 0) {
                    resumeReceiveSource(*drained);
                }
            }
            return ReceiveStep::Again;
        }
        closeWithError(posixError(code, "Error in recvfrom() function"));
        return ReceiveStep::Stop;
    }
    if (fromLength == 0) {
        // Nothing came from anyone: the socket was shut down for reading.
        closeWithError(udp::closedError());
        return ReceiveStep::Stop;
    }
    // The count stays above 0 after a datagram: the kernel only tells the size of the next one,
    // so the drain goes on until recvfrom finds nothing.
    if (length == 0) {
        return ReceiveStep::Again;  // an empty datagram: legal, read and dropped
    }
    SocketAddress sender(reinterpret_cast<const char*>(&from),
                         std::min<std::size_t>(fromLength, e->addressLength()));
    if (hasFlag(kConnected) && !isFromConnectedPeer(sender)) {
        return ReceiveStep::Again;
    }
    return filterAndDeliver(Bytes(receiveBuffer_.data(), static_cast<std::size_t>(length)),
                            std::move(sender));
}

UdpSocket::ReceiveStep UdpSocket::filterAndDeliver(Bytes data, SocketAddress address) {
    if (receiveFilterBlock_ && receiveFilterQueue_) {
        const ReceiveFilter filter = receiveFilterBlock_;
        if (receiveFilterAsync_) {
            ++pendingFilterOperations_;
            const std::weak_ptr<UdpSocket> weak = weak_from_this();
            receiveFilterQueue_->async([weak, queue = socketQueue_, filter, data = std::move(data),
                                        address = std::move(address)]() mutable {
                std::any context;
                const bool allowed = filter(data, address, &context);
                queue->async([weak, allowed, data = std::move(data), address = std::move(address),
                              context = std::move(context)]() mutable {
                    auto self = weak.lock();
                    if (!self) {
                        return;
                    }
                    --self->pendingFilterOperations_;
                    if (allowed) {
                        self->notifyDidReceive(std::move(data), std::move(address),
                                               std::move(context));
                    }
                    if (self->hasFlag(kReceiveOnce)) {
                        if (allowed) {
                            self->flags_ &= ~kReceiveOnce;
                        } else if (self->pendingFilterOperations_ == 0) {
                            self->doReceive();
                        }
                    }
                });
            });
            // Receiving once, the filter's answer decides whether to read another.
            return hasFlag(kReceiveContinuous) ? ReceiveStep::Again : ReceiveStep::Stop;
        }
        std::any context;
        bool allowed = true;
        receiveFilterQueue_->sync([&] { allowed = filter(data, address, &context); });
        if (!allowed) {
            return ReceiveStep::Again;
        }
        notifyDidReceive(std::move(data), std::move(address), std::move(context));
    } else {
        notifyDidReceive(std::move(data), std::move(address), std::any());
    }
    if (hasFlag(kReceiveOnce)) {
        flags_ &= ~kReceiveOnce;
        return ReceiveStep::Stop;
    }
    return ReceiveStep::Again;
}

bool UdpSocket::isFromConnectedPeer(const SocketAddress& address) const {
    const int family = sockaddr::familyFromAddress(address);
    if (family != cachedConnectedFamily_) {
        return false;
    }
    if (family == AF_INET) {
        sockaddr_in a;
        sockaddr_in b;
        std::memcpy(&a, address.data(), sizeof a);
        std::memcpy(&b, cachedConnectedAddress_.data(), sizeof b);
        return a.sin_port == b.sin_port && a.sin_addr.s_addr == b.sin_addr.s_addr;
    }
    sockaddr_in6 a;
    sockaddr_in6 b;
    std::memcpy(&a, address.data(), sizeof a);
    std::memcpy(&b, cachedConnectedAddress_.data(), sizeof b);
    return a.sin6_port == b.sin6_port &&
           std::memcmp(&a.sin6_addr, &b.sin6_addr, sizeof a.sin6_addr) == 0;
}

}  // namespace vm
