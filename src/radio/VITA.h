#pragma once
// One VITA-49 packet: the header of a received datagram decoded into fields, or the fields a
// sender fills and encodes into its buffer. The payload belongs to the stream handlers; only the
// header is handled here. Header words are big-endian on the wire.
#include "platform/core/Bytes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vm {

// The radio maker's organisationally unique identifier in the class-identifier word.
inline constexpr std::uint32_t kVitaOui = 0x1C2D;
// Header bytes of a stream packet with class identifier, integer and fractional timestamps.
inline constexpr std::size_t kVitaStreamHeaderSize = 28;

struct VITA {
    VITA() = default;
    // Decodes the header of a datagram the packet does not own: `datagram` must outlive the packet
    // and everything that reads its payload (the stream router hands such packets to the handlers
    // for the length of a call). A datagram shorter than 28 bytes leaves every field zero and no
    // payload. Nothing in the header is trusted: a packet whose trailer flag and size field put the
    // trailer outside the datagram, or leave no room for it, gets no payload.
    explicit VITA(std::string_view datagram);
    // The same, for a datagram the packet keeps as its buffer.
    explicit VITA(std::shared_ptr<Bytes> packet);

    // Writes the header fields of `packet` into the front of its buffer, and with the trailer
    // flag the trailer into the word the size field names as the packet's last. False, writing
    // nothing, when the buffer cannot hold the header words or that trailer word.
    static bool encodeVitaPacket(VITA& packet);

    // A short text for log lines.
    std::string description() const;

    // The datagram when the packet owns it; null for a packet decoded over borrowed bytes.
    std::shared_ptr<Bytes> buffer;
    // Every byte of the received datagram, header included (owned or borrowed).
    std::string_view datagram;
    int packetType = 0;             // word 0 bits 31-28
    bool classIdPresent = false;    // bit 27
    bool trailerPresent = false;    // bit 26
    std::uint16_t tsi = 0;          // bits 23-22: integer timestamp kind
    std::uint16_t tsf = 0;          // bits 21-20: fractional timestamp kind
    std::uint16_t packetCount = 0;  // bits 19-16: sequence number modulo 16
    std::uint16_t packetSize = 0;  // bits 15-0: length in 32-bit words, header and trailer included
    bool streamIdPresent = false;  // types 1 and 3
    std::uint32_t streamId = 0;
    std::uint32_t oui = 0;
    std::uint16_t informationClassCode = 0;
    std::uint16_t packetClassCode = 0;
    std::uint32_t integerTimestamp = 0;
    std::uint32_t fracTimeStamp0 = 0;
    std::uint32_t fracTimeStamp1 = 0;
    // First payload byte inside `datagram`; null when the packet has none (too short, or a header
    // that does not fit the datagram). A payload of 0 bytes points at the end of the header.
    const char* payload = nullptr;
    std::uint32_t payloadLength = 0;
    std::uint32_t trailer = 0;
    // Firmware version of the sending radio, stamped by the stream router for the handlers.
    double fversion = 0;
};

}  // namespace vm
