// UdpSocket: creation, delegate and configuration accessors, notifications, closing, addresses.
#include "net/UdpSocket.h"

#include <sys/socket.h>
#include <unistd.h>

namespace vm {

int UdpSocket::Endpoint::family() const { return v6 ? AF_INET6 : AF_INET; }

unsigned UdpSocket::Endpoint::addressLength() const {
    return v6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
}

std::shared_ptr<UdpSocket> UdpSocket::create(std::weak_ptr<UdpSocketDelegate> delegate,
                                             DispatchQueuePtr delegateQueue,
                                             DispatchQueuePtr socketQueue) {
    return std::shared_ptr<UdpSocket>(
        new UdpSocket(std::move(delegate), std::move(delegateQueue), std::move(socketQueue)));
}

UdpSocket::UdpSocket(std::weak_ptr<UdpSocketDelegate> delegate, DispatchQueuePtr delegateQueue,
                     DispatchQueuePtr socketQueue)
    : delegate_(std::move(delegate)),
      delegateQueue_(std::move(delegateQueue)),
      socketQueue_(socketQueue ? std::move(socketQueue) : DispatchQueue::serial("UdpSocket")) {}

UdpSocket::~UdpSocket() {
    socketQueue_->sync([this] { closeWithError(std::nullopt); });
}

void UdpSocket::postToSocketQueue(std::function<void(UdpSocket&)> task) {
    socketQueue_->async([self = shared_from_this(), task = std::move(task)]() mutable {
        task(*self);
        // Let go while the task still counts as running on the socket queue: when this was the
        // last reference, the destructor's close then runs inline instead of waiting for a queue
        // that this very thread is still draining.
        self.reset();
    });
}

// Delegate ---------------------------------------------------------------------------------------

std::shared_ptr<UdpSocketDelegate> UdpSocket::delegate() {
    return onSocketQueue([&] { return delegate_.lock(); });
}

DispatchQueuePtr UdpSocket::delegateQueue() {
    return onSocketQueue([&] { return delegateQueue_; });
}

void UdpSocket::getDelegate(std::shared_ptr<UdpSocketDelegate>* delegate,
                            DispatchQueuePtr* delegateQueue) {
    onSocketQueue([&] {
        if (delegate) *delegate = delegate_.lock();
        if (delegateQueue) *delegateQueue = delegateQueue_;
    });
}

void UdpSocket::setDelegate(std::weak_ptr<UdpSocketDelegate> delegate) {
    postToSocketQueue([delegate](UdpSocket& s) { s.delegate_ = delegate; });
}

void UdpSocket::setDelegateQueue(DispatchQueuePtr delegateQueue) {
    postToSocketQueue([delegateQueue](UdpSocket& s) { s.delegateQueue_ = delegateQueue; });
}

void UdpSocket::setDelegate(std::weak_ptr<UdpSocketDelegate> delegate,
                            DispatchQueuePtr delegateQueue) {
    postToSocketQueue([delegate, delegateQueue](UdpSocket& s) {
        s.delegate_ = delegate;
        s.delegateQueue_ = delegateQueue;
    });
}

void UdpSocket::synchronouslySetDelegate(std::weak_ptr<UdpSocketDelegate> delegate) {
    onSocketQueue([&] { delegate_ = std::move(delegate); });
}

void UdpSocket::synchronouslySetDelegateQueue(DispatchQueuePtr delegateQueue) {
    onSocketQueue([&] { delegateQueue_ = std::move(delegateQueue); });
}

void UdpSocket::synchronouslySetDelegate(std::weak_ptr<UdpSocketDelegate> delegate,
                                         DispatchQueuePtr delegateQueue) {
    onSocketQueue([&] {
        delegate_ = std::move(delegate);
        delegateQueue_ = std::move(delegateQueue);
    });
}

// Configuration ----------------------------------------------------------------------------------

bool UdpSocket::isIPv4Enabled() {
    return onSocketQueue([&] { return !hasConfig(kIPv4Disabled); });
}

bool UdpSocket::isIPv6Enabled() {
    return onSocketQueue([&] { return !hasConfig(ip6_.bit(kIPv4Disabled)); });
}

bool UdpSocket::isIPv4Preferred() {
    return onSocketQueue([&] { return hasConfig(kPreferIPv4); });
}

bool UdpSocket::isIPv6Preferred() {
    return onSocketQueue([&] { return hasConfig(kPreferIPv6); });
}

bool UdpSocket::isIPVersionNeutral() {
    return onSocketQueue([&] { return !hasConfig(kPreferIPv4) && !hasConfig(kPreferIPv6); });
}

void UdpSocket::setIPv4Enabled(bool enabled) {
    postToSocketQueue([enabled](UdpSocket& s) {
        s.config_ = enabled ? s.config_ & ~kIPv4Disabled : s.config_ | kIPv4Disabled;
    });
}

void UdpSocket::setIPv6Enabled(bool enabled) {
    postToSocketQueue([enabled](UdpSocket& s) {
        const auto bit = s.ip6_.bit(kIPv4Disabled);
        s.config_ = enabled ? s.config_ & ~bit : s.config_ | bit;
    });
}

void UdpSocket::setPreferIPv4() {
    postToSocketQueue([](UdpSocket& s) { s.config_ = (s.config_ | kPreferIPv4) & ~kPreferIPv6; });
}

void UdpSocket::setPreferIPv6() {
    postToSocketQueue([](UdpSocket& s) { s.config_ = (s.config_ | kPreferIPv6) & ~kPreferIPv4; });
}

void UdpSocket::setIPVersionNeutral() {
    postToSocketQueue([](UdpSocket& s) { s.config_ &= ~(kPreferIPv4 | kPreferIPv6); });
}

std::uint16_t UdpSocket::maxReceiveIPv4BufferSize() {
    return onSocketQueue([&] { return max4ReceiveSize_; });
}

std::uint32_t UdpSocket::maxReceiveIPv6BufferSize() {
    return onSocketQueue([&] { return max6ReceiveSize_; });
}

std::uint16_t UdpSocket::maxSendBufferSize() {
    return onSocketQueue([&] { return maxSendSize_; });
}

void UdpSocket::setMaxReceiveIPv4BufferSize(std::uint16_t size) {
    postToSocketQueue([size](UdpSocket& s) { s.max4ReceiveSize_ = size; });
}

void UdpSocket::setMaxReceiveIPv6BufferSize(std::uint32_t size) {
    postToSocketQueue([size](UdpSocket& s) { s.max6ReceiveSize_ = size; });
}

void UdpSocket::setMaxSendBufferSize(std::uint16_t size) {
    postToSocketQueue([size](UdpSocket& s) { s.maxSendSize_ = size; });
}

std::any UdpSocket::userData() {
    return onSocketQueue([&] { return userData_; });
}

void UdpSocket::setUserData(std::any userData) {
    postToSocketQueue([userData = std::move(userData)](UdpSocket& s) { s.userData_ = userData; });
}

// Notifications ----------------------------------------------------------------------------------

void UdpSocket::notify(std::function<void(UdpSocketDelegate&, UdpSocket&)> call) {
    auto delegate = delegate_.lock();
    auto self = weak_from_this().lock();  // none while the socket is being destroyed
    if (!delegate || !delegateQueue_ || !self) {
        return;
    }
    delegateQueue_->async(
        [delegate = std::move(delegate), self = std::move(self), call = std::move(call)]() mutable {
            call(*delegate, *self);
            self.reset();  // see postToSocketQueue: the delegate queue may be the socket queue
        });
}

void UdpSocket::notifyDidConnect(const SocketAddress& address) {
    notify([address](UdpSocketDelegate& d, UdpSocket& s) {
        d.udpSocketDidConnectToAddress(s, address);
    });
}

void UdpSocket::notifyDidNotConnect(const Error& error) {
    notify([error](UdpSocketDelegate& d, UdpSocket& s) { d.udpSocketDidNotConnect(s, error); });
}

void UdpSocket::notifyDidSend(long tag) {
    notify([tag](UdpSocketDelegate& d, UdpSocket& s) { d.udpSocketDidSendDataWithTag(s, tag); });
}

void UdpSocket::notifyDidNotSend(long tag, const Error& error) {
    notify([tag, error](UdpSocketDelegate& d, UdpSocket& s) {
        d.udpSocketDidNotSendDataWithTag(s, tag, error);
    });
}

void UdpSocket::notifyDidReceive(Bytes data, SocketAddress address, std::any context) {
    notify([data = std::move(data), address = std::move(address), context = std::move(context)](
               UdpSocketDelegate& d, UdpSocket& s) {
        d.udpSocketDidReceiveData(s, data, address, context);
    });
}

void UdpSocket::notifyDidClose(const std::optional<Error>& error) {
    notify([error](UdpSocketDelegate& d, UdpSocket& s) { d.udpSocketDidClose(s, error); });
}

// Closing ----------------------------------------------------------------------------------------

void UdpSocket::close() {
    onSocketQueue([&] { closeWithError(std::nullopt); });
}

void UdpSocket::closeAfterSending() {
    postToSocketQueue([](UdpSocket& s) {
        s.flags_ |= kCloseAfterSends;
        if (!s.currentSend_ && s.sendQueue_.empty()) {
            s.closeWithError(std::nullopt);
        }
    });
}

void UdpSocket::closeWithError(const std::optional<Error>& error) {
    endCurrentSend();
    sendQueue_.clear();  // dropped without a callback each
    const bool hadSockets = hasFlag(kSocketsCreated);
    closeSockets();
    flags_ = 0;
    // A closed socket has no peer, whatever it was connected to before.
    cachedConnectedAddress_.clear();
    cachedConnectedHost_.clear();
    cachedConnectedPort_ = 0;
    cachedConnectedFamily_ = 0;
    if (hadSockets) {
        notifyDidClose(error);
    }
}

void UdpSocket::closeSocket(Endpoint& e) {
    if (e.fd == -1) {
        return;
    }
    if (e.sendSource) {
        // The sources' cancel handlers close the descriptor once both have run.
        e.sendSource->cancel();
        e.receiveSource->cancel();
    } else {
        ::close(e.fd);  // made, but its sources were not
    }
    e.sendSource.reset();
    e.receiveSource.reset();
    e.fd = -1;
    e.bytesAvailable = 0;
    flags_ &= ~(e.bit(kSocket4CanAcceptBytes) | e.bit(kSend4Suspended) | e.bit(kReceive4Suspended));
    e.cachedLocalAddress.clear();
    e.cachedLocalHost.clear();
    e.cachedLocalPort = 0;
}

void UdpSocket::closeSockets() {
    closeSocket(ip4_);
    closeSocket(ip6_);
    flags_ &= ~kSocketsCreated;
}

// State and addresses ----------------------------------------------------------------------------

bool UdpSocket::isConnected() {
    return onSocketQueue([&] { return hasFlag(kConnected); });
}

bool UdpSocket::isClosed() {
    return onSocketQueue([&] { return !hasFlag(kSocketsCreated); });
}

bool UdpSocket::isIPv4() {
    return onSocketQueue(
        [&] { return hasFlag(kSocketsCreated) ? ip4_.fd != -1 : !familyDisabled(ip4_); });
}

bool UdpSocket::isIPv6() {
    return onSocketQueue(
        [&] { return hasFlag(kSocketsCreated) ? ip6_.fd != -1 : !familyDisabled(ip6_); });
}

void UdpSocket::maybeUpdateCachedLocalAddress(Endpoint& e) {
    if (!e.cachedLocalAddress.empty() || !hasFlag(kBound) || e.fd == -1) {
        return;
    }
    sockaddr_storage address{};
    socklen_t length = e.addressLength();
    if (::getsockname(e.fd, reinterpret_cast<::sockaddr*>(&address), &length) != 0 ||
        address.ss_family != e.family()) {
        return;
    }
    e.cachedLocalAddress.assign(reinterpret_cast<const char*>(&address), e.addressLength());
    sockaddr::getHost(&e.cachedLocalHost, &e.cachedLocalPort, nullptr, e.cachedLocalAddress);
}

void UdpSocket::cacheConnectedAddress(const SocketAddress& address) {
    cachedConnectedAddress_ = address;
    sockaddr::getHost(&cachedConnectedHost_, &cachedConnectedPort_, &cachedConnectedFamily_,
                      address);
}

void UdpSocket::maybeUpdateCachedConnectedAddress() {
    if (!cachedConnectedAddress_.empty() || !hasFlag(kConnected)) {
        return;
    }
    Endpoint& e = preferredEndpoint();
    sockaddr_storage address{};
    socklen_t length = e.addressLength();
    if (e.fd == -1 || ::getpeername(e.fd, reinterpret_cast<::sockaddr*>(&address), &length) != 0 ||
        address.ss_family != e.family()) {
        return;
    }
    cacheConnectedAddress(
        SocketAddress(reinterpret_cast<const char*>(&address), e.addressLength()));
}

template <class T>
T UdpSocket::localValue(LocalFamily which, T Endpoint::*field) {
    return onSocketQueue([&] {
        Endpoint& e = which == LocalFamily::IPv4   ? ip4_
                      : which == LocalFamily::IPv6 ? ip6_
                                                   : preferredEndpoint();
        maybeUpdateCachedLocalAddress(e);
        return e.*field;
    });
}

template <class T>
T UdpSocket::connectedValue(T UdpSocket::*field) {
    return onSocketQueue([&] {
        maybeUpdateCachedConnectedAddress();
        return this->*field;
    });
}

SocketAddress UdpSocket::localAddress() {
    return localValue(LocalFamily::Either, &Endpoint::cachedLocalAddress);
}
std::string UdpSocket::localHost() {
    return localValue(LocalFamily::Either, &Endpoint::cachedLocalHost);
}
std::uint16_t UdpSocket::localPort() {
    return localValue(LocalFamily::Either, &Endpoint::cachedLocalPort);
}
SocketAddress UdpSocket::localAddress_IPv4() {
    return localValue(LocalFamily::IPv4, &Endpoint::cachedLocalAddress);
}
std::string UdpSocket::localHost_IPv4() {
    return localValue(LocalFamily::IPv4, &Endpoint::cachedLocalHost);
}
std::uint16_t UdpSocket::localPort_IPv4() {
    return localValue(LocalFamily::IPv4, &Endpoint::cachedLocalPort);
}
SocketAddress UdpSocket::localAddress_IPv6() {
    return localValue(LocalFamily::IPv6, &Endpoint::cachedLocalAddress);
}
std::string UdpSocket::localHost_IPv6() {
    return localValue(LocalFamily::IPv6, &Endpoint::cachedLocalHost);
}
std::uint16_t UdpSocket::localPort_IPv6() {
    return localValue(LocalFamily::IPv6, &Endpoint::cachedLocalPort);
}
SocketAddress UdpSocket::connectedAddress() {
    return connectedValue(&UdpSocket::cachedConnectedAddress_);
}
std::string UdpSocket::connectedHost() { return connectedValue(&UdpSocket::cachedConnectedHost_); }
std::uint16_t UdpSocket::connectedPort() {
    return connectedValue(&UdpSocket::cachedConnectedPort_);
}

void UdpSocket::performBlock(const std::function<void()>& block) { socketQueue_->sync(block); }

int UdpSocket::socketFD() {
    if (!socketQueue_->isCurrent()) {
        return -1;
    }
    return ip4_.fd != -1 ? ip4_.fd : ip6_.fd;
}

int UdpSocket::socket4FD() { return socketQueue_->isCurrent() ? ip4_.fd : -1; }

int UdpSocket::socket6FD() { return socketQueue_->isCurrent() ? ip6_.fd : -1; }

}  // namespace vm
