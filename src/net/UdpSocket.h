#pragma once
// An asynchronous UDP endpoint: up to two datagram sockets (IPv4 and IPv6) driven by dispatch
// sources on one private serial socket queue, reporting to a delegate on the delegate queue.
//
// All state lives on the socket queue. Operations that answer run there synchronously (inline
// when the caller already runs on it); operations that request work are posted in call order.
// Datagrams are sent through a queue (with name lookup on a global queue, an optional filter and
// an optional time-out while the kernel cannot take them) and received once or continuously.
#include "net/SocketAddress.h"
#include "net/UdpAddressChoice.h"
#include "net/UdpSendPacket.h"
#include "net/UdpSocketDelegate.h"
#include "net/UdpSocketError.h"
#include "platform/core/Bytes.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/DispatchSource.h"
#include "platform/core/Error.h"

#include <any>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vm {

class UdpSocket : public std::enable_shared_from_this<UdpSocket> {
public:
    // Decides on the filter queue whether a received datagram is delivered; it may store a
    // context that travels with the delivery.
    using ReceiveFilter =
        std::function<bool(const Bytes& data, const SocketAddress& address, std::any* context)>;
    // Decides on the filter queue whether a datagram is sent; one not sent is reported as sent.
    using SendFilter =
        std::function<bool(const Bytes& data, const SocketAddress& address, long tag)>;

    // Without a socket queue the socket makes its own, labelled "UdpSocket".
    static std::shared_ptr<UdpSocket> create(std::weak_ptr<UdpSocketDelegate> delegate = {},
                                             DispatchQueuePtr delegateQueue = nullptr,
                                             DispatchQueuePtr socketQueue = nullptr);
    // Closes the sockets (no close notification: the socket is going away).
    ~UdpSocket();
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    // Delegate and delegate queue.
    std::shared_ptr<UdpSocketDelegate> delegate();
    DispatchQueuePtr delegateQueue();
    void getDelegate(std::shared_ptr<UdpSocketDelegate>* delegate, DispatchQueuePtr* delegateQueue);
    void setDelegate(std::weak_ptr<UdpSocketDelegate> delegate);
    void setDelegateQueue(DispatchQueuePtr delegateQueue);
    void setDelegate(std::weak_ptr<UdpSocketDelegate> delegate, DispatchQueuePtr delegateQueue);
    void synchronouslySetDelegate(std::weak_ptr<UdpSocketDelegate> delegate);
    void synchronouslySetDelegateQueue(DispatchQueuePtr delegateQueue);
    void synchronouslySetDelegate(std::weak_ptr<UdpSocketDelegate> delegate,
                                  DispatchQueuePtr delegateQueue);

    // Configuration: applies to sockets created afterwards.
    bool isIPv4Enabled();
    bool isIPv6Enabled();
    bool isIPv4Preferred();
    bool isIPv6Preferred();
    bool isIPVersionNeutral();
    void setIPv4Enabled(bool enabled);
    void setIPv6Enabled(bool enabled);
    void setPreferIPv4();
    void setPreferIPv6();
    void setIPVersionNeutral();
    std::uint16_t maxReceiveIPv4BufferSize();
    std::uint32_t maxReceiveIPv6BufferSize();
    std::uint16_t maxSendBufferSize();
    void setMaxReceiveIPv4BufferSize(std::uint16_t size);
    void setMaxReceiveIPv6BufferSize(std::uint32_t size);
    void setMaxSendBufferSize(std::uint16_t size);
    std::any userData();
    void setUserData(std::any userData);

    // Binding. `interface`: none for any address, "localhost"/"loopback", a name or an address.
    bool bindToPort(std::uint16_t port, Error* error = nullptr);
    bool bindToPort(std::uint16_t port, const std::optional<std::string>& interface,
                    Error* error = nullptr);
    bool bindToAddress(const SocketAddress& address, Error* error = nullptr);

    // Socket options (they create the sockets when needed).
    bool enableBroadcast(bool flag, Error* error = nullptr);
    bool enableReusePort(bool flag, Error* error = nullptr);

    // Multicast membership and the interface multicast is sent on.
    bool joinMulticastGroup(const std::string& group, Error* error = nullptr);
    bool joinMulticastGroup(const std::string& group, const std::optional<std::string>& interface,
                            Error* error = nullptr);
    bool leaveMulticastGroup(const std::string& group, Error* error = nullptr);
    bool leaveMulticastGroup(const std::string& group, const std::optional<std::string>& interface,
                             Error* error = nullptr);
    bool sendIPv4MulticastOnInterface(const std::string& interface, Error* error = nullptr);
    bool sendIPv6MulticastOnInterface(const std::string& interface, Error* error = nullptr);

    // Connecting (through the send queue). The answer says whether the request was queued.
    bool connectToHost(const std::string& host, std::uint16_t port, Error* error = nullptr);
    bool connectToAddress(const SocketAddress& address, Error* error = nullptr);

