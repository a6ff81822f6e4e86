// The connection to the DoroLink server: connecting and securing it, reading the server's
// messages, the keep-alive, the commanded disconnect and the disconnect the socket reports.
#include "dorolink/WanServer.h"

#include "net/TcpSocketError.h"
#include "net/TlsSettings.h"
#include "net/TlsStatus.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"
#include "platform/core/NotificationCenter.h"
#include "util/Utf16.h"

#include <utility>

namespace vm {

namespace {

constexpr std::chrono::seconds kPingLeeway{1};

const void* address(const TcpSocketPtr& sock) { return static_cast<const void*>(sock.get()); }

bool isCertificateFailure(const Error& error) {
    if (error.domain != kTlsErrorDomain) {
        return false;
    }
    switch (error.code) {
        case errSSLPeerBadCert:
        case errSSLCertExpired:
        case errSSLCertNotYetValid:
        case errSSLHostNameMismatch:
        case errSSLUnknownRootCert:
        case errSSLBadCert: return true;
        default: return false;
    }
}

}  // namespace

std::shared_ptr<WanServer> WanServer::create(std::weak_ptr<WanServerDelegate> delegate,
                                             Options options) {
    return std::shared_ptr<WanServer>(new WanServer(std::move(delegate), std::move(options)));
}

WanServer::WanServer(std::weak_ptr<WanServerDelegate> delegate, Options options)
    : delegate_(std::move(delegate)), options_(std::move(options)) {}

WanServer::~WanServer() {
    if (pingTimer_) {
        pingTimer_->cancel();
    }
    if (wan_socket_) {
        wan_socket_->setDelegate({});
        wan_socket_->disconnect();
    }
}

bool WanServer::connected() const { return link_ == Link::connected || link_ == Link::secure; }

void WanServer::connectWanServer() {
    if (link_ != Link::down) {
        log("WanServer:connectWanServer:Already connected to \"{}\" on port {}.", wan_host,
            wan_port);
        return;
    }
    // A new socket for each connection: whatever the one before still reports is not ours.
    if (wan_socket_) {
        wan_socket_->setDelegate({});
        wan_socket_->disconnect();
    }
    wan_socket_ = TcpSocket::create(weak_from_this(), DispatchQueue::main());
    tellDelegate([](WanServerDelegate& d) { d.displaySmartServerStatus(false); });
    wan_socket_->setIPv4PreferredOverIPv6(true);
    wan_socket_->setIPv6Enabled(false);
    wan_host = options_.host;
    wan_port = options_.port;
    log("WanServer:connectWanServer:Connecting to \"{}\" on port {}...", wan_host, wan_port);
    lossReported_ = false;
    serverFarewell_.reset();
    Error error;
    if (!wan_socket_->connectToHost(wan_host, wan_port, -1, &error)) {
        log("WanServer:connectWanServer:Error connecting: {}", error.description);
        tellUserOfLoss(error);
        return;
    }
    wan_seq = 1;
    link_ = Link::connecting;
    connection_registered = false;
    registrationSent_ = false;
    messageBuffer_.clear();
    // A server that takes the connection but never completes the handshake must not leave the
    // link hanging in between.
    const std::uint64_t attempt = ++attempt_;
    std::weak_ptr<WanServer> weak = weak_from_this();
    DispatchQueue::main()->after(kSecureTimeout, [weak, attempt] {
        if (auto self = weak.lock()) {
            self->secureTimedOut(attempt);
        }
    });
}

void WanServer::secureTimedOut(std::uint64_t attempt) {
    if (attempt != attempt_ || (link_ != Link::connecting && link_ != Link::connected)) {
        return;
    }
    log("WanServer:connectWanServer:no secure connection to \"{}\" within {} s", wan_host,
        kSecureTimeout.count());
    // The link ends here, whether or not the socket, stopped in the middle of its connect, still
    // reports its end.
    const TcpSocketPtr sock = wan_socket_;
    sock->setDelegate({});
    sock->disconnect();
    socketDidDisconnect(sock, tcpsocket::error(TcpSocketErrorCode::ConnectTimeout));
}

void WanServer::disconnectWanServer() {
    log("WanServer:disconnectWanServer:disconnecting \"{}\" on port {}...", wan_host, wan_port);
    tellDelegate([](WanServerDelegate& d) { d.displaySmartServerStatus(false); });
    stopPingTimer();
    remoteRadios_.clear();
    postAuthProcessComplete();
    postRadioListChanged(nullptr);
    // The link is down from here on, so that the next connect starts a new one; the socket closes
    // once its writes are out and reports to nobody.
    if (const TcpSocketPtr sock = std::exchange(wan_socket_, nullptr)) {
        sock->disconnectAfterWriting();
        sock->setDelegate({});
    }
    link_ = Link::down;
    connection_registered = false;
    registrationSent_ = false;
    messageBuffer_.clear();
}

// TCP is up: the server must prove it is the DoroLink server before anything is said.
void WanServer::socketDidConnectToHost(const TcpSocketPtr& sock, const std::string& /*host*/,
                                       std::uint16_t /*port*/) {
    if (!isCurrent(sock)) {
        return;
    }
    link_ = Link::connected;
    tellDelegate([](WanServerDelegate& d) { d.displaySmartServerStatus(true); });
    sock->startTLS({{kCFStreamSSLPeerName, wan_host}});
}

void WanServer::socketDidSecure(const TcpSocketPtr& sock) {
    if (!isCurrent(sock)) {
        return;
    }
    link_ = Link::secure;
    messageBuffer_.clear();
    queueRead();
    startPingTimer();
    tellDelegate([](WanServerDelegate& d) {
        d.displaySmartServerStatus(true);
        d.wanServerReadyCallback(true);
    });
}

void WanServer::queueRead() { wan_socket_->readDataWithTimeout(-1, 0); }

void WanServer::socketDidReadData(const TcpSocketPtr& sock, std::string_view data, long /*tag*/) {
    if (!isCurrent(sock)) {
        return;
    }
    if (data.empty()) {
        log("WanServer:didReadData:null");
    }
    WanLineBuffer::Result read = messageBuffer_.append(data);
    if (read.droppedBytes > 0) {
        log("WanServer:didReadData:dropped {} bytes of a message longer than {} bytes",
            read.droppedBytes, WanLineBuffer::kMaxMessageLength);
    }
    for (const std::string& message : read.messages) {
        // A handler may have ended the connection (an observer of its notification).
        if (!isCurrent(sock)) {
            return;
        }
        if (!utf16::isValidUtf8(message)) {
            log("WanServer:didReadData:dropped a message of {} bytes that is not UTF-8",
                message.size());
            continue;
        }
        parseMessage(message);
    }
    if (isCurrent(sock)) {
        queueRead();
    }
}

void WanServer::socketDidDisconnect(const TcpSocketPtr& sock, const std::optional<Error>& error) {
    if (!isCurrent(sock) || link_ == Link::down) {
        return;
    }
    if (error) {
        log("WanServer:socketDidDisconnect:{} withError: {}", address(sock), error->description);
    } else {
        log("WanServer:socketDidDisconnect:{}", address(sock));
    }
    if (messageBuffer_.pendingLength() > 0) {
        log("WanServer:socketDidDisconnect:dropped {} bytes of an unfinished message",
            messageBuffer_.pendingLength());
    }
    messageBuffer_.clear();
    link_ = Link::down;
    connection_registered = false;
    registrationSent_ = false;
    tellDelegate([](WanServerDelegate& d) {
        d.displaySmartServerStatus(false);
        d.uncheckDoroLinkButton();
    });
    remoteRadios_.clear();
    postRadioListChanged(nullptr);
    stopPingTimer();
    tellUserOfLoss(error);
}

// Once per connection, whatever ended it first: a refused certificate, a time-out, the server.
void WanServer::tellUserOfLoss(const std::optional<Error>& error) {
    if (std::exchange(lossReported_, true)) {
        return;
    }
    const std::string server = "\"" + wan_host + "\"";
    if (error && isCertificateFailure(*error)) {
        showNotificationWithTitle(
            "DoroLink server refused",
            "The DoroLink server " + server + " was refused: " + error->description);
    } else if (error && error->domain == kTcpSocketErrorDomain &&
               error->code == static_cast<long>(TcpSocketErrorCode::ConnectTimeout)) {
        showNotificationWithTitle("DoroLink server not answering",
                                  "No secure connection to the DoroLink server " + server +
                                      " within " + std::to_string(kSecureTimeout.count()) +
                                      " seconds");
    } else if (!error || serverFarewell_ ||
               (error->domain == kTcpSocketErrorDomain &&
                error->code == static_cast<long>(TcpSocketErrorCode::Closed))) {
        showNotificationWithTitle("DoroLink server disconnected",
                                  "The DoroLink server " + server + " closed the connection" +
                                      (serverFarewell_ ? ": " + *serverFarewell_ : ""));
    } else {
        showNotificationWithTitle(
            "DoroLink server disconnected",
            "The connection to the DoroLink server " + server + " failed: " + error->description);
    }
}

void WanServer::showNotificationWithTitle(const std::string& title, const std::string& text) const {
    if (options_.userNotice) {
        options_.userNotice(title, text);
    }
}

void WanServer::startPingTimer() {
    stopPingTimer();
    pingTimer_ = DispatchSource::makeTimer(DispatchQueue::main());
    std::weak_ptr<WanServer> weak = weak_from_this();
    pingTimer_->setEventHandler([weak] {
        if (auto self = weak.lock()) {
            self->pingTimerFired();
        }
    });
    pingTimer_->setTimer({}, kPingInterval, kPingLeeway);
    pingTimer_->resume();
}

void WanServer::stopPingTimer() {
    if (pingTimer_) {
        pingTimer_->cancel();
        pingTimer_.reset();
    }
}

void WanServer::pingTimerFired() {
    sendCommand("ping from client", false);
    if (connected()) {
        // The light flashes only if the link is still up when its turn comes.
        std::weak_ptr<WanServer> weak = weak_from_this();
        DispatchQueue::main()->async([weak] {
            if (auto self = weak.lock(); self && self->connected()) {
                self->tellDelegate([](WanServerDelegate& d) { d.displaySmartServerStatus(true); });
            }
        });
    }
}

void WanServer::socketDidAcceptNewSocket(const TcpSocketPtr& sock, const TcpSocketPtr& /*new*/) {
    log("WanServer:didAcceptNewSocket:{}", address(sock));
}

void WanServer::socketDidWritePartialDataOfLength(const TcpSocketPtr& sock, std::size_t /*len*/,
                                                  long /*tag*/) {
    log("WanServer:didWritePartialDataOfLength:{}", address(sock));
}

void WanServer::socketDidReadPartialDataOfLength(const TcpSocketPtr& sock, std::size_t /*len*/,
                                                 long /*tag*/) {
    log("WanServer:didReadPartialDataOfLength:{}", address(sock));
}

void WanServer::socketDidCloseReadStream(const TcpSocketPtr& sock) {
    log("WanServer:socketDidCloseReadStream:{}", address(sock));
}

}  // namespace vm
