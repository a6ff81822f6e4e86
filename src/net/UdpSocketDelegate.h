#pragma once
// What a UdpSocket reports to its owner. Every method is optional: the defaults do nothing. Calls
// arrive on the delegate queue given to the socket, never on the socket's own queue.
#include "net/SocketAddress.h"
#include "platform/core/Bytes.h"
#include "platform/core/Error.h"

#include <any>
#include <optional>

namespace vm {

class UdpSocket;

class UdpSocketDelegate {
public:
    virtual ~UdpSocketDelegate() = default;

    // A connect finished; `address` is the peer's.
    virtual void udpSocketDidConnectToAddress(UdpSocket& /*sock*/,
                                              const SocketAddress& /*address*/) {}
    virtual void udpSocketDidNotConnect(UdpSocket& /*sock*/, const Error& /*error*/) {}
    // One of the two for every datagram that reached the head of the send queue.
    virtual void udpSocketDidSendDataWithTag(UdpSocket& /*sock*/, long /*tag*/) {}
    virtual void udpSocketDidNotSendDataWithTag(UdpSocket& /*sock*/, long /*tag*/,
                                                const Error& /*error*/) {}
    // A datagram, its sender, and what the receive filter stored (empty without a filter).
    virtual void udpSocketDidReceiveData(UdpSocket& /*sock*/, const Bytes& /*data*/,
                                         const SocketAddress& /*address*/,
                                         const std::any& /*filterContext*/) {}
    // The sockets closed; no error for an orderly close.
    virtual void udpSocketDidClose(UdpSocket& /*sock*/, const std::optional<Error>& /*error*/) {}
};

}  // namespace vm