    // Sending. Empty data is ignored. A negative time-out waits for the kernel without limit.
    void sendData(Bytes data, double timeout, long tag);  // to the connected peer
    void sendData(Bytes data, long tag);
    void sendData(Bytes data, const std::string& host, std::uint16_t port, double timeout,
                  long tag);
    void sendData(Bytes data, const SocketAddress& address, double timeout, long tag);
    void setSendFilter(SendFilter filter, DispatchQueuePtr filterQueue, bool isAsynchronous = true);

    // Receiving.
    bool receiveOnce(Error* error = nullptr);
    bool beginReceiving(Error* error = nullptr);
    void pauseReceiving();
    void setReceiveFilter(ReceiveFilter filter, DispatchQueuePtr filterQueue,
                          bool isAsynchronous = true);

    // Closing.
    void close();
    void closeAfterSending();

    // State and addresses (empty address or host, port 0 when there is none).
    bool isConnected();
    bool isClosed();
    bool isIPv4();
    bool isIPv6();
    SocketAddress localAddress();
    std::string localHost();
    std::uint16_t localPort();
    SocketAddress localAddress_IPv4();
    std::string localHost_IPv4();
    std::uint16_t localPort_IPv4();
    SocketAddress localAddress_IPv6();
    std::string localHost_IPv6();
    std::uint16_t localPort_IPv6();
    SocketAddress connectedAddress();
    std::string connectedHost();
    std::uint16_t connectedPort();

    // Runs `block` on the socket queue, where the descriptors below may be used.
    void performBlock(const std::function<void()>& block);
    // The descriptors; -1 off the socket queue.
    int socketFD();
    int socket4FD();
    int socket6FD();

private:
    // State flags.
    static constexpr std::uint32_t kSocketsCreated = 0x1;
    static constexpr std::uint32_t kBound = 0x2;
    static constexpr std::uint32_t kConnecting = 0x4;
    static constexpr std::uint32_t kConnected = 0x8;
    static constexpr std::uint32_t kReceiveOnce = 0x10;
    static constexpr std::uint32_t kReceiveContinuous = 0x20;
    static constexpr std::uint32_t kIPv4Deactivated = 0x40;  // IPv6: 0x80
    static constexpr std::uint32_t kSend4Suspended = 0x100;  // IPv6: 0x200
    static constexpr std::uint32_t kReceive4Suspended = 0x400;
    static constexpr std::uint32_t kSocket4CanAcceptBytes = 0x1000;
    static constexpr std::uint32_t kCloseAfterSends = 0x8000;
    static constexpr std::uint32_t kReceiveFromIPv4Next = 0x10000;
    // Configuration flags.
    static constexpr std::uint16_t kIPv4Disabled = 0x1;  // IPv6: 0x2
    static constexpr std::uint16_t kPreferIPv4 = 0x4;
    static constexpr std::uint16_t kPreferIPv6 = 0x8;

    // One address family's socket and what belongs to it. Its flag bits are the IPv4 bits above,
    // shifted left by one for IPv6.
    struct Endpoint {
        explicit Endpoint(bool isV6) : v6(isV6) {}
        const bool v6;
        int fd = -1;
        DispatchSourcePtr sendSource;
        DispatchSourcePtr receiveSource;
        std::uint64_t bytesAvailable = 0;  // > 0: a datagram may be waiting
        SocketAddress cachedLocalAddress;
        std::string cachedLocalHost;
        std::uint16_t cachedLocalPort = 0;

        template <class Bits>
        Bits bit(Bits ipv4Bit) const {
            return v6 ? static_cast<Bits>(ipv4Bit << 1) : ipv4Bit;
        }
        int family() const;
        unsigned addressLength() const;
    };

    enum class ReceiveStep { Again, Stop };

    UdpSocket(std::weak_ptr<UdpSocketDelegate> delegate, DispatchQueuePtr delegateQueue,
              DispatchQueuePtr socketQueue);

    // Runs an answering operation on the socket queue.
    template <class F>
    auto onSocketQueue(F&& f) -> decltype(f()) {
        return socketQueue_->syncResult(std::forward<F>(f));
    }
    // Posts a requesting operation to the socket queue; the socket lives until it ran.
    void postToSocketQueue(std::function<void(UdpSocket&)> task);

    bool hasFlag(std::uint32_t flag) const { return (flags_ & flag) != 0; }
    bool hasConfig(std::uint16_t flag) const { return (config_ & flag) != 0; }
    bool familyDisabled(const Endpoint& e) const { return hasConfig(e.bit(kIPv4Disabled)); }
    Endpoint& endpointFor(int family) { return family == AF_INET ? ip4_ : ip6_; }

    // Notifications (socket queue): posted to the delegate queue when both are set.
    void notify(std::function<void(UdpSocketDelegate&, UdpSocket&)> call);
    void notifyDidConnect(const SocketAddress& address);
    void notifyDidNotConnect(const Error& error);
    void notifyDidSend(long tag);
    void notifyDidNotSend(long tag, const Error& error);
    void notifyDidReceive(Bytes data, SocketAddress address, std::any context);
    void notifyDidClose(const std::optional<Error>& error);

