#pragma once
// The entries of a UdpSocket's send queue: a datagram to send, or a connect request. Both live on
// the socket's queue; a name lookup fills them in from there too.
#include "net/SocketAddress.h"
#include "platform/core/Bytes.h"
#include "platform/core/Error.h"

#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace vm {

struct UdpSendPacket {
    UdpSendPacket(Bytes data, double sendTimeout, long sendTag)
        : buffer(std::move(data)), timeout(sendTimeout), tag(sendTag) {}

    Bytes buffer;
    double timeout;  // seconds to wait for the socket to take the datagram; negative: no limit
    long tag;
    bool resolveInProgress = false;
    bool filterInProgress = false;
    std::vector<SocketAddress> resolvedAddresses;
    std::optional<Error> resolveError;
    SocketAddress address;  // the destination chosen
    int addressFamily = 0;  // AF_INET or AF_INET6 of `address`
};

// A connect request waiting its turn behind the datagrams queued before it.
struct UdpSpecialPacket {
    bool resolveInProgress = false;
    std::vector<SocketAddress> addresses;
    std::optional<Error> error;
};

using UdpQueuedPacket =
    std::variant<std::shared_ptr<UdpSendPacket>, std::shared_ptr<UdpSpecialPacket>>;

}  // namespace vm
