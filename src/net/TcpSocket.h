#pragma once
// An asynchronous TCP client socket, which can also listen and accept connections, on IPv4, IPv6
// or a Unix-domain socket file.
//
// All state lives on one private serial socket queue. Operations that answer (queries, connects,
// disconnect) run synchronously on it, inline when the caller already runs there; operations that
// request work (reads, writes, delayed disconnects) are posted to it and take effect in call order.
// Results go to the delegate, held weakly, by tasks posted on the delegate queue.
//
// Reads and writes each form a queue served one request at a time; every request completes with
// exactly one delegate call carrying its tag, unless the socket closes first.
//
// A connected socket can be upgraded to TLS between two reads and writes (startTLS); from then
// on every byte passes through its TLS engine.
#include "net/SocketAddress.h"
#include "net/TcpReadPacket.h"
#include "net/TcpSocketDelegate.h"
#include "net/TcpSocketPreBuffer.h"
#include "net/TcpWritePacket.h"
#include "net/TlsSettings.h"
#include "net/TlsStatus.h"
#include "platform/core/Bytes.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/DispatchSource.h"
#include "platform/core/Error.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vm {

class TlsEngine;

class TcpSocket : public std::enable_shared_from_this<TcpSocket> {
public:
    // `socketQueue` must be serial; null (or a concurrent queue) gives the socket its own queue.
    static TcpSocketPtr create(std::weak_ptr<TcpSocketDelegate> delegate = {},
                               DispatchQueuePtr delegateQueue = nullptr,
                               DispatchQueuePtr socketQueue = nullptr);
    // A socket that owns `fd`, a descriptor already connected over IPv4 or IPv6; it reports the
    // connect as if it had made it. Null with the error otherwise (`fd` is then left open).
    static TcpSocketPtr socketFromConnectedSocketFD(int fd,
                                                    std::weak_ptr<TcpSocketDelegate> delegate,
                                                    DispatchQueuePtr delegateQueue,
                                                    DispatchQueuePtr socketQueue,
                                                    Error* error = nullptr);
    ~TcpSocket();
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Delegate and queues ---------------------------------------------------------------------
    std::shared_ptr<TcpSocketDelegate> delegate() const;
    DispatchQueuePtr delegateQueue() const;
    void getDelegate(std::shared_ptr<TcpSocketDelegate>* delegate, DispatchQueuePtr* queue) const;
    void setDelegate(std::weak_ptr<TcpSocketDelegate> delegate);
    void setDelegateQueue(DispatchQueuePtr queue);
    void setDelegate(std::weak_ptr<TcpSocketDelegate> delegate, DispatchQueuePtr queue);
    void synchronouslySetDelegate(std::weak_ptr<TcpSocketDelegate> delegate);
    void synchronouslySetDelegateQueue(DispatchQueuePtr queue);
    void synchronouslySetDelegate(std::weak_ptr<TcpSocketDelegate> delegate,
                                  DispatchQueuePtr queue);

    // Configuration (kept across connections) -------------------------------------------------
    bool isIPv4Enabled() const;
    void setIPv4Enabled(bool enabled);
    bool isIPv6Enabled() const;
    void setIPv6Enabled(bool enabled);
    bool isIPv4PreferredOverIPv6() const;
    void setIPv4PreferredOverIPv6(bool preferred);
    // Seconds before the second address family of a host is tried; 0.3 at creation.
    double alternateAddressDelay() const;
    void setAlternateAddressDelay(double seconds);
    std::shared_ptr<void> userData() const;
    void setUserData(std::shared_ptr<void> data);

