#pragma once
// The session with one radio: its TCP command connection, the numbered commands and the routing
// of their replies, the once-a-second keep-alive, the dispatch of every received line, and the
// radio's observable state (RadioState). The app controller creates it, keeps it as its open
// radio and calls close() when the session ends.
//
// Threads: socket callbacks, line parsing, keep-alive ticks and reply callbacks run on
// `radioRunQueue`; commands may be sent from any thread; the delegate hears of state changes on
// the main queue.
//
// The class is split by concern: creation, states and closing (Radio.cpp), the socket callbacks
// (RadioConnection.cpp), the keep-alive (RadioKeepAlive.cpp), the command channel
// (RadioCommands.cpp), the line dispatch (RadioLines.cpp), the stream-id helpers
// (RadioStreamIds.cpp), the start-up and reply callbacks (RadioStartup.cpp, RadioReplies.cpp),
// the client, profile and GUI commands (RadioClientCommands.cpp, RadioProfileCommands.cpp,
// RadioGuiClients.cpp), and the radio's small records: GUI clients, transverters, notch filters,
// the USB cable and memories (RadioStatusClient.cpp, RadioStatusXvtrTnf.cpp,
// RadioStatusUsbMemory.cpp, RadioXvtrTnfCommands.cpp).
//
// The radio's objects (slices, meters, the CW keyer and the later ones) live in their own
// libraries: they send through RadioLink, and their attach step, given to create(), routes their
// status lines and stream tables here before the first line is read.
#include "net/TcpSocket.h"
#include "net/TcpSocketDelegate.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/Scanner.h"
#include "radio/RadioDelegate.h"
#include "radio/RadioLink.h"
#include "radio/RadioState.h"
#include "radio/StatusTokens.h"
#include "radio/VitaStreamTables.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

// Connection states, as the delegate hears them. The Radio itself never sets 3 and 5.
enum ConnectionState : std::uint32_t {
    kStateDisconnected = 0,
    kStateConnecting = 1,
    kStateConnected = 2,
    kStateSecured = 3,
    kStateConnectedAsGui = 4,
    kStateDisconnecting = 5,
    kStateConnectFailed = 6,
    kStateTimedOut = 7,
    kStateTooManyGuiClients = 8,
    kStateDisconnectedByPeer = 9,
};

