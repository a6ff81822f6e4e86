// TcpSocket: the read queue, the read step, end of stream and read time-outs.
#include "net/TcpSocket.h"
#include "net/TcpSocketError.h"
#include "net/TlsEngine.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>

namespace vm {

// Requests --------------------------------------------------------------------------------------

void TcpSocket::readDataWithTimeout(double timeout, long tag) {
    readDataWithTimeout(timeout, nullptr, 0, 0, tag);
}

void TcpSocket::readDataWithTimeout(double timeout, std::shared_ptr<Bytes> buffer,
                                    std::size_t offset, long tag) {
    readDataWithTimeout(timeout, std::move(buffer), offset, 0, tag);
}

void TcpSocket::readDataWithTimeout(double timeout, std::shared_ptr<Bytes> buffer,
                                    std::size_t offset, std::size_t maxLength, long tag) {
    if (buffer && offset > buffer->size()) {
        return;
    }
    queueRead(std::make_shared<TcpReadPacket>(std::move(buffer), offset, maxLength, timeout, 0,
                                              Bytes(), tag));
}

void TcpSocket::readDataToLength(std::size_t length, double timeout, long tag) {
    readDataToLength(length, timeout, nullptr, 0, tag);
}

void TcpSocket::readDataToLength(std::size_t length, double timeout, std::shared_ptr<Bytes> buffer,
                                 std::size_t offset, long tag) {
    if (length == 0 || (buffer && offset > buffer->size())) {
        return;
    }
    queueRead(std::make_shared<TcpReadPacket>(std::move(buffer), offset, 0, timeout, length,
                                              Bytes(), tag));
}

void TcpSocket::readDataToData(Bytes terminator, double timeout, long tag) {
    readDataToData(std::move(terminator), timeout, nullptr, 0, 0, tag);
}

void TcpSocket::readDataToData(Bytes terminator, double timeout, std::shared_ptr<Bytes> buffer,
                               std::size_t offset, long tag) {
    readDataToData(std::move(terminator), timeout, std::move(buffer), offset, 0, tag);
}

void TcpSocket::readDataToData(Bytes terminator, double timeout, std::size_t maxLength, long tag) {
    readDataToData(std::move(terminator), timeout, nullptr, 0, maxLength, tag);
}

void TcpSocket::readDataToData(Bytes terminator, double timeout, std::shared_ptr<Bytes> buffer,
                               std::size_t offset, std::size_t maxLength, long tag) {
    if (terminator.empty() || (buffer && offset > buffer->size()) ||
        (maxLength > 0 && maxLength < terminator.size())) {
        return;
    }
    if (maxLength == 0) {
        maxLength = std::max(kTerminatorReadLimit, terminator.size());
    }
    queueRead(std::make_shared<TcpReadPacket>(std::move(buffer), offset, maxLength, timeout, 0,
                                              std::move(terminator), tag));
}

void TcpSocket::queueRead(std::shared_ptr<TcpReadPacket> packet) {
    socketQueue_->async([self = shared_from_this(), packet = std::move(packet)]() mutable {
        if ((self->flags_ & kStarted) && !(self->flags_ & kRefuseNewReadsWrites)) {
            self->readQueue_.push_back(std::move(packet));
            self->maybeDequeueRead();
        }
    });
}

float TcpSocket::progressOfReadReturningTag(long* tag, std::size_t* done,
                                            std::size_t* total) const {
    return onQueue([&] {
        if (!currentRead_ || currentRead_->special) {
            if (tag) *tag = 0;
            if (done) *done = 0;
            if (total) *total = 0;
            return std::numeric_limits<float>::quiet_NaN();
        }
        if (tag) *tag = currentRead_->tag;
        if (done) *done = currentRead_->bytesDone;
        if (total) *total = currentRead_->readLength;
        if (currentRead_->readLength == 0) {
            return 1.0f;
        }
        return static_cast<float>(static_cast<double>(currentRead_->bytesDone) /
                                  static_cast<double>(currentRead_->readLength));
    });
}

// The queue -------------------------------------------------------------------------------------

void TcpSocket::maybeDequeueRead() {
    if (currentRead_ || !(flags_ & kConnected)) {
        return;
    }
    if (!readQueue_.empty()) {
        currentRead_ = std::move(readQueue_.front());
        readQueue_.pop_front();
        if (currentRead_->special) {
            flags_ |= kReadSideWaitingForTLS;
            maybeStartTLS();
        } else {
            setupReadTimer(currentRead_->timeout);
            doReadData();
        }
    } else if (flags_ & kCloseAfterReads) {
        maybeClose();
    } else if (flags_ & kSecure) {
        flushSSLBuffers();
        if (preBuffer_.availableBytes() == 0) {
            resumeReadSource();
        }
    }
}

// The read step ---------------------------------------------------------------------------------

void TcpSocket::doReadData() {
    if (!currentRead_ || (flags_ & kReadsPaused)) {
        // Nothing wants the bytes: decrypt what is there (noticing a close alert), then stop the
        // source firing about them until a read comes.
        flushSSLBuffers();
        if (socketFDBytesAvailable_ > 0) {
            suspendReadSource();
        }
        return;
    }
    const bool secure = (flags_ & kSecure) != 0;
    const std::size_t estimatedBytesAvailable =
        socketFDBytesAvailable_ + (secure ? tlsBytesAvailable() : 0);
    if (estimatedBytesAvailable == 0 && preBuffer_.availableBytes() == 0) {
        resumeReadSource();
        return;
    }
    if (flags_ & kReadSideWaitingForTLS) {
        // The bytes are the peer's handshake: they wait until the write side reaches the upgrade.
        if ((flags_ & kWriteSideWaitingForTLS) && lastSSLHandshakeError_ == errSSLWouldBlock) {
            continueSSLHandshake();
        } else {
            suspendReadSource();
        }
        return;
    }

    const std::shared_ptr<TcpReadPacket> current = currentRead_;  // outlives its completion here
    TcpReadPacket& packet = *current;
    bool done = false;
    std::optional<Error> error;
    bool endOfStream = (flags_ & kReadEOF) != 0;
    bool waiting = false;
    std::size_t totalBytesReadForCurrentRead = 0;

    const auto checkMaxedOut = [&] {
        if (!done && packet.maxLength > 0 && packet.bytesDone >= packet.maxLength) {
            error = tcpsocket::error(TcpSocketErrorCode::ReadMaxedOut);
        }
    };
    const auto moveFromPreBuffer = [&](std::size_t count) {
        packet.ensureCapacityForAdditionalDataOfLength(count);
        std::memcpy(packet.writePosition(), preBuffer_.readBuffer(), count);
        preBuffer_.didRead(count);
        packet.bytesDone += count;
        totalBytesReadForCurrentRead += count;
    };

    // Bytes read ahead earlier serve this read first.
    if (preBuffer_.availableBytes() > 0) {
        std::size_t count = 0;
        if (packet.isTermRead()) {
            count = packet.readLengthForTermWithPreBuffer(preBuffer_, &done);
        } else {
            count = packet.readLengthForNonTermWithHint(preBuffer_.availableBytes());
        }
        moveFromPreBuffer(count);
        if (packet.readLength > 0) {
            done = packet.bytesDone == packet.readLength;
        } else if (packet.isTermRead()) {
            checkMaxedOut();
        } else {
            done = packet.maxLength > 0 && packet.bytesDone == packet.maxLength;
        }
    }

    // Then the descriptor.
    if (!done && !error && !endOfStream && estimatedBytesAvailable > 0) {
        bool readIntoPreBuffer = false;
        std::size_t bytesToRead = 0;
        if (secure) {
            // Decrypt in large steps to limit the number of calls.
            const std::size_t defaultLength = estimatedBytesAvailable > kTlsReadLength
                                                  ? estimatedBytesAvailable + kTlsReadLength / 2
                                                  : kTlsReadLength;
            bytesToRead = packet.optimalReadLengthWithDefault(defaultLength, &readIntoPreBuffer);
        } else if (packet.isTermRead()) {
            bytesToRead =
                packet.readLengthForTermWithHint(estimatedBytesAvailable, &readIntoPreBuffer);
        } else {
            bytesToRead = packet.readLengthForNonTermWithHint(estimatedBytesAvailable);
        }
        char* target = nullptr;
        if (readIntoPreBuffer) {
            preBuffer_.ensureCapacityForWrite(bytesToRead);
            target = preBuffer_.writeBuffer();
        } else {
            packet.ensureCapacityForAdditionalDataOfLength(bytesToRead);
            target = packet.writePosition();
        }
        const std::size_t bytesRead =
            secure ? readFromTls(target, bytesToRead, &waiting, &endOfStream, &error)
                   : readFromSocket(target, bytesToRead, &waiting, &endOfStream, &error);

        if (bytesRead > 0) {
            if (readIntoPreBuffer) {
                preBuffer_.didWrite(bytesRead);
            }
            if (packet.readLength > 0) {
                packet.bytesDone += bytesRead;
                totalBytesReadForCurrentRead += bytesRead;
                done = packet.bytesDone == packet.readLength;
            } else if (packet.isTermRead()) {
                if (readIntoPreBuffer) {
                    moveFromPreBuffer(packet.readLengthForTermWithPreBuffer(preBuffer_, &done));
                } else {
                    const long overflow = packet.searchForTermAfterPreBuffering(bytesRead);
                    std::size_t kept = bytesRead;
                    if (overflow >= 0) {
                        // The bytes after the terminator belong to later reads.
                        const auto extra = static_cast<std::size_t>(overflow);
                        kept = bytesRead - extra;
                        preBuffer_.ensureCapacityForWrite(extra);
                        std::memcpy(preBuffer_.writeBuffer(), packet.writePosition() + kept, extra);
                        preBuffer_.didWrite(extra);
                        done = true;
                    }
                    packet.bytesDone += kept;
                    totalBytesReadForCurrentRead += kept;
                }
                checkMaxedOut();
            } else if (readIntoPreBuffer) {
                moveFromPreBuffer(bytesRead);
                done = true;
            } else {
                packet.bytesDone += bytesRead;
                totalBytesReadForCurrentRead += bytesRead;
                done = true;
            }
        }
    }

    // A read of what is available is done as soon as it has anything.
    if (!done && packet.readLength == 0 && !packet.isTermRead() &&
        totalBytesReadForCurrentRead > 0) {
        done = true;
    }

    if (done) {
        completeCurrentRead();
        if (!error && (!endOfStream || preBuffer_.availableBytes() > 0)) {
            maybeDequeueRead();
        }
    } else if (totalBytesReadForCurrentRead > 0) {
        notifyDelegate([length = totalBytesReadForCurrentRead, tag = packet.tag](
                           TcpSocketDelegate& d, const TcpSocketPtr& sock) {
            d.socketDidReadPartialDataOfLength(sock, length, tag);
        });
    }

    if (error) {
        closeWithError(std::move(error));
    } else if (endOfStream) {
        doReadEOF();
    } else if (waiting) {
        resumeReadSource();
    }
}

// The one place that takes bytes from the descriptor.
std::size_t TcpSocket::readFromSocket(char* target, std::size_t length, bool* waiting,
                                      bool* endOfStream, std::optional<Error>* error) {
    const ssize_t result = ::read(connectedFD(), target, length);
    if (result < 0) {
        if (errno == EWOULDBLOCK || errno == EAGAIN || errno == EINTR) {
            *waiting = true;
        } else {
            *error = posixError(errno, "Error in read() function");
        }
        socketFDBytesAvailable_ = 0;
        return 0;
    }
    if (result == 0) {
        *endOfStream = true;
        socketFDBytesAvailable_ = 0;
        return 0;
    }
    const auto bytesRead = static_cast<std::size_t>(result);
    if (bytesRead < length) {
        socketFDBytesAvailable_ = 0;
    } else {
        socketFDBytesAvailable_ -= std::min(bytesRead, socketFDBytesAvailable_);
    }
    if (socketFDBytesAvailable_ == 0) {
        *waiting = true;
    }
    return bytesRead;
}

void TcpSocket::doReadEOF() {
    flags_ |= kReadEOF;
    flushSSLBuffers();
    bool shouldDisconnect = false;
    if (flags_ & (kReadSideWaitingForTLS | kWriteSideWaitingForTLS)) {
        // A handshake can no longer complete.
        closeWithError(tcpsocket::tlsError(errSSLClosedAbort,
                                           "The connection ended before the "
                                           "TLS handshake completed"));
        return;
    }
    if (flags_ & kReadStreamClosed) {
        // Already reported: the socket stays open for writing.
    } else if (preBuffer_.availableBytes() > 0) {
        // Bytes read ahead can still be read; the close comes once they are consumed.
    } else if (config_ & kAllowHalfDuplex) {
        pollfd pfd{connectedFD(), POLLOUT, 0};
        if (::poll(&pfd, 1, 0) > 0 && (pfd.revents & POLLOUT)) {
            flags_ |= kReadStreamClosed;
            notifyDelegate([](TcpSocketDelegate& d, const TcpSocketPtr& sock) {
                d.socketDidCloseReadStream(sock);
            });
        } else {
            shouldDisconnect = true;
        }
    } else {
        shouldDisconnect = true;
    }
    if (shouldDisconnect) {
        if ((flags_ & kSecure) && sslErrCode_ == tlsSuccess) {
            // The end was seen on the descriptor rather than by the engine: whether the session
            // ended with a close alert decides, as it does when the engine sees it.
            sslErrCode_ =
                sslContext_->receivedCloseAlert() ? errSSLClosedGraceful : errSSLClosedAbort;
        }
        if (sslErrCode_ != tlsSuccess && sslErrCode_ != errSSLClosedGraceful) {
            closeWithError(tlsErrorFromEngine(sslErrCode_));
        } else {
            closeWithError(tcpsocket::error(TcpSocketErrorCode::Closed));
        }
    } else {
        suspendReadSource();
    }
}

void TcpSocket::completeCurrentRead() {
    std::shared_ptr<TcpReadPacket> packet = currentRead_;
    const std::string_view result = packet->finish();
    notifyDelegate([packet, result](TcpSocketDelegate& d, const TcpSocketPtr& sock) {
        d.socketDidReadData(sock, result, packet->tag);
    });
    endCurrentRead();
}

void TcpSocket::endCurrentRead() {
    if (readTimer_) {
        readTimer_->cancel();
        readTimer_.reset();
    }
    currentRead_.reset();
}

// Time-out --------------------------------------------------------------------------------------

void TcpSocket::setupReadTimer(double timeout) {
    if (timeout >= 0) {
        readTimer_ = startTimer(timeout, &TcpSocket::doReadTimeout);
    }
}

void TcpSocket::doReadTimeout() {
    flags_ |= kReadsPaused;
    std::shared_ptr<TcpReadPacket> packet = currentRead_;
    if (!packet || !delegateQueue_ || delegate_.expired()) {
        doReadTimeoutWithExtension(packet, 0);
        return;
    }
    delegateQueue_->async([self = shared_from_this(), weakDelegate = delegate_, packet,
                           elapsed = packet->timeout, bytesDone = packet->bytesDone] {
        double extension = 0;
        if (auto delegate = weakDelegate.lock()) {
            extension =
                delegate->socketShouldTimeoutReadWithTag(self, packet->tag, elapsed, bytesDone);
        }
        self->socketQueue_->async(
            [self, packet, extension] { self->doReadTimeoutWithExtension(packet, extension); });
    });
}

void TcpSocket::doReadTimeoutWithExtension(const std::shared_ptr<TcpReadPacket>& packet,
                                           double extension) {
    if (!currentRead_ || currentRead_ != packet) {
        return;  // the read ended meanwhile (a close); the answer is for nothing
    }
    if (extension > 0) {
        currentRead_->timeout += extension;
        readTimer_->setTimer(toDuration(Seconds(extension)), std::nullopt);
        flags_ &= ~kReadsPaused;
        doReadData();
    } else {
        closeWithError(tcpsocket::error(TcpSocketErrorCode::ReadTimeout));
    }
}

// Source suspension -----------------------------------------------------------------------------

void TcpSocket::suspendReadSource() {
    if (!(flags_ & kReadSourceSuspended) && readSource_) {
        readSource_->suspend();
        flags_ |= kReadSourceSuspended;
    }
}

void TcpSocket::resumeReadSource() {
    if ((flags_ & kReadSourceSuspended) && readSource_) {
        readSource_->resume();
        flags_ &= ~kReadSourceSuspended;
    }
}

}  // namespace vm
