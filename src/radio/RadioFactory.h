#pragma once
// Discovery of the radios on the local network: listens for their announcements on UDP port
// 4992, keeps one record per serial number, ages out radios that fall silent (a warning after
// 5 s, removal after 30 s) and posts "com.velmorasoftware.doro.available_radio_list_changed"
// whenever the list changes (object: the record added or replaced, or none after removals).
//
// Built once on the main thread: the socket reports and the ageing timer fires on the main
// queue. The list may be read from any thread.
#include "net/UdpSocket.h"
#include "net/UdpSocketDelegate.h"
#include "platform/core/DispatchSource.h"
#include "radio/RadioInstance.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vm {

inline constexpr const char* kAvailableRadioListChanged =
    "com.velmorasoftware.doro.available_radio_list_changed";

class RadioFactory : public UdpSocketDelegate, public std::enable_shared_from_this<RadioFactory> {
public:
    static constexpr std::uint16_t kDiscoveryPort = 4992;
    static constexpr double kSilenceWarning = 5.0;
    static constexpr double kSilenceTimeout = 30.0;

    // Starts listening on `port` of every interface (0: any free port, for tests); nullptr, with
    // a log line, when the port cannot be bound.
    static std::shared_ptr<RadioFactory> create(std::uint16_t port = kDiscoveryPort);
    ~RadioFactory() override;

    // The port the listener bound.
    std::uint16_t localPort() const { return localPort_; }
    // A snapshot of the records, in no particular order.
    std::vector<std::shared_ptr<RadioInstance>> availableRadioInstances() const;
    // Enters one announcement into the table.
    void radioFound(std::shared_ptr<RadioInstance> record);
    // The ageing step, every second.
    void radioTimeoutCheck();
    // Empties the table, closes the socket and stops the timer.
    void close();

    void udpSocketDidReceiveData(UdpSocket& sock, const Bytes& data, const SocketAddress& address,
                                 const std::any& filterContext) override;

    int debugLogLevel = 0;  // kept; not consulted

private:
    struct Private {};

public:
    explicit RadioFactory(Private) {}

private:
    bool start(std::uint16_t port);

    std::shared_ptr<UdpSocket> udpSocket_;
    DispatchSourcePtr timeoutTimer_;
    std::uint16_t localPort_ = 0;
    mutable std::mutex mutex_;  // guards the table
    std::map<std::string, std::shared_ptr<RadioInstance>> discoveredRadios_;
};

}  // namespace vm
