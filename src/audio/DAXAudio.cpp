#include "audio/DAXAudio.h"

#include <bit>
#include <cstring>

namespace vm {

namespace {

std::uint32_t swapWord(std::uint32_t word) {
    if constexpr (std::endian::native == std::endian::little) {
        return __builtin_bswap32(word);
    } else {
        return word;
    }
}

// Copies `words` 32-bit words from `from` to `to`, each byte-reversed between host and network
// order (the two may be the same memory).
void swapWords(const char* from, char* to, std::size_t words) {
    for (std::size_t i = 0; i < words; ++i) {
        std::uint32_t word;
        std::memcpy(&word, from + i * 4, 4);
        word = swapWord(word);
        std::memcpy(to + i * 4, &word, 4);
    }
}

}  // namespace

DAXAudio::DAXAudio(Private) : AudioStreamDelegate("com.velmorasoftware.vmsdr.DaxAudio") {
    logsRates_ = true;
}

std::shared_ptr<DAXAudio> DAXAudio::create() {
    auto stream = std::make_shared<DAXAudio>(Private{});
    stream->started(stream);
    return stream;
}

std::shared_ptr<DAXAudio> DAXAudio::create(const std::shared_ptr<RadioLink>& radio, int channel) {
    auto stream = create();
    stream->setRadio(radio);
    stream->daxChannel.set(channel);
    if (radio) {
        const auto record = radio->radioRecord();
        if (record && record->supportsV3_API) {
            radio->cmdNewAudioStreamV3(channel);
        } else {
            radio->cmdNewAudioStream(channel);
        }
    }
    return stream;
}

void DAXAudio::attachedRadio(const std::shared_ptr<RadioLink>& radio, const std::string& streamId) {
    radio_ = radio;
    {
        std::lock_guard lock(lock_);
        streamId_ = streamId;
    }
    ensureRunQueue("com.velmorasoftware.vmsdr.audioStreamQueue-" + streamId);
}

std::string DAXAudio::streamId() const {
    std::lock_guard lock(lock_);
    return streamId_;
}

std::shared_ptr<Slice> DAXAudio::slice() const {
    std::lock_guard lock(lock_);
    return slice_.lock();
}

void DAXAudio::closeStream() {
    if (closed_.exchange(true)) {
        return;
    }
    stopRateTimer();
    if (const auto link = radio()) {
        link->cmdRemoveAudioStreamHandler(shared_from_this());
    }
}

void DAXAudio::streamHandler(const VITA& packet) {
    if (!acceptPacketCount(packet.packetCount) || !packet.payload || !delegate()) {
        return;
    }
    // The samples are turned to host order as they are copied out of the datagram.
    const std::int64_t frames = packet.payloadLength / 8;
    auto samples = std::make_shared<Bytes>(static_cast<std::size_t>(frames) * 8, '\0');
    swapWords(packet.payload, samples->data(), static_cast<std::size_t>(frames) * 2);
    deliver(StreamFrame{samples, frames, 4, samples->data()});
    countReceived(packet.datagram.size());
}

void DAXAudio::streamSend(const float* samples, std::int64_t frames) {
    if (transmitEnabled().value_or(0) == 0 || !slice() || frames <= 0 || !samples) {
        return;
    }
    const std::uint32_t id = intFromHexString(txStreamId().value_or(""));
    const auto* bytes = reinterpret_cast<const char*>(samples);
    for (std::int64_t sent = 0; sent < frames;) {
        const std::int64_t n = std::min<std::int64_t>(frames - sent, kFramesPerPacket);
        const auto payloadBytes = static_cast<std::size_t>(n) * 8;
        sendPacket({1, id, kInformationClassCode, kPacketClassCode}, payloadBytes,
                   [&](char* payload) {
                       swapWords(bytes + sent * 8, payload, static_cast<std::size_t>(n) * 2);
                   });
        sent += n;
    }
}

}  // namespace vm