    // Connecting: true when the attempt has started (the outcome comes as a delegate call),
    // false with the error when the request is refused. A negative time-out means none.
    bool connectToHost(const std::string& host, std::uint16_t port, Error* error = nullptr);
    bool connectToHost(const std::string& host, std::uint16_t port, double timeout,
                       Error* error = nullptr);
    // `viaInterface`: a name ("lo"), an address, "localhost" or "loopback", optionally ":port";
    // empty for any.
    bool connectToHost(const std::string& host, std::uint16_t port, const std::string& viaInterface,
                       double timeout, Error* error = nullptr);
    bool connectToAddress(const SocketAddress& address, Error* error = nullptr);
    bool connectToAddress(const SocketAddress& address, double timeout, Error* error = nullptr);
    bool connectToAddress(const SocketAddress& address, const std::string& viaInterface,
                          double timeout, Error* error = nullptr);
    // The addresses of a service found on the network, tried in order with connectToAddress:
    // true at the first one accepted; false with the last refusal (an empty list is refused as
    // an address that is not valid).
    bool connectToNetService(const std::vector<SocketAddress>& serviceAddresses,
                             Error* error = nullptr);
    // A Unix-domain stream socket at a file URL ("file:///run/x.sock").
    bool connectToUrl(const std::string& url, double timeout, Error* error = nullptr);

    // Disconnecting ---------------------------------------------------------------------------
    void disconnect();
    // Close once the reads (writes, both) already requested are done; later requests are dropped.
    void disconnectAfterReading();
    void disconnectAfterWriting();
    void disconnectAfterReadingAndWriting();
    bool isDisconnected() const;
    bool isConnected() const;

    // Reads -----------------------------------------------------------------------------------
    // With a caller's `buffer`, the bytes are put at `offset` in it; otherwise the socket makes
    // the buffer. `maxLength` 0 means no bound.
    void readDataWithTimeout(double timeout, long tag);
    void readDataWithTimeout(double timeout, std::shared_ptr<Bytes> buffer, std::size_t offset,
                             long tag);
    void readDataWithTimeout(double timeout, std::shared_ptr<Bytes> buffer, std::size_t offset,
                             std::size_t maxLength, long tag);
    void readDataToLength(std::size_t length, double timeout, long tag);
    void readDataToLength(std::size_t length, double timeout, std::shared_ptr<Bytes> buffer,
                          std::size_t offset, long tag);
    // Everything up to and including `terminator`. Without a maximum length the read is still
    // bounded by kTerminatorReadLimit, so a peer that never sends the terminator cannot make the
    // buffer grow without end.
    void readDataToData(Bytes terminator, double timeout, long tag);
    void readDataToData(Bytes terminator, double timeout, std::shared_ptr<Bytes> buffer,
                        std::size_t offset, long tag);
    void readDataToData(Bytes terminator, double timeout, std::size_t maxLength, long tag);
    void readDataToData(Bytes terminator, double timeout, std::shared_ptr<Bytes> buffer,
                        std::size_t offset, std::size_t maxLength, long tag);
    static constexpr std::size_t kTerminatorReadLimit = 1024 * 1024;
    // What one read step asks the TLS engine for, unless more is waiting.
    static constexpr std::size_t kTlsReadLength = 32768;

    // Writes ----------------------------------------------------------------------------------
    void writeData(Bytes data, double timeout, long tag);

    // TLS -------------------------------------------------------------------------------------
    // Upgrades the connection to TLS once every read and write requested before is done; the
    // delegate hears socketDidSecure, or socketDidDisconnect with the reason. The handshake must
    // end within the connection's own time-out (the one given to connect), or within
    // kTlsHandshakeTimeout when it has none; otherwise the socket closes with code 3. A client
    // verifies the server against the system's trust store (and its certificate against
    // kCFStreamSSLPeerName when given) unless kTcpSocketManuallyEvaluateTrust hands that to the
    // delegate. Ignored when the socket is not started, is closing, or has already asked once.
    void startTLS(TlsSettings settings = {});
    bool isSecure() const;
    static constexpr double kTlsHandshakeTimeout = 30.0;
    // The TLS engine, on the socket queue only (null elsewhere and before the upgrade).
    TlsEngine* sslContext() const;

