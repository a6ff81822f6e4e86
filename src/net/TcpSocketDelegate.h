#pragma once
// What a TCP socket reports to its owner. Every method is optional; each is called on the
// delegate queue the owner chose, never on the socket's own queue (unless the owner made them
// the same). The socket argument is null only for the disconnect reported while the socket is
// being destroyed.
#include "net/SocketAddress.h"
#include "net/TlsTrust.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Error.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vm {

class TcpSocket;
using TcpSocketPtr = std::shared_ptr<TcpSocket>;

class TcpSocketDelegate {
public:
    virtual ~TcpSocketDelegate() = default;

    // Listening: the queue the accepted connection's socket should use (null: a new one).
    virtual DispatchQueuePtr newSocketQueueForConnectionFromAddress(
        const SocketAddress& /*address*/, const TcpSocketPtr& /*sock*/) {
        return nullptr;
    }
    virtual void socketDidAcceptNewSocket(const TcpSocketPtr& /*sock*/,
                                          const TcpSocketPtr& /*newSocket*/) {}

    virtual void socketDidConnectToHost(const TcpSocketPtr& /*sock*/, const std::string& /*host*/,
                                        std::uint16_t /*port*/) {}
    virtual void socketDidConnectToUrl(const TcpSocketPtr& /*sock*/, const std::string& /*url*/) {}

    // `data` stays valid until the method returns; copy what must be kept.
    virtual void socketDidReadData(const TcpSocketPtr& /*sock*/, std::string_view /*data*/,
                                   long /*tag*/) {}
    virtual void socketDidReadPartialDataOfLength(const TcpSocketPtr& /*sock*/,
                                                  std::size_t /*partialLength*/, long /*tag*/) {}
    virtual void socketDidWriteDataWithTag(const TcpSocketPtr& /*sock*/, long /*tag*/) {}
    virtual void socketDidWritePartialDataOfLength(const TcpSocketPtr& /*sock*/,
                                                   std::size_t /*partialLength*/, long /*tag*/) {}

    // A read or write timed out: answer the seconds to extend it by, 0 or less to end it (the
    // socket then closes). `elapsed` is the time allowed so far, extensions included.
    virtual double socketShouldTimeoutReadWithTag(const TcpSocketPtr& /*sock*/, long /*tag*/,
                                                  double /*elapsed*/, std::size_t /*bytesDone*/) {
        return 0;
    }
    virtual double socketShouldTimeoutWriteWithTag(const TcpSocketPtr& /*sock*/, long /*tag*/,
                                                   double /*elapsed*/, std::size_t /*bytesDone*/) {
        return 0;
    }

    // The TLS handshake completed: reads and writes now pass through TLS.
    virtual void socketDidSecure(const TcpSocketPtr& /*sock*/) {}
    // Manual trust evaluation: decide whether to trust the peer that sent `trust`, and call
    // `completionHandler` with the answer (now or later, from any thread). Answer false at once
    // when this delegate does not evaluate trust, as the default does: the socket then closes.
    virtual bool socketDidReceiveTrust(const TcpSocketPtr& /*sock*/, const TlsTrust& /*trust*/,
                                       TlsTrustCompletionHandler /*completionHandler*/) {
        return false;
    }

    // The peer ended its stream and the socket stays open for writing (half-duplex).
    virtual void socketDidCloseReadStream(const TcpSocketPtr& /*sock*/) {}
    // Once per started session; no error for an orderly close.
    virtual void socketDidDisconnect(const TcpSocketPtr& /*sock*/,
                                     const std::optional<Error>& /*error*/) {}
};

}  // namespace vm