    // Sockets, sources, binding, options (UdpSocketSetup.cpp).
    bool preOp(Error* error) const;
    bool preBind(Error* error) const;
    bool anyFamilyEnabled(Error* error) const;
    int createSocket(int family, Error* error) const;
    bool createSockets(bool want4, bool want6, Error* error);
    bool createSockets(Error* error);
    bool ensureSockets(Error* error) { return hasFlag(kSocketsCreated) || createSockets(error); }
    bool setupSources(Endpoint& e, Error* error);
    void onWriteEvent(Endpoint& e);
    void onReadEvent(Endpoint& e);
    void setSourceSuspended(const DispatchSourcePtr& source, std::uint32_t suspendedFlag,
                            bool suspend);
    void suspendSendSource(Endpoint& e);
    void resumeSendSource(Endpoint& e);
    void suspendReceiveSource(Endpoint& e);
    void resumeReceiveSource(Endpoint& e);
    bool bindEndpoint(Endpoint& e, const SocketAddress& address, Error* error);
    bool setOption(int fd, int level, int name, const void* value, unsigned length, Error* error);

    // Multicast (UdpSocketMulticast.cpp).
    bool performMulticastRequest(bool join, const std::string& group,
                                 const std::optional<std::string>& interface, Error* error);

    // Closing and addresses (UdpSocket.cpp).
    void closeWithError(const std::optional<Error>& error);
    void closeSocket(Endpoint& e);
    void closeSockets();
    Endpoint& preferredEndpoint() { return ip4_.fd != -1 ? ip4_ : ip6_; }
    void maybeUpdateCachedLocalAddress(Endpoint& e);
    void maybeUpdateCachedConnectedAddress();
    void cacheConnectedAddress(const SocketAddress& address);
    enum class LocalFamily { Either, IPv4, IPv6 };
    template <class T>
    T localValue(LocalFamily which, T Endpoint::*field);
    template <class T>
    T connectedValue(T UdpSocket::*field);

    // Send queue (UdpSocketSend.cpp).
    void enqueuePacket(UdpQueuedPacket packet);
    void asyncResolveHost(
        const std::string& host, std::uint16_t port,
        std::function<void(UdpSocket&, std::vector<SocketAddress>, std::optional<Error>)> done);
    UdpFamilyRules familyRules() const;
    std::shared_ptr<UdpSendPacket> currentSendPacket() const;
    std::shared_ptr<UdpSpecialPacket> currentSpecialPacket() const;
    void maybeDequeueSend();
    void doPreSend();
    void failCurrentSend(const Error& error);
    void finishCurrentSendAsSent();
    void doSend();
    void setupSendTimer(double timeout);
    void doSendTimeout();
    void endCurrentSend();

    // Connect (UdpSocketConnect.cpp).
    // The checks before a connect, then the sockets (made if needed).
    bool preConnect(bool destinationGiven, const char* missingDestination, Error* error);
    void queueConnect(std::shared_ptr<UdpSpecialPacket> packet);
    void maybeConnect();

    // Receive (UdpSocketReceive.cpp).
    bool startReceiving(std::uint32_t mode, Error* error);
    void doReceive();
    ReceiveStep receiveStep();
    void suspendReceiveSourcesWithBytes();
    bool isFromConnectedPeer(const SocketAddress& address) const;
    ReceiveStep filterAndDeliver(Bytes data, SocketAddress address);

    std::weak_ptr<UdpSocketDelegate> delegate_;
    DispatchQueuePtr delegateQueue_;
    ReceiveFilter receiveFilterBlock_;
    DispatchQueuePtr receiveFilterQueue_;
    bool receiveFilterAsync_ = false;
    SendFilter sendFilterBlock_;
    DispatchQueuePtr sendFilterQueue_;
    bool sendFilterAsync_ = false;
    std::uint32_t flags_ = 0;
    std::uint16_t config_ = 0;
    std::uint16_t max4ReceiveSize_ = 65535;
    std::uint32_t max6ReceiveSize_ = 65535;
    std::uint16_t maxSendSize_ = 65535;
    Endpoint ip4_{false};
    Endpoint ip6_{true};
    DispatchQueuePtr socketQueue_;
    DispatchSourcePtr sendTimer_;
    std::optional<UdpQueuedPacket> currentSend_;
    std::deque<UdpQueuedPacket> sendQueue_;
    bool dequeueing_ = false;
    std::uint32_t pendingFilterOperations_ = 0;
    std::vector<char> receiveBuffer_;  // reused for every datagram; each delivery gets its own copy
    SocketAddress cachedConnectedAddress_;
    std::string cachedConnectedHost_;
    std::uint16_t cachedConnectedPort_ = 0;
    int cachedConnectedFamily_ = 0;
    std::any userData_;
};

}  // namespace vm