class Radio : public RadioState,
              public RadioLink,
              public TcpSocketDelegate,
              public RadioDelegate,
              public std::enable_shared_from_this<Radio> {
public:
    // A line longer than this (a radio that never sends a line feed) ends the session as an error.
    static constexpr std::size_t kMaxLineLength = 1024 * 1024;
    static constexpr double kConnectTimeout = 30.0;
    static constexpr double kPingWarning = 5.0;
    static constexpr double kPingTimeout = 30.0;
    // The reply code that a profile command's reply callback is given when the command could not
    // be sent (no open connection): its "result" reads -1, which no radio code reads as.
    static constexpr int kProfileNotSent = -1;
    // The widths saveTNF sends, MHz (5 Hz to 6 kHz, both included).
    static constexpr double kTnfMinWidth = 0.000005;
    static constexpr double kTnfMaxWidth = 0.006;

    // What the session's objects add to it before it reads its first line: their status routes,
    // stream tables and closing steps (see routeStatus). The attach library has one for all of
    // them (attachRadioObjects); without it the session reads only the radio-wide status types.
    using Attach = void (*)(Radio& radio);

    // Builds the session, attaches the objects and starts connecting to `ip`:`port`; nullptr when
    // the connection attempt cannot be started (logged; the delegate is not told).
    static std::shared_ptr<Radio> create(std::shared_ptr<RadioInstance> record,
                                         const std::string& ip, std::uint16_t port,
                                         std::weak_ptr<RadioDelegate> owner,
                                         std::string programName, int logLevel,
                                         Attach attach = nullptr);
    // A session that does not connect: its lines come from parseRadioStream() alone (the parser's
    // tests, fuzzing and benchmarks).
    static std::shared_ptr<Radio> createDetached(std::shared_ptr<RadioInstance> record,
                                                 std::weak_ptr<RadioDelegate> owner,
                                                 std::string programName, int logLevel,
                                                 Attach attach = nullptr);
    ~Radio() override;

    std::uint32_t radioConnectionState() const { return connectionState_.load(); }
    // Ends the session: stops the keep-alive, empties the slice slots, lets the socket finish its
    // writes and disconnect without reporting back, and tells the delegate state 0. The teardown
    // runs on `radioRunQueue`, after any line being parsed. `keepUntilDisconnected` is held until
    // the connection has been closed (its writes done) and let go then, on `radioRunQueue`; the
    // system's sleep waits on it this way.
    void close(std::shared_ptr<void> keepUntilDisconnected = nullptr);

    // --- What objects register in their attach step, before the session reads a line.
    // A status parser takes the scanner just after the type word and its blank.
    using StatusParser = void (*)(Radio& radio, Scanner& scan, bool selfStatus);
    using ClosingStep = void (*)(Radio& radio);
    // Status lines of `type` go to `parser` (one parser per type; a later one replaces it).
    void routeStatus(StatusType type, StatusParser parser);
    // Runs on the session's queue in close(), before the slice slots are emptied.
    void whenClosing(ClosingStep step);
    // The stream router's tables, where the objects file the owners of streams by number; handed
    // to the stream manager when the session starts its streams.
    VitaStreamTables& streamTables() { return *streamTables_; }
    // What makes the panadapter and waterfall that a "display panafall create" reply names (ids
    // in their "0x%08X" form); the display models' attach step sets it. Without it such a reply
    // creates nothing.
    using PanafallPairMaker = void (*)(Radio& radio, const std::string& panafallId,
                                       const std::string& waterfallId);
    void makePanafallPairsWith(PanafallPairMaker maker);
    // Files the DAX stream the radio created for a create command (the stream id of the reply);
    // set by the audio streams' attach step. Without it such a reply files nothing.
    using DaxStreamMaker = void (*)(Radio& radio, const std::string& streamId);
    void makeDaxStreamsWith(DaxStreamMaker maker) { daxStreamMaker_ = maker; }

    // --- Keep-alive.
    void startPingTimer();
    void stopPingTimer();
    void pingTimerFired();

    // --- Command channel. Each command takes the next process-wide sequence number and goes out
    // as "c<seq>|<command>\n". A command containing CR, LF or NUL is refused (logged, nothing sent,
    // no number taken); the registering forms then answer nothing.
    void commandToRadio(const std::string& command) override;
    std::optional<std::uint32_t> commandToRadio(const std::string& command,
                                                std::weak_ptr<RadioDelegate> notify) override;
    std::optional<std::uint32_t> commandToRadio(const std::string& command,
                                                ResponseCallback notifySel);
    std::shared_ptr<RadioInstance> radioRecord() const override { return radioInstance(); }
    int logLevel() const override { return debugLogLevel(); }
    // --- Audio streams (RadioAudioStreams.cpp).
    void txStreamPacket(const Bytes& packet) override;
    std::shared_ptr<Slice> sliceAt(int number) const override;
    void cmdNewAudioStream(int daxChannel) override;  // "stream create dax=<n>"
    void cmdNewAudioStreamV3(
        int daxChannel) override;  // "stream create type=dax_rx dax_channel=<n>"
    void cmdRemoveAudioStreamHandler(const std::shared_ptr<DAXAudio>& stream) override;
    void audioStreamCreateCallback(const std::string& response);
    // The Radio as reply receiver: calls the callback registered for the sequence number.
    void radioCommandResponse(std::uint32_t seqNum, const std::string& response) override;

    // A command setter's work: store and announce on the calling thread, then queue the command
    // on `radioRunQueue`. The queued step holds the Radio weakly: a released Radio sends nothing.
    template <class T>
    void setAndSend(Observed<T>& property, T value, std::string command) {
        property.set(std::move(value));
        radioRunQueue()->async([weak = weak_from_this(), command = std::move(command)] {
            if (const auto self = weak.lock()) {
                self->commandToRadio(command);
            }
        });
    }
    // A value that came from the radio: stored and announced on the main queue, never sent back.
    template <class T>
    void storeOnMain(Observed<T>& property, T value) {
        DispatchQueue::main()->async([self = shared_from_this(), &property,
                                      value = std::move(value)] { property.set(value); });
    }

    // --- Line dispatch (on `radioRunQueue`).
    // The text of one received read: empty for bytes that are not UTF-8; leading NULs skipped;
    // up to, not including, the first line feed.
    static std::string lineFromData(std::string_view data);
    void parseRadioStream(const std::string& line);
    void parseResponseType(const std::string& line);
    void parseStatusType(const std::string& line);
    void parseHandleType(const std::string& line);
    void parseVersionType(const std::string& line);
    void parseMessageType(const std::string& line);
    // Hands a status text to the status dispatch as if the radio had sent it.
    void testStatusMessage(const std::string& text);

    // --- Radio-wide status (RadioStatus*.cpp), on `radioRunQueue`. Keys map to properties through
    // the status tables of RadioStatusTables.h.
    void parseRadioToken(Scanner& scan, bool selfStatus);
    void parseOscillatorToken(Scanner& scan);
    void parseSpotActionToken(Scanner& scan);
    void parseTransmitToken(Scanner& scan, bool selfStatus);
    void parseTransmitBand(const std::string& line);
    void parseInterlockToken(Scanner& scan, bool selfStatus);
    void parseInterlockBand(const std::string& line);
    void parseAtuToken(Scanner& scan, bool selfStatus);
    void parseAmplifierStatusToken(Scanner& scan, bool selfStatus);
    void parseProfileToken(Scanner& scan, bool selfStatus);
    void parseWanToken(Scanner& scan, bool selfStatus);

    // --- The radio's small records (RadioStatusClient.cpp, RadioStatusXvtrTnf.cpp,
    // RadioStatusUsbMemory.cpp), on `radioRunQueue`; their keys are the rows of the record tables
    // of RadioRecordTables.h.
    void parseClientToken(Scanner& scan);
    void parseXvtrToken(Scanner& scan);
    // Lines of this client only.
    void parseTnfToken(Scanner& scan, bool selfStatus);
    void parseUsbCableStatusToken(Scanner& scan);
    void parseMemoryStatusToken(Scanner& scan);

    // --- Notch filters and transverters (RadioXvtrTnfCommands.cpp): commands sent at once on the
    // calling thread; the records change when the radio's status comes back.
    void createTNF(double frequency);
    void removeTNF(std::int32_t tnfId);
    void saveTNF(const TNF& tnf);
    void cmdCreateXvtr();
    void cmdRemoveXvtr(const std::string& key);
    void cmdSetXvtr(const std::string& key, const std::string& param, const std::string& value);
    std::shared_ptr<Xvtr> xvtrForKey(const std::string& key) const;
    std::shared_ptr<Xvtr> xvtrForFrequency(double frequency) const;

    // --- Transmit, microphone and CW settings (RadioTransmitSettings.cpp). Numbers go out as
    // integers or as flags (1 for a true value, 0 for false or none); a missing value sends 0.
    void setTransmitFilterLo(Text value);
    void setTransmitFilterHi(Text value);
    void setRfPowerLevel(Number value);
    void setMaxPowerLevel(Number value);
    void setTunePowerLevel(Number value);
    void setAmCarrierLevel(Number value);
    void setTxDaxEnabled(Number value);
    void setMicLevel(Number value);
    void setCompanderEnabled(Number value);
    void setCompanderLevel(Number value);
    void setSpeechProcEnabled(Number value);
    void setSpeechProcLevel(Number value);
    void setVoxEnabled(Number value);
    void setVoxLevel(Number value);
    void setVoxDelay(Number value);
    void setSidetoneGain(Number value);
    void setSidetonePan(Number value);
    void setPhMonitor(Number value);
    void setMonitorPHGain(Number value);
    void setMonitorPHPan(Number value);
    void setTxInWaterfall(Number value);
    void setTxInhibit(Number value);
    void setHwAlcEnabled(Number value);
    void setTuneEnabled(Number value);
    void setTxState(Number value);
    void setMicSelection(Text value);
    void setMicBias(Number value);
    void setMicBoost(Number value);
    void setMicAccEnabled(Number value);
    void setCwPitch(Number value);
    void setCwSpeed(Number value);  // at least 5 wpm: stores and sends the limited value
    void setCwSwapPaddles(Number value);
    void setCwIambicEnabled(Number value);
    void setCwIambicMode(Text value);  // sends 1 for exactly "B", else 0
    void setCwBreakinEnabled(Number value);
    void setCwBreakinDelay(Number value);
    void setSidetone(Number value);
    void setCwlEnabled(Number value);

    // --- Interlock, mixer and ATU settings and direct commands (RadioInterlockAtuCommands.cpp).
    void setTxDelay(Number value);
    void setTx1Delay(Number value);
    void setTx2Delay(Number value);
    void setTx3Delay(Number value);
    void setAccTxDelay(Number value);
    void setTx1Enabled(Number value);
    void setTx2Enabled(Number value);
    void setTx3Enabled(Number value);
    void setAccTxEnabled(Number value);
    void setRcaTxReqEnable(Number value);
    void setRcaTxReqPolarity(Number value);
    void setAccTxReqEnable(Number value);
    void setAccTxReqPolarity(Number value);
    void setInterlockTimeoutValue(Number value);
    void setMasterSpeakerAfGain(Number value);
    void setMasterHeadsetAfGain(Number value);
    void setMasterSpeakerMute(Number value);
    void setMasterHeadsetMute(Number value);
    void setAtuMemoriesEnabled(Number value);
    // Sent at once on the calling thread; nothing is stored.
    void cmdSetAtuTune(Number start);
    void cmdSetBypass();
    // Needs the handle of an amplifier the radio has reported; without one it logs and sends
    // nothing.
    void cmdSetAmplifier(bool operate);

    // --- Radio-wide settings (RadioWideSettings.cpp).
    void setRemoteOnEnabled(Number value);
    void setTnfEnabled(Number value);
    void setBinauralRx(Number value);
    void setFullDuplexEnabled(Number value);
    void setRadioScreenSaver(Text value);
    void setRadioCallsign(Text value);
    void setRadioName(Text value);
    void setCallSign6300(Text value);
    void setCallSign6400(Text value);
    void setCallSign6500(Text value);
    void setCallSign6600(Text value);
    void setCallSign6700(Text value);
    void setBandPersistenceEnabled(Number value);
    void setRttyMarkDefault(Number value);
    void setEnforcePrivateIpConnections(Number value);
    void setFilterSharpnessVOICELevel(Number value);
    void setFilterSharpnessCWLevel(Number value);
    void setFilterSharpnessDIGITALLevel(Number value);
    void setStaticNetParams(Text value);
    void setGateway(Text value);
    void setNetMask(Text value);
    void setAutoLevel(Number value);
    void setBacklight(Number value);
    void setRemoteAudio(Number value);
    // Local only: stored and announced later on the main queue, never sent.
    void setSyncActiveSlice(Number value);

    // --- Stream ids: any written form of an id becomes the canonical key "0x%08X".
    static std::uint32_t intFromHexString(std::string_view text);
    static std::string hexStringFormatFromInt(std::uint32_t value);
    static std::string reformatStreamId(std::string_view text);

    // --- Slice commands (RadioPanSliceCommands.cpp). Nothing is sent while the radio has no free
    // slice (or has not said how many).
    void cmdNewSlice();
    void cmdNewSlice(const std::string& frequency, const std::string& antenna,
                     const std::string& mode);
    // `panafall`: the stream id's bare hexadecimal digits.
    void cmdNewSlice(const std::string& frequency, const std::string& antenna,
                     const std::string& mode, const std::string& panafall);
    void cmdRemoveSlice(int sliceNumber);
    // Takes a slice that is gone (the notification's object) out of its slot, when the slot still
    // holds that very slice; a newer slice in the slot stays.
    void sliceDeleteNotification(const Notification& notification);

    // --- Panadapter commands (RadioPanSliceCommands.cpp). Asks the radio for a panadapter (with
    // its waterfall) of `width` x `height` pixels, truncated to integers; the first request of
    // the session subscribes to panadapters first. False, sending nothing, when the radio has
    // said it has no panadapter left. The reply reaches panafallCreateCallback.
    bool cmdNewPanafall(double width, double height);
    // "display pan remove <id>" with the panadapter's stream id ("0x%08X").
    void cmdRemovePanafall(const std::string& panafallStreamId);
    // Code 0: the reply data is "<pan id>,<waterfall id>", handed to the pair maker in their
    // "0x%08X" form. Any other code is logged and creates nothing.
    void panafallCreateCallback(const std::string& response);

    // --- Session start-up and reply callbacks (RadioStartup.cpp, RadioReplies.cpp).
    void initializeRadio();
    // Creates and starts the stream manager; without a free port the session has no streams.
    void startUdp();
    void subscribe(const std::string& object);
    // "spot <text>": a spot command of the caller's own.
    void spotCommand(const std::string& text);
    void wanSetForwardedPorts(bool isPortForwardOn, std::int32_t tcpPort, std::int32_t udpPort);
    // "client_<serial number>", the defaults key of the saved GUI client id; empty without a
    // serial number.
    std::string clientIdPrefsKey() const;
    // A DoroLink radio's stream registration, once the handle is known.
    void registerRemoteUdp(const std::string& clientHandle);
    // "wan validate handle=<handle>", the first command of a DoroLink session; nothing without a
    // handle.
    void cmdWanValidateByHandle(const Text& handle);
    // The address the stream socket binds (every interface when none). Set it in the attach step:
    // the start-up reads it.
    void setStreamInterface(std::optional<std::string> address);
    void pingResponseCallback(const std::string& response);
    void infoResponseCallback(const std::string& response);
    void versionResponseCallback(const std::string& response);
    void antListResponseCallback(const std::string& response);
    void micListResponseCallback(const std::string& response);
    void isGuiCallback(const std::string& response);
    void radioBindCallback(const std::string& response);
    void newRemoteAudioStreamCallback(const std::string& response);
    void removeRemoteAudioStreamCallback(const std::string& response);
    void globalProfileLoadCallback(const std::string& response);
    void globalProfileSaveCallback(const std::string& response);
    void transmitProfileLoadCallback(const std::string& response);
    void transmitProfileSaveCallback(const std::string& response);
    void micProfileLoadCallback(const std::string& response);
    void micProfileSaveCallback(const std::string& response);
    void radioNameCallback(const std::string& response);
    void stationNameCallback(const std::string& response);
    void radioCallSignCallback(const std::string& response);
    void ampSetCallback(const std::string& response);
    void disconnectChangeCallback(const std::string& response);
    void wanSetPortsResponseCallback(const std::string& response);
    void xvtrChangeCallback(const std::string& response);
    void wanValidateCallback(const std::string& response);

    // --- Client, station and stream commands (RadioClientCommands.cpp). Sent at once from the
    // calling thread; texts are inserted as given.
    void cmdBind(const std::string& clientId);
    void cmdSetRadioName(const std::string& name);
    void cmdSetStationName(const std::string& name);
    void cmdSetRadioCallSign(const std::string& callsign);
    void cmdNewRemoteAudioRxStream(const std::string& compression);
    void cmdNewRemoteAudioTxStream();
    void cmdRemoveRemoteAudioStream(const std::string& streamId);

    // --- Profiles (RadioProfileCommands.cpp). Loading sets the current profile and queues the
    // load on `radioRunQueue`; saving, creating and deleting send at once and announce on the main
    // queue. Names go between double quotes, without '"' characters of their own.
    void setCurrentGlobalProfile(const std::string& name);
    void setCurrentTxProfile(const std::string& name);
    void setCurrentMicProfile(const std::string& name);
    void cmdSaveGlobalProfile(const std::string& name);
    void cmdNewTxProfile(const std::string& name);
    void cmdSaveTxProfile(const std::string& name);
    void cmdNewMicProfile(const std::string& name);
    void cmdSaveMicProfile(const std::string& name);
    void cmdDeleteGlobalProfile(const std::string& name);
    void cmdDeleteTxProfile(const std::string& name);
    void cmdDeleteMicProfile(const std::string& name);

    // --- GUI client binding and lookup (RadioGuiClients.cpp).
    void connectAsGui(const std::optional<std::string>& clientId);
    void setIsGui(Number value);
    void disconnectClientByHandle(const std::optional<std::string>& clientHandle);
    // The first known GUI client with the same, non-empty handle.
    std::shared_ptr<Client> findGuiClientByClientHandle(const Client& client) const;

    // --- Socket callbacks (on `radioRunQueue`).
    void socketDidConnectToHost(const TcpSocketPtr& sock, const std::string& host,
                                std::uint16_t port) override;
    bool socketDidReceiveTrust(const TcpSocketPtr& sock, const TlsTrust& trust,
                               TlsTrustCompletionHandler completionHandler) override;
    void socketDidSecure(const TcpSocketPtr& sock) override;
    void socketDidReadData(const TcpSocketPtr& sock, std::string_view data, long tag) override;
    void socketDidDisconnect(const TcpSocketPtr& sock, const std::optional<Error>& error) override;
    void socketDidAcceptNewSocket(const TcpSocketPtr& sock, const TcpSocketPtr& newSocket) override;

private:
    struct Private {};

public:
    Radio(Private, std::shared_ptr<RadioInstance> record, std::weak_ptr<RadioDelegate> owner,
          std::string programName, int logLevel);

private:
    // How a status type is handled: its parser, and for the types whose band lines go elsewhere,
    // the text that marks such a line and the parser that takes the whole line. A type without a
    // parser is logged and dropped like an unknown type.
    using BandParser = void (Radio::*)(const std::string& line);
    struct StatusRoute {
        StatusParser parser = nullptr;
        const char* bandMarker = nullptr;
        BandParser bandParser = nullptr;
    };
    // The session's own routes: the radio-wide status types.
    void routeRadioWideStatus();
    void logUnrecognizedStatus(const std::string& type, const std::string& line) const;

    bool startConnecting(const std::string& ip, std::uint16_t port);
    // The connection is up (secured, for a DoroLink radio): state 2, the start-up, the first read.
    void startSession(const TcpSocketPtr& sock);
    std::optional<std::uint32_t> send(const std::string& command,
                                      const std::weak_ptr<RadioDelegate>* notify,
                                      ResponseCallback notifySel);
    void queueLineRead(const TcpSocketPtr& sock);
    bool isSessionSocket(const TcpSocketPtr& sock) const;
    void setConnectionState(std::uint32_t state);
    void tellDelegate();
    std::string radioNameForLog() const;
    // Queues a command with its reply callback on `radioRunQueue`; nothing is sent once the
    // Radio has gone. With `answerWhenNotSent`, it goes out as a profile command.
    void queueCommand(std::string command, ResponseCallback callback,
                      bool answerWhenNotSent = false);
    // Whether the command connection is open or still connecting.
    bool commandConnectionOpen() const;
    // Sends a profile command with its reply callback; a command that cannot be sent is logged
    // and answered at once, to the same callback, with the code kProfileNotSent.
    void sendProfileCommand(const std::string& command, ResponseCallback callback);
    void saveProfile(const std::string& kind, const std::string& verb, const std::string& name,
                     ResponseCallback callback, const TextList& known, const char* created,
                     const char* updated);
    void deleteProfile(const std::string& kind, const std::string& name, const char* deleted);
    void postProfileResult(const std::string& response, const char* notification,
                           const char* callbackName);

    // Set before the first line is read (the constructor and the attach step), then only read.
    std::array<StatusRoute, kStatusTypeCount + 1> statusRoutes_{};
    std::vector<ClosingStep> closingSteps_;
    const std::shared_ptr<VitaStreamTables> streamTables_ = std::make_shared<VitaStreamTables>();
    PanafallPairMaker panafallPairMaker_ = nullptr;
    // Set by the session's first panadapter request, which subscribes to panadapters.
    std::atomic<bool> displaySubscribed_{false};
    std::optional<std::string> streamInterface_;
    DaxStreamMaker daxStreamMaker_ = nullptr;

    std::atomic<std::uint32_t> connectionState_{kStateDisconnected};
    mutable std::mutex socketMutex_;
    TcpSocketPtr radioSocket_;  // this session's command connection; cleared by close()
    // Base of the keep-alive's elapsed time until the first ping reply: when the timer started.
    DispatchClock::time_point pingBase_{};
};

}  // namespace vm
