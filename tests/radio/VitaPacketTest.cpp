// The VITA-49 header: decoding against the simulated radio's own encoder, bounds on lying
// headers, and encoding as the audio senders use it.
#include "radio/VITA.h"
#include "support/sim/SimVita.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vm {
namespace {

VITA decode(const std::string& bytes) { return VITA(std::make_shared<Bytes>(bytes)); }

std::uint32_t wordAt(const Bytes& data, std::size_t index) {
    const auto* p = reinterpret_cast<const unsigned char*>(data.data()) + index * 4;
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

TEST(VitaPacket, DecodesWhatTheRadioEncodes) {
    struct Case {
        const char* what;
        sim::VitaHeader header;
        std::string payload;
        std::size_t payloadOffset;
    };
    sim::VitaHeader stream = sim::streamHeader(sim::kClassOpus, 0x4000000A, 9);
    stream.informationClassCode = 0x534C;
    stream.integerTimestamp = 0x11223344;
    stream.fracTimeStamp0 = 0x55667788;
    stream.fracTimeStamp1 = 0x99AABBCC;
    sim::VitaHeader bare = stream;  // no class id, no timestamps
    bare.classIdPresent = false;
    bare.tsi = 0;
    bare.tsf = 0;
    sim::VitaHeader context = stream;  // type 4 carries no stream id
    context.packetType = 4;
    sim::VitaHeader withTrailer = stream;
    withTrailer.trailerPresent = true;
    withTrailer.trailer = 0xDEADBEEF;
    const Case cases[] = {
        {"stream packet", stream, "abcdefgh", 28},
        {"header alone", stream, "", 28},
        {"payload not a whole word", stream, "abcde", 28},
        {"no class id or timestamps", bare, "abcdefghijklmnopqrstuvwx", 8},
        {"context packet", context, "abcd", 24},
        {"trailer", withTrailer, "abcdefgh", 28},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string bytes = sim::encodeVita(c.header, c.payload);
        const VITA p = decode(bytes);
        EXPECT_EQ(p.packetType, c.header.packetType);
        EXPECT_EQ(p.classIdPresent, c.header.classIdPresent);
        EXPECT_EQ(p.trailerPresent, c.header.trailerPresent);
        EXPECT_EQ(p.tsi, c.header.tsi);
        EXPECT_EQ(p.tsf, c.header.tsf);
        EXPECT_EQ(p.packetCount, c.header.packetCount);
        EXPECT_EQ(p.packetSize, (bytes.size() + 3) / 4);
        const bool hasStreamId = c.header.packetType == 1 || c.header.packetType == 3;
        EXPECT_EQ(p.streamIdPresent, hasStreamId);
        EXPECT_EQ(p.streamId, hasStreamId ? c.header.streamId : 0u);
        EXPECT_EQ(p.oui, c.header.classIdPresent ? sim::kOui : 0u);
        EXPECT_EQ(p.informationClassCode,
                  c.header.classIdPresent ? c.header.informationClassCode : 0);
        EXPECT_EQ(p.packetClassCode, c.header.classIdPresent ? c.header.packetClassCode : 0);
        EXPECT_EQ(p.integerTimestamp, c.header.tsi ? c.header.integerTimestamp : 0u);
        EXPECT_EQ(p.fracTimeStamp0, c.header.tsf ? c.header.fracTimeStamp0 : 0u);
        EXPECT_EQ(p.fracTimeStamp1, c.header.tsf ? c.header.fracTimeStamp1 : 0u);
        EXPECT_EQ(p.trailer, c.header.trailer);
        ASSERT_NE(p.payload, nullptr);
        EXPECT_EQ(p.payload, p.buffer->data() + c.payloadOffset);
        // A trailer packet's payload is padded to whole words in front of the trailer.
        const std::size_t padded =
            c.header.trailerPresent ? (c.payload.size() + 3) / 4 * 4 : c.payload.size();
        EXPECT_EQ(p.payloadLength, padded);
        EXPECT_EQ(std::string(p.payload, c.payload.size()), c.payload);

        // Decoded where it lies, as the stream router does: the same fields, and a payload inside
        // those very bytes.
        const VITA borrowed{std::string_view(bytes)};
        EXPECT_EQ(borrowed.buffer, nullptr);
        EXPECT_EQ(borrowed.datagram.data(), bytes.data());
        EXPECT_EQ(borrowed.payload, bytes.data() + c.payloadOffset);
        EXPECT_EQ(borrowed.payloadLength, p.payloadLength);
        EXPECT_EQ(borrowed.streamId, p.streamId);
        EXPECT_EQ(borrowed.trailer, p.trailer);
    }
}

TEST(VitaPacket, PacketsThatDoNotFitTheirHeaderGetNoPayload) {
    const std::string valid = sim::encodeVita(sim::streamHeader(sim::kClassMeter, 7), "abcdefgh");
    std::string trailerInHeader = valid;  // trailer flag, size field 3 words
    trailerInHeader[0] = static_cast<char>(trailerInHeader[0] | 0x04);
    trailerInHeader[2] = 0;
    trailerInHeader[3] = 3;
    std::string trailerSizeZero = trailerInHeader;
    trailerSizeZero[3] = 0;
    struct Case {
        const char* what;
        std::string bytes;
        bool headerRead;
    };
    const Case cases[] = {
        {"empty", "", false},
        {"12 bytes", sim::malformedPacket(sim::Malformation::Short, sim::kClassMeter, 7), false},
        {"cut header",
         sim::malformedPacket(sim::Malformation::TruncatedHeader, sim::kClassMeter, 7), false},
        {"size field far beyond",
         sim::malformedPacket(sim::Malformation::LyingLength, sim::kClassMeter, 7), true},
        {"trailer inside the header", trailerInHeader, true},
        {"size field zero", trailerSizeZero, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const VITA p = decode(c.bytes);
        EXPECT_EQ(p.payload, nullptr);
        EXPECT_EQ(p.payloadLength, 0u);
        EXPECT_EQ(p.trailer, 0u);
        EXPECT_EQ(p.oui, c.headerRead ? sim::kOui : 0u);
        EXPECT_EQ(p.packetClassCode, c.headerRead ? sim::kClassMeter : 0);
    }
}

// What the audio senders do: a zero-filled buffer of 28 + payload bytes, the header encoded into
// it, the payload written at byte 28.
TEST(VitaPacket, EncodesTheSendersHeaderAndDecodesItBack) {
    VITA out;
    out.buffer = std::make_shared<Bytes>(28 + 1196, '\0');
    out.packetType = 3;
    out.classIdPresent = true;
    out.tsi = 3;
    out.tsf = 1;
    out.packetCount = 15;
    out.packetSize = 300;
    out.streamId = 0x04000008;
    out.oui = kVitaOui;
    out.informationClassCode = 0x534C;
    out.packetClassCode = 0x8005;
    out.integerTimestamp = 0x01020304;
    out.fracTimeStamp0 = 0x05060708;
    out.fracTimeStamp1 = 0x090A0B0C;
    ASSERT_TRUE(VITA::encodeVitaPacket(out));
    Bytes& b = *out.buffer;
    EXPECT_EQ(wordAt(b, 0), 0x38DF012Cu);  // type 3, C, TSI 3, TSF 1, count 15, 300 words
    EXPECT_EQ(wordAt(b, 1), 0x04000008u);
    EXPECT_EQ(wordAt(b, 2), kVitaOui);
    EXPECT_EQ(wordAt(b, 3), 0x534C8005u);
    EXPECT_EQ(wordAt(b, 4), 0x01020304u);
    EXPECT_EQ(wordAt(b, 5), 0x05060708u);
    EXPECT_EQ(wordAt(b, 6), 0x090A0B0Cu);
    b[28] = 'X';

    const VITA in(std::make_shared<Bytes>(b));
    EXPECT_EQ(in.packetSize, 300);
    EXPECT_EQ(in.packetCount, 15);
    EXPECT_EQ(in.streamId, 0x04000008u);
    EXPECT_EQ(in.packetClassCode, 0x8005);
    EXPECT_EQ(in.fracTimeStamp1, 0x090A0B0Cu);
    EXPECT_EQ(in.payloadLength, 1196u);
    EXPECT_EQ(in.payload[0], 'X');
}

TEST(VitaPacket, EncodingRefusesBuffersTooSmallAndPutsTheTrailerLast) {
    VITA small;
    small.buffer = std::make_shared<Bytes>(20, '\0');  // C, TSI and TSF need 28 bytes
    small.classIdPresent = true;
    small.tsi = 3;
    small.tsf = 1;
    EXPECT_FALSE(VITA::encodeVitaPacket(small));
    EXPECT_EQ(*small.buffer, Bytes(20, '\0'));

    VITA trailing;
    trailing.buffer = std::make_shared<Bytes>(32, '\0');
    trailing.packetType = 1;
    trailing.trailerPresent = true;
    trailing.trailer = 0xCAFEF00D;
    trailing.packetSize = 9;  // beyond the buffer
    EXPECT_FALSE(VITA::encodeVitaPacket(trailing));
    trailing.packetSize = 8;
    ASSERT_TRUE(VITA::encodeVitaPacket(trailing));
    EXPECT_EQ(wordAt(*trailing.buffer, 7), 0xCAFEF00Du);
    const VITA back(trailing.buffer);
    EXPECT_EQ(back.trailer, 0xCAFEF00Du);
    EXPECT_EQ(back.payloadLength, 20u);
}

}  // namespace
}  // namespace vm
