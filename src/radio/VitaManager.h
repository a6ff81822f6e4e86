#pragma once
// The client end of the radio's UDP stream port, one per radio session. It binds the stream
// socket (4991 upward for a radio on the local network, the public port of a DoroLink radio),
// registers with a DoroLink radio and keeps that path open with pings, receives every VITA-49
// datagram and routes it by packet class code and stream id to the object that owns the stream,
// and sends the audio streams' packets to the radio.
//
// Threads: socket reports, routing, meter parsing and the ping timer run on `vitaRunQueue`; the
// registration loop on a low-priority global queue; txStreamPacket() on the caller's (audio)
// thread. Meter values reach their meters on the main queue.
//
// Split by concern: binding and receiving (VitaManager.cpp), routing (VitaManagerRouting.cpp),
// the DoroLink registration, pings and sending (VitaManagerRemote.cpp).
#include "net/UdpSocket.h"
#include "net/UdpSocketDelegate.h"
#include "platform/core/BatchHandOff.h"
#include "platform/core/DispatchClock.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/DispatchSource.h"
#include "radio/MeterValueBatch.h"
#include "radio/VITA.h"
#include "radio/VitaRouteSnapshots.h"
#include "radio/VitaStreamTables.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

namespace vm {

class Radio;

// Packet class codes of the radio's streams.
enum VitaClassCode : std::uint16_t {
    kVitaMeter = 0x8002,
    kVitaPanFft = 0x8003,
    kVitaWaterfall = 0x8004,
    kVitaOpus = 0x8005,
    kVitaDaxAudio = 0x03E3,
    kVitaDaxIq24 = 0x00E3,
    kVitaDaxIq48 = 0x00E4,
    kVitaDaxIq96 = 0x00E5,
    kVitaDaxIq192 = 0x00E6,
    kVitaDiscovery = 0xFFFF,
};

class VitaManager : public UdpSocketDelegate, public std::enable_shared_from_this<VitaManager> {
public:
    static constexpr std::uint16_t kLanStreamPort = 4991;
    static constexpr int kPortAttempts = 80;
    static constexpr int kRegisterAttempts = 100;
    static constexpr std::chrono::milliseconds kRegisterInterval{50};
    static constexpr std::chrono::seconds kPingInterval{5};
    static constexpr std::size_t kMinimumDatagram = 16;
    // Receive buffer of the stream socket: room for the bursts of several panadapters,
    // waterfalls and audio streams (the kernel caps it at net.core.rmem_max).
    static constexpr int kReceiveBufferSize = 4 * 1024 * 1024;

    // A manager with its stream socket, not bound yet. `bindInterface` is the address the socket
    // binds (none: every interface, as the product does; tests bind loopback).
    static std::shared_ptr<VitaManager> create(
        std::optional<std::string> bindInterface = std::nullopt);
    ~VitaManager() override;
    VitaManager(const VitaManager&) = delete;
    VitaManager& operator=(const VitaManager&) = delete;

    // Binds the stream socket for the radio of `radio`'s record and starts receiving. False (the
    // session then runs without streams) when no port among the 80 tried is free or the sending
    // socket cannot be made.
    bool handleRadio(const std::shared_ptr<Radio>& radio);
    // Where the router finds the owners of streams (the session's tables); until set, packets are
    // accepted and dropped.
    void setStreamTables(std::shared_ptr<const VitaStreamTables> tables);

    // DoroLink radios: the registration datagrams once the handle is known, and the pings.
    void registerRemoteUdp(const std::string& handle);
    void startVitaPingTimer();
    void stopVitaPingTimer();
    // One text datagram through the stream socket to host:port.
    void sendUdp(const std::string& text);
    // An encoded packet of an audio stream, sent to the radio once its streams have reached us.
    void txStreamPacket(const Bytes& packet);

    // The receive path of one datagram (the socket's report calls it).
    void receiveDatagram(const Bytes& data);
    static std::string vitaClassCodeToString(std::uint16_t code);

    bool wanRadio() const { return wanRadio_; }
    double fversion() const { return fversion_; }
    const std::string& host() const { return host_; }
    std::uint16_t port() const { return port_; }
    int vitaPort() const { return vitaPort_; }
    int debugLogLevel() const { return debugLogLevel_; }
    const DispatchQueuePtr& vitaRunQueue() const { return vitaRunQueue_; }
    const std::shared_ptr<UdpSocket>& vitaSocket() const { return vitaSocket_; }
    std::string clientHandle() const;
    // Set by the first accepted packet: from then on transmit and pings are allowed.
    bool vitaPacketReceived() const { return vitaPacketReceived_.load(); }

    // Socket reports, on `vitaRunQueue`.
    void udpSocketDidReceiveData(UdpSocket& sock, const Bytes& data, const SocketAddress& address,
                                 const std::any& filterContext) override;
    void udpSocketDidConnectToAddress(UdpSocket& sock, const SocketAddress& address) override;
    void udpSocketDidNotConnect(UdpSocket& sock, const Error& error) override;
    void udpSocketDidNotSendDataWithTag(UdpSocket& sock, long tag, const Error& error) override;
    void udpSocketDidClose(UdpSocket& sock, const std::optional<Error>& error) override;

private:
    struct Private {};

public:
    VitaManager(Private, std::optional<std::string> bindInterface);

private:
    bool bindStreamSocket();
    bool createTxSocket();
    void routeStreamPacket(const VITA& packet);
    // After routeStreamPacket has brought routes_ up to date.
    void meterStreamHandler(const VITA& packet);
    static void callHandler(const VitaRouteSnapshots::Routes& routes, const VITA& packet);
    void registrationStep(std::string command, int sent);
    void pingTimerFired();

    const std::optional<std::string> bindInterface_;
    const DispatchQueuePtr vitaRunQueue_;
    std::shared_ptr<UdpSocket> vitaSocket_;
    std::weak_ptr<Radio> radio_;
    // Written by handleRadio() before receiving, pinging or registering starts.
    bool wanRadio_ = false;
    bool supportsV3_ = false;
    double fversion_ = 0;
    int debugLogLevel_ = 0;
    std::string host_;
    std::uint16_t port_ = 0;
    int vitaPort_ = 0;
    int txSocket_ = -1;  // unbound IPv4 datagram socket for transmit
    SocketAddress destAddress_;
    std::shared_ptr<const VitaStreamTables> tables_;  // used on vitaRunQueue only
    VitaRouteSnapshots routes_;                       // of tables_, on vitaRunQueue only
    // Meter values on their way to the main queue (shared with the task that carries them there).
    const std::shared_ptr<BatchHandOff<MeterValueBatch>> meterValues_ =
        std::make_shared<BatchHandOff<MeterValueBatch>>();
    std::atomic<bool> vitaPacketReceived_{false};
    mutable std::mutex mutex_;  // guards the handle and the timer
    std::string clientHandle_;
    DispatchSourcePtr vitaPingTimer_;
};

}  // namespace vm
