#pragma once
// A simulated radio for tests, on loopback only. It accepts command sessions on a TCP port, greets
// each with its V and H lines, records every command in arrival order and answers it ("R<seq>|0|"
// unless scripted otherwise), sends status and message lines when the test asks, announces itself
// by discovery, and sends VITA-49 streams to the client's UDP stream port.
//
// The radio runs its own thread; every public operation may be called from any thread. Blocking
// waits take a real-time bound and return false (or nothing) when it passes.
#include "support/sim/SimAudio.h"
#include "support/sim/SimDiscovery.h"
#include "support/sim/SimIdentity.h"
#include "support/sim/SimObjects.h"
#include "support/sim/SimSocket.h"
#include "support/sim/SimTls.h"
#include "support/sim/SimVita.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace vm::sim {

// One line the client sent. Sessions are numbered from 1 in the order they were accepted.
struct SimCommand {
    int session = 0;
    std::optional<uint32_t> seq;  // none for a line that is not "c<seq>|<command>"
    std::string text;
};

// One datagram that reached the radio's UDP port.
struct SimDatagram {
    Endpoint from;
    std::string bytes;
};

// The answer to a command: "R<seq>|<code>|<data>", or nothing at all when `silent`.
struct SimReply {
    std::string code = "0";
    std::string data;
    bool silent = false;
    static SimReply none() { return {"", "", true}; }
};

struct SimRadioOptions {
    std::string address = "127.0.0.1";  // both sockets bind here; must be loopback
    uint16_t commandPort = 0;           // 0: any free port
    uint16_t udpPort = 0;               // 0: any free port
    RadioIdentity identity;
    // A certificate and its private key (PEM): command sessions then speak TLS, as a radio
    // reached over the internet does, and are greeted once the handshake is done.
    std::string tlsIdentityPem;
};

class SimRadio {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kWait{5000};
    // A session that sends this many bytes without a line feed is closed.
    static constexpr size_t kMaxLine = 1 << 20;

    // Binds both sockets and starts the radio's thread; nullptr (with `error`) when it cannot.
    static std::unique_ptr<SimRadio> start(SimRadioOptions options = {},
                                           std::string* error = nullptr);
    ~SimRadio();
    SimRadio(const SimRadio&) = delete;
    SimRadio& operator=(const SimRadio&) = delete;

    const std::string& address() const { return options_.address; }
    uint16_t commandPort() const { return commandPort_; }
    uint16_t udpPort() const { return udpPort_; }
    const RadioIdentity& identity() const { return options_.identity; }

    // --- Replies. The latest rule that matches a command answers it.
    void reply(const std::string& command, SimReply reply);       // exact command text
    void replyPrefix(const std::string& prefix, SimReply reply);  // command starts with it
    // Replies to "info", "version", "ant list", "mic list" and "client gui..." from the identity.
    void scriptStartupReplies();
    // From now on, commands that change the equalizers, notch filters and transverters are
    // answered, after their reply, with the objects' status lines as this client's (SimObjects.h).
    void answerObjectCommands();
    // Replies to "display panafall create ..." with the new panadapter's and waterfall's ids.
    void scriptPanafallCreate(uint32_t panafallId, uint32_t waterfallId);

    // --- Transcript of the command sessions.
    std::vector<SimCommand> commands() const;
    std::vector<std::string> commandTexts() const;
    std::optional<SimCommand> waitForCommand(const std::string& text,
                                             std::chrono::milliseconds timeout = kWait);
    bool waitForCommandCount(size_t count, std::chrono::milliseconds timeout = kWait);
    int sessionCount() const;  // sessions accepted so far
    bool waitForSessions(int count, std::chrono::milliseconds timeout = kWait);
    bool sessionOpen() const;      // the latest session is still connected
    int liveSessionCount() const;  // sessions still connected

    // --- Lines to the latest open session; false when there is none.
    bool sendLine(std::string_view line);    // adds the line feed
    bool sendRaw(std::string_view bytes);    // exactly these bytes
    bool sendStatus(std::string_view text);  // "S<own handle>|text": the client's own status
    bool sendStatusFrom(std::string_view handle, std::string_view text);
    bool sendMessage(std::string_view code, std::string_view text);
    // Sends what is queued, then closes the latest session (the client sees the peer close).
    bool closeSession();

