#pragma once
// What the three audio stream objects (RemoteAudio, OpusAudio, DAXAudio) share: the run queue
// that carries deliveries, commands and the statistics timer; the packet-count check of received
// packets; the building of transmitted packets (a 28-byte VITA-49 header, no trailer); and the
// statistics published once a second.
//
// Threads: packets arrive on the stream router's queue, packets are sent from the caller's
// thread, the timer runs on the run queue; the counters are atomic, the published statistics are
// observable properties stored by the timer.
#include "platform/core/DispatchQueue.h"
#include "platform/core/DispatchSource.h"
#include "platform/core/Observable.h"
#include "platform/core/Scanner.h"
#include "radio/RadioLink.h"
#include "radio/StreamFrame.h"
#include "radio/VITA.h"
#include "radio/VitaStreamHandler.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace vm {

class AudioStream : public Observable, public VitaStreamHandler {
public:
    ~AudioStream() override;

    Observed<int> debugLogLevel{this, "debugLogLevel"};
    Observed<std::int64_t> lostPacketCount{this, "lostPacketCount"};
    Observed<std::int64_t> rxPackets{this, "rxPackets"};
    Observed<std::int64_t> txPackets{this, "txPackets"};
    Observed<std::int64_t> rxBytes{this, "rxBytes"};
    Observed<std::int64_t> txBytes{this, "txBytes"};
    Observed<std::int64_t> rxRate{this, "rxRate"};  // bytes in the last second
    Observed<std::int64_t> txRate{this, "txRate"};

    std::shared_ptr<RadioLink> radio() const { return radio_.lock(); }
    DispatchQueuePtr runQueue() const;
    // Under the object's lock: stores the queue and restarts the statistics timer on it.
    void setRunQueue(DispatchQueuePtr queue);
    // Fires now and then every second on the run queue; the timer holds the stream weakly.
    void startRateTimer();
    void stopRateTimer();
    // Publishes the running counters; the rates are the bytes since the last call.
    void rateCalculator();

    // The last accepted packet count (-1 until synchronised) and the next one sent.
    std::int64_t rxSeq() const { return rxSeq_.load(); }
    std::int64_t txSeq() const { return txSeq_.load(); }

    // A hexadecimal number, "#" characters skipped, "0x" accepted; 0 when nothing reads.
    static std::uint32_t intFromHexString(std::string_view text);

protected:
    explicit AudioStream(const std::string& queueLabel);
    // The pieces of a status text that are exactly one key, "=" and one value, joined by blanks
    // for the status table (a piece without "=" or with two is skipped).
    static Scanner wellFormedPairs(std::string_view text);

    // Called by each class's create() once the stream is owned by a shared_ptr.
    void started(std::weak_ptr<AudioStream> self);
    void setRadio(const std::shared_ptr<RadioLink>& radio);
    // Gives the stream a run queue of this label unless it has one.
    void ensureRunQueue(const std::string& label);

    // The packet-count check: the first packet, or the next count modulo 16, is accepted; any
    // other count is one loss and unsynchronises the stream, and the packet is still accepted when
    // its count lies ahead of the expected one. On the stream router's queue only.
    bool acceptPacketCount(std::uint16_t count);
    void countReceived(std::size_t datagramBytes);

    // Hands the frame to `deliver` on the run queue, holding this stream weakly.
    void deliverOnRunQueue(std::function<void()> deliver);

    // The header of one transmitted packet.
    struct PacketKind {
        int packetType = 3;
        std::uint32_t streamId = 0;
        std::uint16_t informationClassCode = 0;
        std::uint16_t packetClassCode = 0;
    };
    // Builds one packet of `payloadBytes` after the 28-byte header (its size field counts whole
    // words, rounded up), lets `fill` write the payload, takes the next packet count and sends
    // it through the radio. Nothing without a radio.
    void sendPacket(const PacketKind& kind, std::size_t payloadBytes,
                    const std::function<void(char* payload)>& fill);

    mutable std::mutex lock_;  // the object's lock
    std::weak_ptr<RadioLink> radio_;
    bool logsRates_ = false;  // rateCalculator logs its figures at debug level 2

private:
    std::weak_ptr<AudioStream> self_;
    DispatchQueuePtr runQueue_;
    DispatchSourcePtr rateTimer_;
    std::atomic<std::int64_t> rxSeq_{-1};
    std::atomic<std::int64_t> txSeq_{0};
    std::atomic<std::int64_t> rcRxPackets_{0};
    std::atomic<std::int64_t> rcTxPackets_{0};
    std::atomic<std::int64_t> rcRxBytes_{0};
    std::atomic<std::int64_t> rcTxBytes_{0};
    std::atomic<std::int64_t> rcLostPacketCount_{0};
};

}  // namespace vm
