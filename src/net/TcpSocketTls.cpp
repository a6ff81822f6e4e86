// TcpSocket: the TLS upgrade, its settings, the handshake, trust evaluation by the delegate and
// the engine's I/O over the connected descriptor.
#include "net/TcpSocket.h"
#include "net/TcpSocketError.h"
#include "net/TlsEngine.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstring>

namespace vm {

namespace {

constexpr std::size_t kTlsWriteChunk = 32768;

// One setting's step of the set-up: nothing when the key is absent, "Invalid value for <key>."
// when its value is of the wrong kind, `engineMessage` when the engine refuses it.
template <class T, class Apply>
bool applySetting(const TlsSetting<T>& setting, const char* key, const char* engineMessage,
                  Apply apply, std::string* failure) {
    if (!setting.present) return true;
    if (!setting.value) {
        *failure = fmt::format("Invalid value for {}.", key);
        return false;
    }
    if (!apply(*setting.value)) {
        *failure = engineMessage;
        return false;
    }
    return true;
}

// The engine the settings ask for, checked in a fixed order; null with the message of the first
// refusal.
std::unique_ptr<TlsEngine> makeTlsEngine(const TlsSettings& settings, std::string* failure) {
    namespace ts = tlssettings;
    const TlsSetting<bool> isServer = ts::boolean(settings, kCFStreamSSLIsServer);
    if (isServer.invalid()) {
        *failure = fmt::format("Invalid value for {}.", kCFStreamSSLIsServer);
        return nullptr;
    }
    const bool server = isServer.value.value_or(false);
    std::unique_ptr<TlsEngine> engine = TlsEngine::create(server);
    if (!engine) {
        *failure = "Error in SSLCreateContext";
        return nullptr;
    }
    TlsEngine& e = *engine;

    const TlsSetting<bool> manual = ts::boolean(settings, kTcpSocketManuallyEvaluateTrust);
    if (manual.invalid()) {
        *failure = fmt::format("Invalid value for {}.", kTcpSocketManuallyEvaluateTrust);
        return nullptr;
    }
    if (manual.value.value_or(false)) {
        if (server) {
            *failure = "Manual trust validation is not supported for server sockets";
            return nullptr;
        }
        if (!e.setBreakOnServerAuth(true)) {
            *failure = "Error in SSLSetSessionOption";
            return nullptr;
        }
    }

    const bool accepted =
        applySetting(
            ts::text(settings, kCFStreamSSLPeerName), kCFStreamSSLPeerName,
            "Error in SSLSetPeerDomainName",
            [&](const std::string& name) { return e.setPeerDomainName(name); }, failure) &&
        applySetting(
            ts::dataArray(settings, kCFStreamSSLCertificates), kCFStreamSSLCertificates,
            "Error in SSLSetCertificate",
            [&](const std::vector<Bytes>& items) { return e.setCertificate(items); }, failure) &&
        applySetting(
            ts::data(settings, kTcpSocketSSLPeerID), kTcpSocketSSLPeerID, "Error in SSLSetPeerID",
            [&](const Bytes& id) { return e.setPeerId(id); }, failure) &&
        applySetting(
            ts::number(settings, kTcpSocketSSLProtocolVersionMin), kTcpSocketSSLProtocolVersionMin,
            "Error in SSLSetProtocolVersionMin",
            [&](std::int64_t v) { return v == 0 || e.setProtocolVersionMin(v); }, failure) &&
        applySetting(
            ts::number(settings, kTcpSocketSSLProtocolVersionMax), kTcpSocketSSLProtocolVersionMax,
            "Error in SSLSetProtocolVersionMax",
            [&](std::int64_t v) { return v == 0 || e.setProtocolVersionMax(v); }, failure) &&
        applySetting(
            ts::boolean(settings, kTcpSocketSSLSessionOptionFalseStart),
            kTcpSocketSSLSessionOptionFalseStart,
            "Error in SSLSetSessionOption (kSSLSessionOptionFalseStart)",
            [&](bool on) { return e.setFalseStart(on); }, failure) &&
        applySetting(
            ts::boolean(settings, kTcpSocketSSLSessionOptionSendOneByteRecord),
            kTcpSocketSSLSessionOptionSendOneByteRecord,
            "Error in SSLSetSessionOption (kSSLSessionOptionSendOneByteRecord)",
            [&](bool on) { return e.setSendOneByteRecord(on); }, failure) &&
        applySetting(
            ts::numberArray(settings, kTcpSocketSSLCipherSuites), kTcpSocketSSLCipherSuites,
            "Error in SSLSetEnabledCiphers",
            [&](const std::vector<std::uint32_t>& suites) { return e.setEnabledCiphers(suites); },
            failure) &&
        applySetting(
            ts::data(settings, kTcpSocketSSLDiffieHellmanParameters),
            kTcpSocketSSLDiffieHellmanParameters, "Error in SSLSetDiffieHellmanParams",
            [&](const Bytes& parameters) { return e.setDiffieHellmanParams(parameters); },
            failure) &&
        applySetting(
            ts::textArray(settings, kTcpSocketSSLALPN), kTcpSocketSSLALPN,
            "Error in SSLSetALPNProtocols",
            [&](const std::vector<std::string>& protocols) {
                return e.setAlpnProtocols(protocols);
            },
            failure);
    if (!accepted) {
        return nullptr;
    }

    for (const char* key : {kCFStreamSSLAllowsAnyRoot, kCFStreamSSLAllowsExpiredRoots,
                            kCFStreamSSLValidatesCertificateChain,
                            kCFStreamSSLAllowsExpiredCertificates, kCFStreamSSLLevel}) {
        if (settings.count(key)) {
            *failure = fmt::format("Security option unavailable - {}", key);
            return nullptr;
        }
    }
    return engine;
}

}  // namespace

// Requests and accessors --------------------------------------------------------------------------

void TcpSocket::startTLS(TlsSettings settings) {
    auto upgrade = std::make_shared<const TcpSpecialPacket>(TcpSpecialPacket{std::move(settings)});
    socketQueue_->async([self = shared_from_this(), upgrade = std::move(upgrade)] {
        if (!(self->flags_ & kStarted) || (self->flags_ & (kRefuseNewReadsWrites | kTlsQueued))) {
            return;
        }
        self->readQueue_.push_back(TcpReadPacket::tlsUpgrade(upgrade));
        self->writeQueue_.push_back(
            std::make_shared<TcpWritePacket>(TcpWritePacket{Bytes(), 0, 0, -1.0, upgrade}));
        self->flags_ |= kTlsQueued;
        self->maybeDequeueRead();
        self->maybeDequeueWrite();
    });
}

bool TcpSocket::isSecure() const {
    return onQueue([this] { return (flags_ & kSecure) != 0; });
}

TlsEngine* TcpSocket::sslContext() const { return onSocketQueue() ? sslContext_.get() : nullptr; }

// The handshake ---------------------------------------------------------------------------------

// Runs when either queue reaches the upgrade; the handshake starts once both have.
void TcpSocket::maybeStartTLS() {
    if (!(flags_ & kReadSideWaitingForTLS) || !(flags_ & kWriteSideWaitingForTLS)) {
        return;
    }
    if (!currentRead_ || !currentRead_->special) {
        closeWithError(tcpsocket::error(TcpSocketErrorCode::Other, "Logic error"));
        return;
    }
    std::string failure;
    std::unique_ptr<TlsEngine> engine = makeTlsEngine(currentRead_->special->tlsSettings, &failure);
    if (!engine) {
        closeWithError(tcpsocket::error(TcpSocketErrorCode::Other, failure));
        return;
    }
    engine->setIoFunctions(sslReadFunction, sslWriteFunction);
    engine->setConnection(this);
    sslContext_ = std::move(engine);
    // A peer that stops answering mid-handshake must not keep the connection opening for ever.
    handshakeTimer_ = startTimer(connectTimeout_ > 0 ? connectTimeout_ : kTlsHandshakeTimeout,
                                 &TcpSocket::doTlsHandshakeTimeout);

    // Whatever arrived after the last plaintext read is the peer's first ciphertext.
    sslPreBuffer_ = std::make_unique<TcpSocketPreBuffer>(4096);
    const std::size_t early = preBuffer_.availableBytes();
    sslPreBuffer_->ensureCapacityForWrite(early);
    std::memcpy(sslPreBuffer_->writeBuffer(), preBuffer_.readBuffer(), early);
    sslPreBuffer_->didWrite(early);
    preBuffer_.didRead(early);

    sslErrCode_ = tlsSuccess;
    lastSSLHandshakeError_ = tlsSuccess;
    continueSSLHandshake();
}

void TcpSocket::continueSSLHandshake() {
    const TlsStatus status = sslContext_->handshake();
    lastSSLHandshakeError_ = status;
    switch (status) {
        case tlsSuccess:
            endTlsHandshakeTimeout();
            flags_ &= ~(kReadSideWaitingForTLS | kWriteSideWaitingForTLS);
            flags_ |= kSecure;
            notifyDelegate(
                [](TcpSocketDelegate& d, const TcpSocketPtr& sock) { d.socketDidSecure(sock); });
            endCurrentRead();
            endCurrentWrite();
            maybeDequeueRead();
            maybeDequeueWrite();
            break;
        case errSSLPeerAuthCompleted:
            if (std::shared_ptr<TlsTrust> trust = sslContext_->copyPeerTrust()) {
                askDelegateToTrust(std::move(trust));
            } else {
                closeWithError(tcpsocket::tlsError(errSSLBadCert, "The peer sent no certificate"));
            }
            break;
        case errSSLWouldBlock: break;  // goes on when the descriptor is ready
        default: closeWithError(tlsErrorFromEngine(status)); break;
    }
}

void TcpSocket::doTlsHandshakeTimeout() {
    Error error = tcpsocket::error(TcpSocketErrorCode::ConnectTimeout);
    error.failureReason = "The TLS handshake did not finish in time";
    closeWithError(error);
}

void TcpSocket::endTlsHandshakeTimeout() {
    if (handshakeTimer_) {
        handshakeTimer_->cancel();
        handshakeTimer_.reset();
    }
}

void TcpSocket::askDelegateToTrust(std::shared_ptr<TlsTrust> trust) {
    const int aStateIndex = stateIndex_;
    if (!delegateQueue_ || delegate_.expired()) {
        trustNotEvaluated(aStateIndex);
        return;
    }
    TlsTrustCompletionHandler handler = [weak = weak_from_this(), aStateIndex](bool shouldTrust) {
        if (TcpSocketPtr self = weak.lock()) {
            self->socketQueue_->async([self, aStateIndex, shouldTrust] {
                self->applyTrustAnswer(aStateIndex, shouldTrust);
            });
        }
    };
    delegateQueue_->async([self = shared_from_this(), weakDelegate = delegate_,
                           trust = std::move(trust), handler = std::move(handler), aStateIndex] {
        const std::shared_ptr<TcpSocketDelegate> delegate = weakDelegate.lock();
        if (!delegate || !delegate->socketDidReceiveTrust(self, *trust, handler)) {
            self->socketQueue_->async(
                [self, aStateIndex] { self->trustNotEvaluated(aStateIndex); });
        }
    });
}

// The first answer for the current question counts; a later one, or one after a close, finds the
// attempt counter moved on.
void TcpSocket::applyTrustAnswer(int aStateIndex, bool shouldTrustPeer) {
    if (aStateIndex != stateIndex_) {
        return;
    }
    ++stateIndex_;
    if (shouldTrustPeer) {
        continueSSLHandshake();
    } else {
        closeWithError(tcpsocket::tlsError(errSSLPeerBadCert, "Refused by the socket's owner"));
    }
}

void TcpSocket::trustNotEvaluated(int aStateIndex) {
    if (aStateIndex != stateIndex_) {
        return;
    }
    closeWithError(tcpsocket::error(TcpSocketErrorCode::Other,
                                    "TcpSocketManuallyEvaluateTrust specified in tlsSettings, but "
                                    "delegate doesn't implement socket:shouldTrustPeer:"));
}

Error TcpSocket::tlsErrorFromEngine(TlsStatus status) const {
    return tcpsocket::tlsError(status, sslContext_ ? sslContext_->failureReason() : std::string());
}

// Reads and writes through the engine
// ---------------------------------------------------------------

std::size_t TcpSocket::tlsBytesAvailable() const {
    return (sslPreBuffer_ ? sslPreBuffer_->availableBytes() : 0) +
           (sslContext_ ? sslContext_->bufferedReadSize() : 0);
}

std::size_t TcpSocket::readFromTls(char* target, std::size_t length, bool* waiting,
                                   bool* endOfStream, std::optional<Error>* error) {
    std::size_t total = 0;
    while (total < length) {
        std::size_t got = 0;
        const TlsStatus status = sslContext_->read(target + total, length - total, &got);
        total += got;
        if (status == tlsSuccess) {
            continue;
        }
        if (status == errSSLWouldBlock) {
            *waiting = true;
        } else if (status == errSSLClosedGraceful || status == errSSLClosedAbort) {
            *endOfStream = true;
            sslErrCode_ = status;
        } else {
            *error = tlsErrorFromEngine(status);
        }
        break;
    }
    return total;
}

// `bytes` starts at the first byte not yet counted as written; the engine may still hold the
// first sslWriteCachedLength_ of them from the last step.
std::size_t TcpSocket::writeToTls(const char* bytes, std::size_t length, bool* waiting,
                                  std::optional<Error>* error) {
    std::size_t written = 0;
    if (sslWriteCachedLength_ > 0) {
        std::size_t ignored = 0;
        const TlsStatus status = sslContext_->write(nullptr, 0, &ignored);
        if (status == errSSLWouldBlock) {
            *waiting = true;
            return 0;
        }
        if (status != tlsSuccess) {
            *error = tlsErrorFromEngine(status);
            return 0;
        }
        written = sslWriteCachedLength_;
        sslWriteCachedLength_ = 0;
    }
    while (written < length) {
        const std::size_t chunk = std::min(length - written, kTlsWriteChunk);
        std::size_t processed = 0;
        const TlsStatus status = sslContext_->write(bytes + written, chunk, &processed);
        written += processed;
        if (status == errSSLWouldBlock) {
            *waiting = true;
            sslWriteCachedLength_ = chunk - processed;  // the engine keeps them
            break;
        }
        if (status != tlsSuccess) {
            *error = tlsErrorFromEngine(status);
            break;
        }
    }
    return written;
}

// Decrypts ahead of the next read request, which also lets the engine see the peer's close alert
// while no read is pending.
void TcpSocket::flushSSLBuffers() {
    if (!(flags_ & kSecure) || preBuffer_.availableBytes() > 0) {
        return;
    }
    std::size_t estimate = socketFDBytesAvailable_ + tlsBytesAvailable();
    while (estimate > 0) {
        preBuffer_.ensureCapacityForWrite(estimate);
        std::size_t got = 0;
        const TlsStatus status = sslContext_->read(preBuffer_.writeBuffer(), estimate, &got);
        preBuffer_.didWrite(got);
        if (status != tlsSuccess) {
            break;
        }
        estimate = socketFDBytesAvailable_ + tlsBytesAvailable();
    }
}

// The engine's I/O --------------------------------------------------------------------------------

TlsStatus TcpSocket::sslReadFunction(void* connection, char* data, std::size_t* length) {
    return static_cast<TcpSocket*>(connection)->sslReadWithBuffer(data, length);
}

TlsStatus TcpSocket::sslWriteFunction(void* connection, const char* data, std::size_t* length) {
    return static_cast<TcpSocket*>(connection)->sslWriteWithBuffer(data, length);
}

TlsStatus TcpSocket::sslReadWithBuffer(char* buffer, std::size_t* length) {
    const std::size_t wanted = *length;
    *length = 0;
    if (socketFDBytesAvailable_ == 0 && sslPreBuffer_->availableBytes() == 0) {
        resumeReadSource();
        return errSSLWouldBlock;
    }
    // Ciphertext read ahead goes first.
    std::size_t done = std::min(wanted, sslPreBuffer_->availableBytes());
    std::memcpy(buffer, sslPreBuffer_->readBuffer(), done);
    sslPreBuffer_->didRead(done);

    bool socketFailed = false;
    if (done < wanted && socketFDBytesAvailable_ > 0) {
        // More readable than wanted: take it all, and keep the rest for the next call.
        const std::size_t stillWanted = wanted - done;
        const bool viaPreBuffer = socketFDBytesAvailable_ > stillWanted;
        const std::size_t toRead = viaPreBuffer ? socketFDBytesAvailable_ : stillWanted;
        char* target = buffer + done;
        if (viaPreBuffer) {
            sslPreBuffer_->ensureCapacityForWrite(toRead);
            target = sslPreBuffer_->writeBuffer();
        }
        bool waiting = false;
        bool endOfStream = false;
        std::optional<Error> error;
        const std::size_t bytesRead =
            readFromSocket(target, toRead, &waiting, &endOfStream, &error);
        socketFailed = endOfStream || error.has_value();
        if (viaPreBuffer) {
            sslPreBuffer_->didWrite(bytesRead);
            const std::size_t taken = std::min(stillWanted, bytesRead);
            std::memcpy(buffer + done, sslPreBuffer_->readBuffer(), taken);
            sslPreBuffer_->didRead(taken);
            done += taken;
        } else {
            done += bytesRead;
        }
    }
    *length = done;
    if (done == wanted) {
        return tlsSuccess;
    }
    if (socketFailed) {
        return errSSLClosedAbort;
    }
    resumeReadSource();  // the rest comes with the next read event
    return errSSLWouldBlock;
}

TlsStatus TcpSocket::sslWriteWithBuffer(const char* buffer, std::size_t* length) {
    const std::size_t offered = *length;
    *length = 0;
    if (!(flags_ & kCanAcceptBytes)) {
        resumeWriteSource();
        return errSSLWouldBlock;
    }
    bool waiting = false;
    std::optional<Error> error;
    *length = writeToSocket(buffer, offered, &waiting, &error);
    if (*length == offered) {
        return tlsSuccess;
    }
    // The descriptor is full: its next write event goes on.
    flags_ &= ~kCanAcceptBytes;
    resumeWriteSource();
    return error ? errSSLClosedAbort : errSSLWouldBlock;
}

}  // namespace vm