    // Progress of the current read or write: its tag, bytes done and total (0 when not known);
    // the fraction done, NaN when there is none. Any out may be null.
    float progressOfReadReturningTag(long* tag, std::size_t* done, std::size_t* total) const;
    float progressOfWriteReturningTag(long* tag, std::size_t* done, std::size_t* total) const;

    // Half-duplex: false keeps the socket open for writing after the peer ended its stream.
    bool autoDisconnectOnClosedReadStream() const;
    void setAutoDisconnectOnClosedReadStream(bool flag);

    // Listening -------------------------------------------------------------------------------
    bool acceptOnPort(std::uint16_t port, Error* error = nullptr);
    bool acceptOnInterface(const std::string& interface, std::uint16_t port,
                           Error* error = nullptr);
    // A Unix-domain socket file; a stale socket file at the path is replaced, and the file is
    // removed when the socket closes.
    bool acceptOnUrl(const std::string& url, Error* error = nullptr);

    // The IPv4 and IPv6 addresses (with `port`) of an interface description; either is left
    // empty when the interface has none. A ":port" suffix sets the port when `port` is 0. A text
    // with several colons is an IPv6 address and carries no port.
    static void getInterfaceAddress4(SocketAddress* address4, SocketAddress* address6,
                                     const std::string& description, std::uint16_t port);
    // The Unix-domain address of a file URL; empty for an empty path or one too long to fit.
    static SocketAddress getInterfaceAddressFromUrl(const std::string& url);

    // Addresses and state ---------------------------------------------------------------------
    std::optional<std::string> connectedHost() const;
    std::uint16_t connectedPort() const;
    std::optional<std::string> connectedUrl() const;
    std::optional<std::string> localHost() const;
    std::uint16_t localPort() const;
    SocketAddress connectedAddress() const;
    SocketAddress localAddress() const;
    bool isIPv4() const;
    bool isIPv6() const;
    // Which TLS path the socket takes. It always runs its own TLS engine (TlsEngine) over the
    // bytes it reads and writes, never TLS inside a system stream: false, and true.
    static constexpr bool usingCFStreamForTLS() { return false; }
    static constexpr bool usingSecureTransportForTLS() { return true; }

    // These answer only on the socket queue (or a marked target queue): elsewhere they give
    // nil, 0 or -1.
    std::optional<std::string> connectedHost4() const;
    std::optional<std::string> connectedHost6() const;
    std::uint16_t connectedPort4() const;
    std::uint16_t connectedPort6() const;
    std::optional<std::string> localHost4() const;
    std::optional<std::string> localHost6() const;
    std::uint16_t localPort4() const;
    std::uint16_t localPort6() const;
    int socketFD() const;
    int socket4FD() const;
    int socket6FD() const;

    // For an owner whose queue the socket queue targets: marks that queue so the socket's
    // descriptor accessors answer from it.
    void markSocketQueueTargetQueue(const DispatchQueuePtr& queue);
    void unmarkSocketQueueTargetQueue(const DispatchQueuePtr& queue);
    // Runs `block` on the socket queue, inline when already there, and waits for it.
    void performBlock(const std::function<void()>& block);

private:
    TcpSocket(std::weak_ptr<TcpSocketDelegate> delegate, DispatchQueuePtr delegateQueue,
              DispatchQueuePtr socketQueue);

    bool onSocketQueue() const;
    // Inline when on the socket queue, otherwise posted.
    void runOrPost(std::function<void()> task);
    template <class F>
    auto onQueue(F&& f) const {
        return socketQueue_->syncResult(std::forward<F>(f));
    }
    template <class F>
    void notifyDelegate(F&& call);

