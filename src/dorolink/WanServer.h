#pragma once
// The client of the DoroLink server, the internet service through which the user reaches radios
// that are not on the local network. It keeps one TLS connection to the server (the server's
// certificate verified for its host name), registers the application with the user's identity
// token, turns the server's radio list into DoroLink radio records, asks the server to make a
// radio ready for a session and hands on the radio's handle, runs the server's port test, and
// pings the server every 10 s. It owns the DoroLink line protocol in both directions: lines out
// end with a carriage return; lines in end with a carriage return or a line feed, and each is one
// message, dispatched by its prefix.
//
// Everything runs on the main queue: call it on the main thread only. The socket reports there,
// the ping timer fires there, and the notifications below are posted there:
//   kAuthProcessComplete   (object: this server) a server exchange has ended
//   kAvailableRadioListChanged (RadioFactory.h; object: the last radio of a new list, or none)
//   kRemoteRadioReady      (object: the listed radio, carrying its handle) open its session now
//
// Nothing reconnects by itself: a lost or refused connection is reported to the user once, and
// the next connect comes from the owner (a new login or token refresh).
#include "app/control/RemoteRadioServer.h"
#include "dorolink/WanLineBuffer.h"
#include "dorolink/WanMessagePairs.h"
#include "dorolink/WanServerDelegate.h"
#include "net/TcpSocket.h"
#include "net/TcpSocketDelegate.h"
#include "platform/core/DispatchSource.h"
#include "radio/RadioInstance.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vm {

inline constexpr const char* kDoroLinkServerHost = "dorolink.velmorasoftware.com";
inline constexpr std::uint16_t kDoroLinkServerPort = 443;

inline constexpr const char* kAuthProcessComplete =
    "com.velmorasoftware.doro.auth.process.complete";
inline constexpr const char* kRemoteRadioReady = "com.velmorasoftware.doro.remote.radio.ready";

struct WanServerOptions {
    // Tells the user something outside the windows: a title and a text.
    using UserNotice = std::function<void(const std::string& title, const std::string& text)>;

    std::string host = kDoroLinkServerHost;  // its certificate must be valid for this name
    std::uint16_t port = kDoroLinkServerPort;
    UserNotice userNotice;  // none: the user is told nothing
};

