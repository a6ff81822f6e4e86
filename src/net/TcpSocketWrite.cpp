// TcpSocket: the write queue, the write step and write time-outs.
#include "net/TcpSocket.h"
#include "net/TcpSocketError.h"

#include <sys/socket.h>

#include <cerrno>
#include <limits>

namespace vm {

void TcpSocket::writeData(Bytes data, double timeout, long tag) {
    if (data.empty()) {
        return;
    }
    auto packet =
        std::make_shared<TcpWritePacket>(TcpWritePacket{std::move(data), 0, tag, timeout});
    socketQueue_->async([self = shared_from_this(), packet = std::move(packet)]() mutable {
        if ((self->flags_ & kStarted) && !(self->flags_ & kRefuseNewReadsWrites)) {
            self->writeQueue_.push_back(std::move(packet));
            self->maybeDequeueWrite();
        }
    });
}

float TcpSocket::progressOfWriteReturningTag(long* tag, std::size_t* done,
                                             std::size_t* total) const {
    return onQueue([&] {
        if (!currentWrite_ || currentWrite_->special) {
            if (tag) *tag = 0;
            if (done) *done = 0;
            if (total) *total = 0;
            return std::numeric_limits<float>::quiet_NaN();
        }
        const std::size_t length = currentWrite_->buffer.size();
        if (tag) *tag = currentWrite_->tag;
        if (done) *done = currentWrite_->bytesDone;
        if (total) *total = length;
        return static_cast<float>(static_cast<double>(currentWrite_->bytesDone) /
                                  static_cast<double>(length));
    });
}

void TcpSocket::maybeDequeueWrite() {
    if (currentWrite_ || !(flags_ & kConnected)) {
        return;
    }
    if (!writeQueue_.empty()) {
        currentWrite_ = std::move(writeQueue_.front());
        writeQueue_.pop_front();
        if (currentWrite_->special) {
            flags_ |= kWriteSideWaitingForTLS;
            maybeStartTLS();
        } else {
            setupWriteTimer(currentWrite_->timeout);
            doWriteData();
        }
    } else if (flags_ & kCloseAfterWrites) {
        maybeClose();
    }
}

void TcpSocket::doWriteData() {
    if (!currentWrite_ || (flags_ & kWritesPaused)) {
        // Nothing to write: a writable descriptor would keep firing the source.
        if (flags_ & kCanAcceptBytes) {
            suspendWriteSource();
        }
        return;
    }
    if (!(flags_ & kCanAcceptBytes)) {
        resumeWriteSource();  // its next event says the descriptor takes bytes again
        return;
    }
    if (flags_ & kWriteSideWaitingForTLS) {
        if ((flags_ & kReadSideWaitingForTLS) && lastSSLHandshakeError_ == errSSLWouldBlock) {
            continueSSLHandshake();
        }
        // A handshake that had to wait for the descriptor resumed the source again itself;
        // otherwise a writable descriptor would only keep firing it.
        if (flags_ & kCanAcceptBytes) {
            suspendWriteSource();
        }
        return;
    }

    TcpWritePacket& packet = *currentWrite_;
    bool waiting = false;
    std::optional<Error> error;
    const char* remaining = packet.buffer.data() + packet.bytesDone;
    const std::size_t remainingLength = packet.buffer.size() - packet.bytesDone;
    const std::size_t written = (flags_ & kSecure)
                                    ? writeToTls(remaining, remainingLength, &waiting, &error)
                                    : writeToSocket(remaining, remainingLength, &waiting, &error);
    if (waiting) {
        flags_ &= ~kCanAcceptBytes;
        resumeWriteSource();
    }

    packet.bytesDone += written;
    if (packet.bytesDone == packet.buffer.size()) {
        completeCurrentWrite();
        if (!error) {
            socketQueue_->async([self = shared_from_this()] { self->maybeDequeueWrite(); });
        }
    } else {
        if (!waiting && !error) {
            // The descriptor took part of the bytes: wait until it takes more.
            flags_ &= ~kCanAcceptBytes;
            resumeWriteSource();
        }
        if (written > 0) {
            notifyDelegate(
                [written, tag = packet.tag](TcpSocketDelegate& d, const TcpSocketPtr& sock) {
                    d.socketDidWritePartialDataOfLength(sock, written, tag);
                });
        }
    }
    if (error) {
        closeWithError(std::move(error));
    }
}

// The one place that hands bytes to the descriptor.
std::size_t TcpSocket::writeToSocket(const char* bytes, std::size_t length, bool* waiting,
                                     std::optional<Error>* error) {
    const ssize_t result = ::send(connectedFD(), bytes, length, MSG_NOSIGNAL);
    if (result < 0) {
        if (errno == EWOULDBLOCK || errno == EAGAIN || errno == EINTR) {
            *waiting = true;
        } else {
            *error = posixError(errno, "Error in write() function");
        }
        return 0;
    }
    return static_cast<std::size_t>(result);
}

void TcpSocket::completeCurrentWrite() {
    notifyDelegate([tag = currentWrite_->tag](TcpSocketDelegate& d, const TcpSocketPtr& sock) {
        d.socketDidWriteDataWithTag(sock, tag);
    });
    endCurrentWrite();
}

void TcpSocket::endCurrentWrite() {
    if (writeTimer_) {
        writeTimer_->cancel();
        writeTimer_.reset();
    }
    currentWrite_.reset();
}

void TcpSocket::setupWriteTimer(double timeout) {
    if (timeout >= 0) {
        writeTimer_ = startTimer(timeout, &TcpSocket::doWriteTimeout);
    }
}

void TcpSocket::doWriteTimeout() {
    flags_ |= kWritesPaused;
    std::shared_ptr<TcpWritePacket> packet = currentWrite_;
    if (!packet || !delegateQueue_ || delegate_.expired()) {
        doWriteTimeoutWithExtension(packet, 0);
        return;
    }
    delegateQueue_->async([self = shared_from_this(), weakDelegate = delegate_, packet,
                           elapsed = packet->timeout, bytesDone = packet->bytesDone] {
        double extension = 0;
        if (auto delegate = weakDelegate.lock()) {
            extension =
                delegate->socketShouldTimeoutWriteWithTag(self, packet->tag, elapsed, bytesDone);
        }
        self->socketQueue_->async(
            [self, packet, extension] { self->doWriteTimeoutWithExtension(packet, extension); });
    });
}

void TcpSocket::doWriteTimeoutWithExtension(const std::shared_ptr<TcpWritePacket>& packet,
                                            double extension) {
    if (!currentWrite_ || currentWrite_ != packet) {
        return;  // the write ended meanwhile (a close); the answer is for nothing
    }
    if (extension > 0) {
        currentWrite_->timeout += extension;
        writeTimer_->setTimer(toDuration(Seconds(extension)), std::nullopt);
        flags_ &= ~kWritesPaused;
        doWriteData();
    } else {
        closeWithError(tcpsocket::error(TcpSocketErrorCode::WriteTimeout));
    }
}

void TcpSocket::suspendWriteSource() {
    if (!(flags_ & kWriteSourceSuspended) && writeSource_) {
        writeSource_->suspend();
        flags_ |= kWriteSourceSuspended;
    }
}

void TcpSocket::resumeWriteSource() {
    if ((flags_ & kWriteSourceSuspended) && writeSource_) {
        writeSource_->resume();
        flags_ &= ~kWriteSourceSuspended;
    }
}

}  // namespace vm