    // Checks that open a connect or listen request, in the order each request makes them
    // (`verb`: "connect" or "accept").
    bool delegateChecks(const char* verb, Error* error) const;
    bool notStartedCheck(const char* verb, Error* error) const;
    bool familiesCheck(Error* error) const;
    bool interfaceChecks(const SocketAddress& address4, const SocketAddress& address6,
                         Error* error) const;
    void setConfigFlag(std::uint16_t flag, bool set);
    // A one-shot timer on the socket queue that calls `onFire` after `seconds`.
    DispatchSourcePtr startTimer(double seconds, void (TcpSocket::*onFire)());

    // Connecting (TcpSocketConnect.cpp)
    bool preConnectChecks(const std::string& interface, Error* error);
    bool preConnectChecksForUrl(const std::string& url, Error* error);
    void lookupDidFail(int aStateIndex, const Error& error);
    void lookupDidSucceed(int aStateIndex, SocketAddress address4, SocketAddress address6);
    bool connectWithAddresses(SocketAddress address4, SocketAddress address6, Error* error);
    int createConnectSocket(int family, const SocketAddress& interfaceAddress, Error* error);
    void connectSocket(int fd, SocketAddress address, int aStateIndex);
    void didConnect(int aStateIndex);
    void didNotConnect(int aStateIndex, const Error& error);
    void startConnectTimeout(double timeout);
    void doConnectTimeout();
    void endConnectTimeout();
    void closeSocket(int fd);
    void closeUnusedSocket(int usedFD);
    void setupReadAndWriteSources(int fd);
    void closeWithError(std::optional<Error> error);
    void maybeClose();
    int connectedFD() const;

    // Reads and writes (TcpSocketRead.cpp, TcpSocketWrite.cpp)
    void queueRead(std::shared_ptr<TcpReadPacket> packet);
    void maybeDequeueRead();
    void doReadData();
    std::size_t readFromSocket(char* target, std::size_t length, bool* waiting, bool* endOfStream,
                               std::optional<Error>* error);
    void doReadEOF();
    void completeCurrentRead();
    void endCurrentRead();
    void setupReadTimer(double timeout);
    void doReadTimeout();
    void doReadTimeoutWithExtension(const std::shared_ptr<TcpReadPacket>& packet, double extension);
    void suspendReadSource();
    void resumeReadSource();
    void maybeDequeueWrite();
    void doWriteData();
    std::size_t writeToSocket(const char* bytes, std::size_t length, bool* waiting,
                              std::optional<Error>* error);
    void completeCurrentWrite();
    void endCurrentWrite();
    void setupWriteTimer(double timeout);
    void doWriteTimeout();
    void doWriteTimeoutWithExtension(const std::shared_ptr<TcpWritePacket>& packet,
                                     double extension);
    void suspendWriteSource();
    void resumeWriteSource();

    // TLS (TcpSocketTls.cpp)
    void maybeStartTLS();
    void doTlsHandshakeTimeout();
    void endTlsHandshakeTimeout();
    void continueSSLHandshake();
    void askDelegateToTrust(std::shared_ptr<TlsTrust> trust);
    void applyTrustAnswer(int aStateIndex, bool shouldTrustPeer);
    void trustNotEvaluated(int aStateIndex);
    std::size_t readFromTls(char* target, std::size_t length, bool* waiting, bool* endOfStream,
                            std::optional<Error>* error);
    std::size_t writeToTls(const char* bytes, std::size_t length, bool* waiting,
                           std::optional<Error>* error);
    void flushSSLBuffers();
    std::size_t tlsBytesAvailable() const;
    // The engine's I/O: the connection registered with it is the socket.
    static TlsStatus sslReadFunction(void* connection, char* data, std::size_t* length);
    static TlsStatus sslWriteFunction(void* connection, const char* data, std::size_t* length);
    TlsStatus sslReadWithBuffer(char* buffer, std::size_t* length);
    TlsStatus sslWriteWithBuffer(const char* buffer, std::size_t* length);
    Error tlsErrorFromEngine(TlsStatus status) const;

    // Listening (TcpSocketAccept.cpp)
    DispatchSourcePtr makeAcceptSource(int fd);
    // Marks the socket started once every listening descriptor has its accept source.
    bool startListening(Error* error);
    bool doAccept(int parentFD);
    void adoptAcceptedDescriptor(int fd, int family);

