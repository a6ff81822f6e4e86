// TcpSocket: creation, destruction, delegate and configuration, disconnecting and closing.
#include "net/TcpSocket.h"

#include "net/FileUrl.h"
#include "net/TcpSocketError.h"
#include "net/TlsEngine.h"

#include <fmt/format.h>

#include <sys/socket.h>
#include <unistd.h>

namespace vm {

TcpSocketPtr TcpSocket::create(std::weak_ptr<TcpSocketDelegate> delegate,
                               DispatchQueuePtr delegateQueue, DispatchQueuePtr socketQueue) {
    return TcpSocketPtr(
        new TcpSocket(std::move(delegate), std::move(delegateQueue), std::move(socketQueue)));
}

namespace {

DispatchQueuePtr serialOrNew(DispatchQueuePtr queue) {
    if (queue && queue->kind() != DispatchQueue::Kind::Concurrent) {
        return queue;
    }
    return DispatchQueue::serial("TcpSocket");
}

}  // namespace

TcpSocket::TcpSocket(std::weak_ptr<TcpSocketDelegate> delegate, DispatchQueuePtr delegateQueue,
                     DispatchQueuePtr socketQueue)
    : delegate_(std::move(delegate)),
      delegateQueue_(std::move(delegateQueue)),
      socketQueue_(serialOrNew(std::move(socketQueue))) {
    socketQueue_->setSpecific(&isOnSocketQueueOrTargetQueueKey_, this);
}

TcpSocket::~TcpSocket() {
    socketQueue_->sync([this] { closeWithError(std::nullopt); });
    socketQueue_->setSpecific(&isOnSocketQueueOrTargetQueueKey_, nullptr);
}

bool TcpSocket::onSocketQueue() const {
    return DispatchQueue::getSpecific(&isOnSocketQueueOrTargetQueueKey_) == this;
}

void TcpSocket::runOrPost(std::function<void()> task) {
    if (onSocketQueue()) {
        task();
    } else {
        socketQueue_->async(std::move(task));
    }
}

void TcpSocket::performBlock(const std::function<void()>& block) { socketQueue_->sync(block); }

void TcpSocket::markSocketQueueTargetQueue(const DispatchQueuePtr& queue) {
    queue->setSpecific(&isOnSocketQueueOrTargetQueueKey_, this);
}

void TcpSocket::unmarkSocketQueueTargetQueue(const DispatchQueuePtr& queue) {
    queue->setSpecific(&isOnSocketQueueOrTargetQueueKey_, nullptr);
}

// Delegate and queues ---------------------------------------------------------------------------

std::shared_ptr<TcpSocketDelegate> TcpSocket::delegate() const {
    return onQueue([this] { return delegate_.lock(); });
}

DispatchQueuePtr TcpSocket::delegateQueue() const {
    return onQueue([this] { return delegateQueue_; });
}

void TcpSocket::getDelegate(std::shared_ptr<TcpSocketDelegate>* delegate,
                            DispatchQueuePtr* queue) const {
    onQueue([&] {
        if (delegate) *delegate = delegate_.lock();
        if (queue) *queue = delegateQueue_;
    });
}

void TcpSocket::setDelegate(std::weak_ptr<TcpSocketDelegate> delegate) {
    runOrPost([self = shared_from_this(), delegate = std::move(delegate)] {
        self->delegate_ = delegate;
    });
}

void TcpSocket::setDelegateQueue(DispatchQueuePtr queue) {
    runOrPost(
        [self = shared_from_this(), queue = std::move(queue)] { self->delegateQueue_ = queue; });
}

void TcpSocket::setDelegate(std::weak_ptr<TcpSocketDelegate> delegate, DispatchQueuePtr queue) {
    runOrPost(
        [self = shared_from_this(), delegate = std::move(delegate), queue = std::move(queue)] {
            self->delegate_ = delegate;
            self->delegateQueue_ = queue;
        });
}

void TcpSocket::synchronouslySetDelegate(std::weak_ptr<TcpSocketDelegate> delegate) {
    onQueue([&] { delegate_ = std::move(delegate); });
}

void TcpSocket::synchronouslySetDelegateQueue(DispatchQueuePtr queue) {
    onQueue([&] { delegateQueue_ = std::move(queue); });
}

void TcpSocket::synchronouslySetDelegate(std::weak_ptr<TcpSocketDelegate> delegate,
                                         DispatchQueuePtr queue) {
    onQueue([&] {
        delegate_ = std::move(delegate);
        delegateQueue_ = std::move(queue);
    });
}

// Configuration ---------------------------------------------------------------------------------

void TcpSocket::setConfigFlag(std::uint16_t flag, bool set) {
    runOrPost([self = shared_from_this(), flag, set] {
        if (set) {
            self->config_ |= flag;
        } else {
            self->config_ &= static_cast<std::uint16_t>(~flag);
        }
    });
}

bool TcpSocket::isIPv4Enabled() const {
    return onQueue([this] { return (config_ & kIPv4Disabled) == 0; });
}

void TcpSocket::setIPv4Enabled(bool enabled) { setConfigFlag(kIPv4Disabled, !enabled); }

bool TcpSocket::isIPv6Enabled() const {
    return onQueue([this] { return (config_ & kIPv6Disabled) == 0; });
}

void TcpSocket::setIPv6Enabled(bool enabled) { setConfigFlag(kIPv6Disabled, !enabled); }

bool TcpSocket::isIPv4PreferredOverIPv6() const {
    return onQueue([this] { return (config_ & kPreferIPv6) == 0; });
}

void TcpSocket::setIPv4PreferredOverIPv6(bool preferred) { setConfigFlag(kPreferIPv6, !preferred); }

double TcpSocket::alternateAddressDelay() const {
    return onQueue([this] { return alternateAddressDelay_; });
}

void TcpSocket::setAlternateAddressDelay(double seconds) {
    runOrPost([self = shared_from_this(), seconds] { self->alternateAddressDelay_ = seconds; });
}

std::shared_ptr<void> TcpSocket::userData() const {
    return onQueue([this] { return userData_; });
}

void TcpSocket::setUserData(std::shared_ptr<void> data) {
    runOrPost([self = shared_from_this(), data = std::move(data)] {
        if (self->userData_ != data) {
            self->userData_ = data;
        }
    });
}

bool TcpSocket::autoDisconnectOnClosedReadStream() const {
    return onQueue([this] { return (config_ & kAllowHalfDuplex) == 0; });
}

void TcpSocket::setAutoDisconnectOnClosedReadStream(bool flag) {
    setConfigFlag(kAllowHalfDuplex, !flag);
}

// Checks before connecting or listening ---------------------------------------------------------

bool TcpSocket::delegateChecks(const char* verb, Error* error) const {
    if (delegate_.expired()) {
        setError(error, tcpsocket::error(TcpSocketErrorCode::BadConfig,
                                         fmt::format("Attempting to {} without a delegate. Set a "
                                                     "delegate first.",
                                                     verb)));
        return false;
    }
    if (!delegateQueue_) {
        setError(error, tcpsocket::error(TcpSocketErrorCode::BadConfig,
                                         fmt::format("Attempting to {} without a delegate queue. "
                                                     "Set a delegate queue first.",
                                                     verb)));
        return false;
    }
    return true;
}

bool TcpSocket::notStartedCheck(const char* verb, Error* error) const {
    if (flags_ & kStarted) {
        setError(error, tcpsocket::error(TcpSocketErrorCode::BadConfig,
                                         fmt::format("Attempting to {} while connected or "
                                                     "accepting connections. Disconnect first.",
                                                     verb)));
        return false;
    }
    return true;
}

bool TcpSocket::familiesCheck(Error* error) const {
    if ((config_ & kIPv4Disabled) && (config_ & kIPv6Disabled)) {
        setError(error, tcpsocket::error(TcpSocketErrorCode::BadConfig,
                                         "Both IPv4 and IPv6 have been disabled. Must enable at "
                                         "least one protocol first."));
        return false;
    }
    return true;
}

bool TcpSocket::interfaceChecks(const SocketAddress& address4, const SocketAddress& address6,
                                Error* error) const {
    const char* message = nullptr;
    if (address4.empty() && address6.empty()) {
        message =
            "Unknown interface. Specify valid interface by name (e.g. \"en1\") or IP address.";
    } else if ((config_ & kIPv4Disabled) && address6.empty()) {
        message = "IPv4 has been disabled and specified interface doesn't support IPv6.";
    } else if ((config_ & kIPv6Disabled) && address4.empty()) {
        message = "IPv6 has been disabled and specified interface doesn't support IPv4.";
    }
    if (message) {
        setError(error, tcpsocket::error(TcpSocketErrorCode::BadParam, message));
        return false;
    }
    return true;
}

DispatchSourcePtr TcpSocket::startTimer(double seconds, void (TcpSocket::*onFire)()) {
    DispatchSourcePtr timer = DispatchSource::makeTimer(socketQueue_);
    timer->setEventHandler([weak = weak_from_this(), onFire] {
        if (auto self = weak.lock()) {
            ((*self).*onFire)();
        }
    });
    timer->setTimer(toDuration(Seconds(seconds)), std::nullopt);
    timer->resume();
    return timer;
}

// Disconnecting ---------------------------------------------------------------------------------

void TcpSocket::disconnect() {
    onQueue([this] {
        if (flags_ & kStarted) {
            closeWithError(std::nullopt);
        }
    });
}

void TcpSocket::disconnectAfterReading() {
    socketQueue_->async([self = shared_from_this()] {
        if (self->flags_ & kStarted) {
            self->flags_ |= kRefuseNewReadsWrites | kCloseAfterReads;
            self->maybeClose();
        }
    });
}

void TcpSocket::disconnectAfterWriting() {
    socketQueue_->async([self = shared_from_this()] {
        if (self->flags_ & kStarted) {
            self->flags_ |= kRefuseNewReadsWrites | kCloseAfterWrites;
            self->maybeClose();
        }
    });
}

void TcpSocket::disconnectAfterReadingAndWriting() {
    socketQueue_->async([self = shared_from_this()] {
        if (self->flags_ & kStarted) {
            self->flags_ |= kRefuseNewReadsWrites | kCloseAfterReads | kCloseAfterWrites;
            self->maybeClose();
        }
    });
}

bool TcpSocket::isDisconnected() const {
    return onQueue([this] { return (flags_ & kStarted) == 0; });
}

bool TcpSocket::isConnected() const {
    return onQueue([this] { return (flags_ & kConnected) != 0; });
}

void TcpSocket::maybeClose() {
    const bool readsIdle = readQueue_.empty() && !currentRead_;
    const bool writesIdle = writeQueue_.empty() && !currentWrite_;
    bool shouldClose = false;
    if (flags_ & kCloseAfterReads) {
        shouldClose = readsIdle && (!(flags_ & kCloseAfterWrites) || writesIdle);
    } else if (flags_ & kCloseAfterWrites) {
        shouldClose = writesIdle;
    }
    if (shouldClose) {
        closeWithError(std::nullopt);
    }
}

void TcpSocket::closeWithError(std::optional<Error> error) {
    endConnectTimeout();
    endTlsHandshakeTimeout();
    if (currentRead_) {
        endCurrentRead();
    }
    if (currentWrite_) {
        endCurrentWrite();
    }
    readQueue_.clear();
    writeQueue_.clear();
    preBuffer_.reset();
    if (sslContext_) {
        sslContext_->close();
        sslContext_.reset();
    }
    sslPreBuffer_.reset();
    sslErrCode_ = tlsSuccess;

    if (!accept4Source_ && !accept6Source_ && !acceptUNSource_ && !readSource_ && !writeSource_) {
        // No source owns a descriptor: these are still connecting (or were never watched).
        // Shutting them down first wakes a blocking connect() that is still waiting on them.
        for (int* fd : {&socket4FD_, &socket6FD_, &socketUN_}) {
            if (*fd != -1) {
                ::shutdown(*fd, SHUT_RDWR);
                ::close(*fd);
                *fd = -1;
            }
        }
    } else {
        // The sources' cancel handlers close the descriptors.
        for (DispatchSourcePtr* source :
             {&accept4Source_, &accept6Source_, &acceptUNSource_, &readSource_, &writeSource_}) {
            if (*source) {
                (*source)->cancel();
                source->reset();
            }
        }
        socket4FD_ = socket6FD_ = socketUN_ = -1;
    }
    if (!socketUrl_.empty()) {
        // The socket file this socket listened on.
        ::unlink(fileurl::pathFromFileUrl(socketUrl_).c_str());
        socketUrl_.clear();
    }

    socketFDBytesAvailable_ = 0;
    sslWriteCachedLength_ = 0;
    lastSSLHandshakeError_ = tlsSuccess;
    const bool wasStarted = flags_ & kStarted;
    flags_ = 0;
    if (wasStarted) {
        notifyDelegate([error = std::move(error)](TcpSocketDelegate& d, const TcpSocketPtr& sock) {
            d.socketDidDisconnect(sock, error);
        });
    }
}

}  // namespace vm
