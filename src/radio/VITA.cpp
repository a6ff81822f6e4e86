// Decoding and encoding of the VITA-49 header.
#include "radio/VITA.h"

#include <fmt/format.h>

#include <bit>
#include <cstring>

namespace vm {

namespace {

std::uint32_t wordAt(std::string_view data, std::size_t offset) {
    std::uint32_t word;
    std::memcpy(&word, data.data() + offset, sizeof word);
    return std::endian::native == std::endian::big ? word : __builtin_bswap32(word);
}

void putWord(Bytes& data, std::size_t index, std::uint32_t value) {
    auto* p = reinterpret_cast<unsigned char*>(data.data()) + index * 4;
    p[0] = static_cast<unsigned char>(value >> 24);
    p[1] = static_cast<unsigned char>(value >> 16);
    p[2] = static_cast<unsigned char>(value >> 8);
    p[3] = static_cast<unsigned char>(value);
}

bool carriesStreamId(int packetType) { return packetType == 1 || packetType == 3; }

}  // namespace

VITA::VITA(std::shared_ptr<Bytes> packet) : VITA(packet ? std::string_view(*packet) : "") {
    buffer = std::move(packet);
}

VITA::VITA(std::string_view data) : datagram(data) {
    if (data.size() < kVitaStreamHeaderSize) {
        return;
    }
    const std::uint32_t word0 = wordAt(data, 0);
    packetType = static_cast<int>(word0 >> 28);
    classIdPresent = (word0 >> 27 & 1) != 0;
    trailerPresent = (word0 >> 26 & 1) != 0;
    tsi = static_cast<std::uint16_t>(word0 >> 22 & 3);
    tsf = static_cast<std::uint16_t>(word0 >> 20 & 3);
    packetCount = static_cast<std::uint16_t>(word0 >> 16 & 0xF);
    packetSize = static_cast<std::uint16_t>(word0);

    // The optional words take at most 24 bytes after word 0, so with 28 bytes they all fit.
    std::size_t offset = 4;
    if (carriesStreamId(packetType)) {
        streamIdPresent = true;
        streamId = wordAt(data, offset);
        offset += 4;
    }
    if (classIdPresent) {
        oui = wordAt(data, offset);
        const std::uint32_t codes = wordAt(data, offset + 4);
        informationClassCode = static_cast<std::uint16_t>(codes >> 16);
        packetClassCode = static_cast<std::uint16_t>(codes);
        offset += 8;
    }
    if (tsi != 0) {
        integerTimestamp = wordAt(data, offset);
        offset += 4;
    }
    if (tsf != 0) {
        fracTimeStamp0 = wordAt(data, offset);
        fracTimeStamp1 = wordAt(data, offset + 4);
        offset += 8;
    }

    std::size_t end = data.size();
    if (trailerPresent) {
        // The size field places the trailer: it must lie behind the header and inside the
        // datagram.
        const std::size_t trailerEnd = std::size_t{packetSize} * 4;
        if (trailerEnd < offset + 4 || trailerEnd > data.size()) {
            return;
        }
        trailer = wordAt(data, trailerEnd - 4);
        end -= 4;
    }
    payload = data.data() + offset;
    payloadLength = static_cast<std::uint32_t>(end - offset);
}

bool VITA::encodeVitaPacket(VITA& packet) {
    if (!packet.buffer) {
        return false;
    }
    Bytes& data = *packet.buffer;
    std::size_t index = packet.classIdPresent ? 4 : 2;
    const std::size_t timestampWords = (packet.tsi != 0 ? 1 : 0) + (packet.tsf != 0 ? 2 : 0);
    const std::size_t headerWords = index + timestampWords;
    if (data.size() < headerWords * 4) {
        return false;
    }
    const std::size_t trailerWord = std::size_t{packet.packetSize} - 1;
    if (packet.trailerPresent &&
        (packet.packetSize <= headerWords || std::size_t{packet.packetSize} * 4 > data.size())) {
        return false;
    }

    putWord(data, 0,
            (static_cast<std::uint32_t>(packet.packetType) & 0xF) << 28 |
                std::uint32_t{packet.classIdPresent} << 27 |
                std::uint32_t{packet.trailerPresent} << 26 | (std::uint32_t{packet.tsi} & 3) << 22 |
                (std::uint32_t{packet.tsf} & 3) << 20 |
                (std::uint32_t{packet.packetCount} & 0xF) << 16 | packet.packetSize);
    putWord(data, 1, packet.streamId);
    if (packet.classIdPresent) {
        putWord(data, 2, packet.oui);
        putWord(data, 3, std::uint32_t{packet.informationClassCode} << 16 | packet.packetClassCode);
    }
    if (packet.tsi != 0) {
        putWord(data, index++, packet.integerTimestamp);
    }
    if (packet.tsf != 0) {
        putWord(data, index++, packet.fracTimeStamp0);
        putWord(data, index++, packet.fracTimeStamp1);
    }
    if (packet.trailerPresent) {
        putWord(data, trailerWord, packet.trailer);
    }
    return true;
}

std::string VITA::description() const {
    return fmt::format("VITA type:{} class:0x{:04X} stream:0x{:08X} count:{} size:{} length:{}",
                       packetType, packetClassCode, streamId, packetCount, packetSize,
                       buffer ? buffer->size() : datagram.size());
}

}  // namespace vm
