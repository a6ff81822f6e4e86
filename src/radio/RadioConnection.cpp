// The command connection: connecting, securing a remote radio's connection, reading one line at a
// time, and the disconnect.
#include "net/SocketAddress.h"
#include "net/TcpSocketError.h"
#include "net/TlsSettings.h"
#include "platform/core/Log.h"
#include "radio/Radio.h"
#include "util/Utf16.h"

namespace vm {

bool Radio::startConnecting(const std::string& ip, std::uint16_t port) {
    auto sock = TcpSocket::create(weak_from_this(), radioRunQueue());
    sock->setIPv4PreferredOverIPv6(true);
    sock->setIPv6Enabled(false);
    {
        std::lock_guard lock(socketMutex_);
        radioSocket_ = sock;
    }
    Error error;
    if (!sock->connectToHost(ip, port, kConnectTimeout, &error)) {
        log("Radio:Error connecting to [{}] ip:[{}] port:[{}] error:[{}]", radioNameForLog(), ip,
            port, error.description);
        std::lock_guard lock(socketMutex_);
        radioSocket_.reset();
        return false;
    }
    return true;
}

void Radio::queueLineRead(const TcpSocketPtr& sock) {
    sock->readDataToData(sockaddr::LFData(), -1, kMaxLineLength, 0);
}

void Radio::socketDidConnectToHost(const TcpSocketPtr& sock, const std::string& host,
                                   std::uint16_t port) {
    if (!isSessionSocket(sock)) {
        return;
    }
    const auto instance = radioInstance();
    const bool wan = instance && instance->wanRadio.value_or(false);
    log("Radio:didConnectToHost:wan:[{}] ip:[{}] port:[{}]", wan ? 1 : 0, host, port);
    if (wan) {
        // A radio reached over the internet: nothing is said before the handshake ends.
        log("Radio:didConnectToHost:secure socket...");
        sock->startTLS({{kTcpSocketManuallyEvaluateTrust, true}});
        return;
    }
    startSession(sock);
}

// The radio's certificate is its own, signed by no authority that could be checked: it is
// accepted as it is.
bool Radio::socketDidReceiveTrust(const TcpSocketPtr& sock, const TlsTrust& /*trust*/,
                                  TlsTrustCompletionHandler completionHandler) {
    if (!isSessionSocket(sock)) {
        return false;
    }
    log("Radio:didReceiveTrust");
    completionHandler(true);
    return true;
}

// The remote session validates its handle before anything else goes out.
void Radio::socketDidSecure(const TcpSocketPtr& sock) {
    if (!isSessionSocket(sock)) {
        return;
    }
    log("Radio:socketDidSecure:{}", static_cast<const void*>(sock.get()));
    const auto instance = radioInstance();
    cmdWanValidateByHandle(instance ? instance->wanHandle : Text{});
    startSession(sock);
}

void Radio::startSession(const TcpSocketPtr& sock) {
    connectionState_.store(kStateConnected);
    initializeRadio();
    queueLineRead(sock);
    tellDelegate();
}

std::string Radio::lineFromData(std::string_view data) {
    if (!utf16::isValidUtf8(data)) {
        return {};
    }
    const std::size_t start = data.find_first_not_of('\0');
    if (start == std::string_view::npos) {
        return {};
    }
    data.remove_prefix(start);
    return std::string(data.substr(0, data.find('\n')));
}

void Radio::socketDidReadData(const TcpSocketPtr& sock, std::string_view data, long /*tag*/) {
    if (!isSessionSocket(sock)) {
        return;
    }
    const std::string line = lineFromData(data);
    if (debugLogLevel() >= 2 && !line.ends_with("|0|")) {
        log("Radio:<-{}", line);
    }
    parseRadioStream(line);
    queueLineRead(sock);
}

void Radio::socketDidDisconnect(const TcpSocketPtr& sock, const std::optional<Error>& error) {
    if (!isSessionSocket(sock)) {
        return;
    }
    std::uint32_t state = kStateDisconnected;
    if (error) {
        log("Radio:socketDidDisconnect:err.code:{}, domain:{}, description:{}", error->code,
            error->domain, error->description);
        const bool closedByPeer = error->domain == kTcpSocketErrorDomain &&
                                  error->code == static_cast<long>(TcpSocketErrorCode::Closed);
        state = closedByPeer ? kStateDisconnectedByPeer : kStateConnectFailed;
    }
    setConnectionState(state);
}

void Radio::socketDidAcceptNewSocket(const TcpSocketPtr& /*sock*/, const TcpSocketPtr& newSocket) {
    log("Radio::didAcceptNewSocket:{}", static_cast<const void*>(newSocket.get()));
}

}  // namespace vm