    // --- Discovery, to a loopback address and port.
    DiscoveryFields discoveryFields() const;  // the identity, reachable at the command port
    bool announce(const Endpoint& to);
    bool announce(const Endpoint& to, const DiscoveryFields& fields);
    bool announceLegacy(const Endpoint& to);

    // --- Streams. The destination is the client's address and the port it names with
    // "client udpport <n>", or the sender of a "client udp_register" datagram, or what the test
    // sets. Sending fails when there is none.
    std::optional<Endpoint> streamDestination() const;
    bool setStreamDestination(const Endpoint& to);
    bool waitForStreamDestination(std::chrono::milliseconds timeout = kWait);
    bool sendMeters(const std::vector<MeterValue>& values, uint32_t streamId = kMeterStreamId);
    bool sendFft(uint32_t streamId, const FftFrame& frame);
    bool sendWaterfall(uint32_t streamId, const WaterfallTile& tile);
    // A whole spectrum frame in `packets` packets, and a waterfall line in `segments` tiles
    // (fftFramePayloads, waterfallLinePayloads).
    bool sendFftFrame(uint32_t streamId, const std::vector<uint16_t>& bins, uint32_t frameIndex,
                      size_t packets, bool olderLayout = false);
    bool sendWaterfallLine(uint32_t streamId, const WaterfallTile& line, size_t segments);
    bool sendOpus(uint32_t streamId, std::string_view bytes);
    bool sendDax(uint32_t streamId, std::string_view bytes);
    // A stream packet whose packet count runs modulo 16 per stream id.
    bool sendStream(uint16_t classCode, uint32_t streamId, std::string_view payload);
    bool sendPacket(const VitaHeader& header, std::string_view payload);  // the header as given
    bool sendMalformed(Malformation kind, uint16_t classCode = kClassMeter,
                       uint32_t streamId = kMeterStreamId);
    bool sendDatagram(std::string_view bytes);

    // Datagrams received on the UDP port.
    std::vector<SimDatagram> datagrams() const;
    // The client's Opus transmit packets (class 0x8005) of a stream id, decoded in order of
    // arrival: interleaved 24000 Hz stereo.
    std::vector<std::int16_t> transmitAudio(uint32_t streamId) const;
    bool waitForDatagramCount(size_t count, std::chrono::milliseconds timeout = kWait);

    // Called on the radio's thread, outside its lock, for a person watching the radio.
    void setCommandObserver(std::function<void(const SimCommand&)> observer);
    void setDatagramObserver(std::function<void(const SimDatagram&)> observer);

private:
    struct Session;
    struct Rule {
        std::string pattern;
        bool prefix = false;
        SimReply reply;
    };
    struct Events {
        std::vector<SimCommand> commands;
        std::vector<SimDatagram> datagrams;
    };

    explicit SimRadio(SimRadioOptions options);
    void run();
    void wake();
    void acceptSessions();
    void readDatagrams(Events& events);
    void recordTransmitAudio(std::string_view bytes);
    void readSession(Session& session, Events& events);
    void writeSession(Session& session);
    void handleLine(Session& session, std::string_view line, Events& events);
    Session* latestOpenSession();
    bool queueToLatest(std::string bytes);
    bool sendTo(const Endpoint& to, std::string_view bytes);
    template <typename Predicate>
    bool waitUntil(std::chrono::milliseconds timeout, Predicate predicate) const;

    const SimRadioOptions options_;
    std::shared_ptr<SimTlsContext> tls_;  // none: plain sessions
    Fd listenFd_;
    Fd udpFd_;
    Fd wakeFd_;
    uint16_t commandPort_ = 0;
    uint16_t udpPort_ = 0;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool stopping_ = false;
    std::vector<std::unique_ptr<Session>> sessions_;
    std::vector<Rule> rules_;
    std::unique_ptr<SimObjects> objects_;  // none until answerObjectCommands()
    std::vector<SimCommand> commands_;
    std::vector<SimDatagram> datagrams_;
    std::optional<Endpoint> streamDestination_;
    std::map<uint32_t, uint8_t> packetCounts_;
    std::map<uint32_t, std::unique_ptr<SimOpusDecoder>> transmitDecoders_;
    std::map<uint32_t, std::vector<std::int16_t>> transmitAudio_;
    std::function<void(const SimCommand&)> commandObserver_;
    std::function<void(const SimDatagram&)> datagramObserver_;
    std::thread thread_;
};

}  // namespace vm::sim