class WanServer : public TcpSocketDelegate,
                  public RemoteRadioServer,
                  public std::enable_shared_from_this<WanServer> {
public:
    using UserNotice = WanServerOptions::UserNotice;
    using Options = WanServerOptions;

    static constexpr std::chrono::seconds kPingInterval{10};
    // From the start of a connect until TLS is up; then the attempt is given up.
    static constexpr std::chrono::seconds kSecureTimeout{30};

    // Stores the delegate; opens nothing.
    static std::shared_ptr<WanServer> create(std::weak_ptr<WanServerDelegate> delegate,
                                             Options options = {});
    ~WanServer() override;
    WanServer(const WanServer&) = delete;
    WanServer& operator=(const WanServer&) = delete;

    // --- The connection
    void connectWanServer();
    // Closes the connection once what was written has gone, and forgets the radios.
    void disconnectWanServer();
    bool connected() const;

    // --- Requests (each refused with its log line while the server is not connected)
    // Once per connection: refused while a registration is waiting for its answer or after the
    // server accepted one; a refused registration may be sent again.
    void sendRegisterApplicationMessageToServer(const std::string& idToken);
    void sendConnectMessageToRadio(const std::string& serial) override;
    void sendDisConnectMessageToRadio(const std::string& serial);
    void sendTestConnection(const std::string& serial);
    void sendSetUserInfoToServer(const std::string& callsign, const std::string& firstName,
                                 const std::string& lastName, const std::string& idToken);

    // --- The radios of the last list
    std::vector<std::shared_ptr<RadioInstance>> remoteRadios() const override;
    void removeRadio(const std::string& serial) override;
    // The first listed radio with that serial number; null for an empty serial or none.
    std::shared_ptr<RadioInstance> remoteRadioforSerial(const std::string& serial) const;
    static std::shared_ptr<RadioInstance> listRadioforSerial(
        const std::string& serial, const std::vector<std::shared_ptr<RadioInstance>>& list);
    // The pairs of the last connection test's answer.
    const wan::MessagePairs& connectionResults() const { return connectionResults_; }

    // --- Keep-alive: "ping from client" now and every 10 s while the connection is secure.
    void startPingTimer();
    void stopPingTimer();
    void pingTimerFired();
    // The running ping timer; null when stopped.
    const DispatchSourcePtr& pingTimer() const { return pingTimer_; }

    void showNotificationWithTitle(const std::string& title, const std::string& text) const;

    // --- TcpSocketDelegate (on the main queue)
    void socketDidConnectToHost(const TcpSocketPtr& sock, const std::string& host,
                                std::uint16_t port) override;
    void socketDidSecure(const TcpSocketPtr& sock) override;
    void socketDidReadData(const TcpSocketPtr& sock, std::string_view data, long tag) override;
    void socketDidDisconnect(const TcpSocketPtr& sock, const std::optional<Error>& error) override;
    void socketDidAcceptNewSocket(const TcpSocketPtr& sock, const TcpSocketPtr& newSocket) override;
    void socketDidWritePartialDataOfLength(const TcpSocketPtr& sock, std::size_t partialLength,
                                           long tag) override;
    void socketDidReadPartialDataOfLength(const TcpSocketPtr& sock, std::size_t partialLength,
                                          long tag) override;
    void socketDidCloseReadStream(const TcpSocketPtr& sock) override;

private:
    enum class Link { down, connecting, connected, secure };

    WanServer(std::weak_ptr<WanServerDelegate> delegate, Options options);

    bool isCurrent(const TcpSocketPtr& sock) const { return sock && sock == wan_socket_; }
    template <class Call>
    void tellDelegate(Call call) const {
        if (const auto delegate = delegate_.lock()) {
            call(*delegate);
        }
    }
    void secureTimedOut(std::uint64_t attempt);
    void tellUserOfLoss(const std::optional<Error>& error);
    void queueRead();

    // Sending (WanServerCommands.cpp)
    void sendCommand(const std::string& command, bool logLine);

    // Receiving (WanServerMessages.cpp)
    void parseMessage(const std::string& message);
    void parseRadioListMessage(const std::string& message);
    void reportListChange(const RadioInstance& radio, const std::string& change) const;
    void parseRadioConnectReadyMessage(const std::string& message);
    void parseApplicationInfo(const std::string& message);
    void parseRegistrationInvalid(const std::string& message);
    void parseUserSettings(const std::string& message);
    void parseTestConnectionResults(const std::string& message);
    void postAuthProcessComplete();
    static void postRadioListChanged(std::shared_ptr<RadioInstance> radio);

    const std::weak_ptr<WanServerDelegate> delegate_;
    const Options options_;
    TcpSocketPtr wan_socket_;  // the connection being made or up; a new one for each connect
    std::string wan_host;
    std::uint16_t wan_port = kDoroLinkServerPort;
    std::uint32_t wan_seq = 0;  // tag of the next write
    Link link_ = Link::down;
    bool connection_registered = false;  // the server accepted the registration (a radio list)
    bool registrationSent_ = false;      // a registration waits for its answer
    std::uint64_t attempt_ = 0;          // counts connects, so a stale time-out finds it moved on
    bool lossReported_ = false;          // the user was told why this connection ended
    std::optional<std::string> serverFarewell_;  // what the server said before closing
    std::vector<std::shared_ptr<RadioInstance>> remoteRadios_;
    wan::MessagePairs connectionResults_;
    WanLineBuffer messageBuffer_;
    DispatchSourcePtr pingTimer_;
};

}  // namespace vm