    // State bits of flags_.
    enum : std::uint32_t {
        kStarted = 1u << 0,
        kConnected = 1u << 1,
        kRefuseNewReadsWrites = 1u << 2,
        kReadsPaused = 1u << 3,
        kWritesPaused = 1u << 4,
        kCloseAfterReads = 1u << 5,
        kCloseAfterWrites = 1u << 6,
        kCanAcceptBytes = 1u << 7,
        kReadSourceSuspended = 1u << 8,
        kWriteSourceSuspended = 1u << 9,
        kTlsQueued = 1u << 10,
        kReadSideWaitingForTLS = 1u << 11,
        kWriteSideWaitingForTLS = 1u << 12,
        kSecure = 1u << 13,
        kReadEOF = 1u << 14,
        kReadStreamClosed = 1u << 15,
    };
    // Bits of config_.
    enum : std::uint16_t {
        kIPv4Disabled = 1u << 0,
        kIPv6Disabled = 1u << 1,
        kPreferIPv6 = 1u << 2,
        kAllowHalfDuplex = 1u << 3,
    };

    std::uint32_t flags_ = 0;
    std::uint16_t config_ = 0;
    std::weak_ptr<TcpSocketDelegate> delegate_;
    DispatchQueuePtr delegateQueue_;
    int socket4FD_ = -1;
    int socket6FD_ = -1;
    int socketUN_ = -1;
    std::string socketUrl_;  // file URL of the socket file while listening on one
    int stateIndex_ = 0;
    SocketAddress connectInterface4_;
    SocketAddress connectInterface6_;
    SocketAddress connectInterfaceUN_;
    const DispatchQueuePtr socketQueue_;
    DispatchSourcePtr accept4Source_;
    DispatchSourcePtr accept6Source_;
    DispatchSourcePtr acceptUNSource_;
    DispatchSourcePtr connectTimer_;
    double connectTimeout_ = -1;  // of the last connect; also bounds a TLS handshake
    DispatchSourcePtr handshakeTimer_;
    DispatchSourcePtr readSource_;
    DispatchSourcePtr writeSource_;
    DispatchSourcePtr readTimer_;
    DispatchSourcePtr writeTimer_;
    std::deque<std::shared_ptr<TcpReadPacket>> readQueue_;
    std::deque<std::shared_ptr<TcpWritePacket>> writeQueue_;
    std::shared_ptr<TcpReadPacket> currentRead_;
    std::shared_ptr<TcpWritePacket> currentWrite_;
    std::size_t socketFDBytesAvailable_ = 0;
    TcpSocketPreBuffer preBuffer_{4096};
    std::unique_ptr<TlsEngine> sslContext_;
    std::unique_ptr<TcpSocketPreBuffer> sslPreBuffer_;  // ciphertext read ahead of the engine
    std::size_t sslWriteCachedLength_ = 0;  // plaintext the engine took but has not sent yet
    TlsStatus sslErrCode_ = tlsSuccess;     // what ended the TLS read stream
    TlsStatus lastSSLHandshakeError_ = tlsSuccess;
    const char isOnSocketQueueOrTargetQueueKey_ = 0;  // its address is the queue-specific key
    std::shared_ptr<void> userData_;
    double alternateAddressDelay_ = 0.3;
};

template <class F>
void TcpSocket::notifyDelegate(F&& call) {
    if (!delegateQueue_ || delegate_.expired()) {
        return;
    }
    TcpSocketPtr self = weak_from_this().lock();  // null while the socket is being destroyed
    delegateQueue_->async(
        [weakDelegate = delegate_, self = std::move(self), call = std::forward<F>(call)]() mutable {
            if (auto delegate = weakDelegate.lock()) {
                call(*delegate, self);
            }
        });
}

}  // namespace vm
