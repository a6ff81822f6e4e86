#include "audio/AudioStream.h"

#include "platform/core/CharacterSet.h"
#include "platform/core/Log.h"
#include "platform/core/Scanner.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace vm {

AudioStream::AudioStream(const std::string& queueLabel)
    : runQueue_(DispatchQueue::serial(queueLabel)) {}

AudioStream::~AudioStream() {
    // The timer holds the stream weakly; cancelling it here only ends its schedule.
    if (rateTimer_) {
        rateTimer_->cancel();
    }
}

void AudioStream::started(std::weak_ptr<AudioStream> self) {
    self_ = std::move(self);
    startRateTimer();
}

void AudioStream::setRadio(const std::shared_ptr<RadioLink>& radio) {
    radio_ = radio;
    if (radio) {
        debugLogLevel.set(radio->logLevel());
    }
}

DispatchQueuePtr AudioStream::runQueue() const {
    std::lock_guard lock(lock_);
    return runQueue_;
}

void AudioStream::setRunQueue(DispatchQueuePtr queue) {
    {
        std::lock_guard lock(lock_);
        runQueue_ = std::move(queue);
    }
    startRateTimer();
}

void AudioStream::ensureRunQueue(const std::string& label) {
    {
        std::lock_guard lock(lock_);
        if (runQueue_) {
            return;
        }
    }
    setRunQueue(DispatchQueue::serial(label));
}

void AudioStream::startRateTimer() {
    stopRateTimer();
    std::lock_guard lock(lock_);
    if (!runQueue_) {
        return;
    }
    rateTimer_ = DispatchSource::makeTimer(runQueue_);
    rateTimer_->setEventHandler([weak = self_] {
        if (const auto self = weak.lock()) {
            self->rateCalculator();
        }
    });
    rateTimer_->setTimer(DispatchClock::duration::zero(), std::chrono::seconds(1),
                         std::chrono::milliseconds(100));
    rateTimer_->resume();
}

void AudioStream::stopRateTimer() {
    DispatchSourcePtr timer;
    {
        std::lock_guard lock(lock_);
        timer = std::move(rateTimer_);
    }
    if (timer) {
        timer->cancel();
    }
}

void AudioStream::rateCalculator() {
    const std::int64_t received = rcRxBytes_.load();
    const std::int64_t sent = rcTxBytes_.load();
    rxPackets.set(rcRxPackets_.load());
    txPackets.set(rcTxPackets_.load());
    lostPacketCount.set(rcLostPacketCount_.load());
    rxRate.set(received - rxBytes());
    txRate.set(sent - txBytes());
    rxBytes.set(received);
    txBytes.set(sent);
    if (logsRates_ && debugLogLevel() >= 2) {
        log("rateCalculator:Rx: {}  RxR: {}  Lost:{}", rcRxPackets_.load(), rxRate(),
            rcLostPacketCount_.load());
    }
}

std::uint32_t AudioStream::intFromHexString(std::string_view text) {
    Scanner scan{std::string(text)};
    scan.setCharactersToBeSkipped(CharacterSet::fromString("#"));
    unsigned value = 0;
    return scan.scanHexInt(&value) ? value : 0;
}

Scanner AudioStream::wellFormedPairs(std::string_view text) {
    std::string pairs;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        const std::string_view piece = text.substr(start, end - start);
        const std::size_t equals = piece.find('=');
        if (equals != piece.npos && equals > 0 && equals + 1 < piece.size() &&
            piece.find('=', equals + 1) == piece.npos) {
            if (!pairs.empty()) {
                pairs += ' ';
            }
            pairs += piece;
        }
        start = end + 1;
    }
    return Scanner(std::move(pairs));
}

bool AudioStream::acceptPacketCount(std::uint16_t count) {
    const std::int64_t last = rxSeq_.load();
    const std::int64_t expected = (last + 1) % 16;
    if (count == expected || last == -1) {
        rxSeq_.store(count);
        return true;
    }
    rcLostPacketCount_.fetch_add(1);
    rxSeq_.store(-1);
    return expected <= count;
}

void AudioStream::countReceived(std::size_t datagramBytes) {
    rcRxPackets_.fetch_add(1);
    rcRxBytes_.fetch_add(static_cast<std::int64_t>(datagramBytes));
}

void AudioStream::deliverOnRunQueue(std::function<void()> deliver) {
    const DispatchQueuePtr queue = runQueue();
    if (!queue) {
        return;
    }
    queue->async([weak = self_, deliver = std::move(deliver)] {
        if (const auto alive = weak.lock()) {
            deliver();
        }
    });
}

void AudioStream::sendPacket(const PacketKind& kind, std::size_t payloadBytes,
                             const std::function<void(char* payload)>& fill) {
    const auto link = radio();
    if (!link) {
        return;
    }
    VITA packet;
    packet.buffer = std::make_shared<Bytes>(kVitaStreamHeaderSize + payloadBytes, '\0');
    packet.packetType = kind.packetType;
    packet.classIdPresent = true;
    packet.trailerPresent = false;
    packet.tsi = 3;
    packet.tsf = 1;
    std::int64_t seq = txSeq_.load();
    while (!txSeq_.compare_exchange_weak(seq, (seq + 1) % 16)) {
    }
    packet.packetCount = static_cast<std::uint16_t>(seq);
    packet.packetSize = static_cast<std::uint16_t>(7 + (payloadBytes + 3) / 4);
    packet.streamId = kind.streamId;
    packet.oui = kVitaOui;
    packet.informationClassCode = kind.informationClassCode;
    packet.packetClassCode = kind.packetClassCode;
    if (!VITA::encodeVitaPacket(packet)) {
        return;
    }
    fill(packet.buffer->data() + kVitaStreamHeaderSize);
    link->txStreamPacket(*packet.buffer);
    rcTxPackets_.fetch_add(1);
    rcTxBytes_.fetch_add(static_cast<std::int64_t>(packet.buffer->size()));
}

}  // namespace vm
