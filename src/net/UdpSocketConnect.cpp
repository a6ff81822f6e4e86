// UdpSocket: connecting to one peer. The request waits in the send queue behind the datagrams
// queued before it.
#include "net/UdpSocket.h"

#include <sys/socket.h>

#include <cerrno>

namespace vm {

bool UdpSocket::preConnect(bool destinationGiven, const char* missingDestination, Error* error) {
    if (!preOp(error)) {
        return false;
    }
    if (hasFlag(kConnecting) || hasFlag(kConnected)) {
        setError(error, udp::badConfigError("Cannot connect a socket more than once."));
        return false;
    }
    if (!anyFamilyEnabled(error)) {
        return false;
    }
    if (!destinationGiven) {
        setError(error, udp::badParamError(missingDestination));
        return false;
    }
    return ensureSockets(error);
}

bool UdpSocket::connectToHost(const std::string& host, std::uint16_t port, Error* error) {
    return onSocketQueue([&] {
        if (!preConnect(!host.empty(),
                        "The host param is nil. Should be domain name or IP address string.",
                        error)) {
            return false;
        }
        auto packet = std::make_shared<UdpSpecialPacket>();
        packet->resolveInProgress = true;
        asyncResolveHost(host, port,
                         [packet](UdpSocket& s, std::vector<SocketAddress> addresses,
                                  std::optional<Error> failure) {
                             packet->resolveInProgress = false;
                             packet->addresses = std::move(addresses);
                             packet->error = std::move(failure);
                             s.maybeConnect();
                         });
        queueConnect(std::move(packet));
        return true;
    });
}

bool UdpSocket::connectToAddress(const SocketAddress& address, Error* error) {
    return onSocketQueue([&] {
        if (!preConnect(!address.empty(), "The address param is nil. Should be a valid address.",
                        error)) {
            return false;
        }
        auto packet = std::make_shared<UdpSpecialPacket>();
        packet->addresses.push_back(address);
        queueConnect(std::move(packet));
        return true;
    });
}

void UdpSocket::queueConnect(std::shared_ptr<UdpSpecialPacket> packet) {
    flags_ |= kConnecting;
    sendQueue_.push_back(std::move(packet));
    maybeDequeueSend();
}

void UdpSocket::maybeConnect() {
    const auto packet = currentSpecialPacket();
    if (!packet || packet->resolveInProgress) {
        return;
    }
    if (packet->error) {
        notifyDidNotConnect(*packet->error);
    } else if (auto choice = chooseUdpAddress(familyRules(), packet->addresses); choice.error) {
        notifyDidNotConnect(*choice.error);
    } else {
        Endpoint& e = endpointFor(choice.family);
        if (::connect(e.fd, reinterpret_cast<const ::sockaddr*>(choice.address.data()),
                      e.addressLength()) != 0) {
            notifyDidNotConnect(posixError(errno, "Error in connect() function"));
        } else {
            Endpoint& other = e.v6 ? ip4_ : ip6_;
            closeSocket(other);
            flags_ |= other.bit(kIPv4Deactivated) | kBound | kConnected;
            cacheConnectedAddress(choice.address);
            notifyDidConnect(choice.address);
        }
    }
    flags_ &= ~kConnecting;
    endCurrentSend();
    maybeDequeueSend();
}

}  // namespace vm
