#pragma once
// The simulated radio's own VITA-49 encoder and the payloads of its streams. Written apart from
// the client's decoder so that the two check each other. All header words and payload numbers are
// big-endian.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vm::sim {

inline constexpr uint32_t kOui = 0x1C2D;

// Packet class codes of the radio's streams.
enum ClassCode : uint16_t {
    kClassMeter = 0x8002,
    kClassPanFft = 0x8003,
    kClassWaterfall = 0x8004,
    kClassOpus = 0x8005,
    kClassDaxAudio = 0x03E3,
    kClassDiscovery = 0xFFFF,
};

// The stream id the simulated radio puts on its meter packets (routing uses the meter numbers in
// the payload, not this id).
inline constexpr uint32_t kMeterStreamId = 0x00000700;

struct VitaHeader {
    uint8_t packetType = 3;  // 1 and 3 carry a stream id
    bool classIdPresent = true;
    bool trailerPresent = false;
    uint8_t tsi = 3;          // 0..3
    uint8_t tsf = 1;          // 0..3
    uint8_t packetCount = 0;  // 0..15
    uint32_t streamId = 0;
    uint32_t oui = kOui;
    uint16_t informationClassCode = 0;
    uint16_t packetClassCode = 0;
    uint32_t integerTimestamp = 0;
    uint32_t fracTimeStamp0 = 0;
    uint32_t fracTimeStamp1 = 0;
    uint32_t trailer = 0;
};

// Header bytes in front of the payload for these flags (28 for a stream packet with class id,
// integer and fractional timestamps).
size_t vitaHeaderSize(const VitaHeader& header);

// The packet: header, payload, and the trailer word when the flag is set. The size field counts
// the packet's 32-bit words, rounded up. With a trailer the payload is padded with zero bytes to a
// whole word, so the trailer is the packet's last word; without one the payload goes out as given.
std::string encodeVita(const VitaHeader& header, std::string_view payload);

// A type-3 stream packet header with class id, TSI 3 and TSF 1.
VitaHeader streamHeader(uint16_t classCode, uint32_t streamId, uint8_t packetCount = 0);

struct MeterValue {
    uint16_t meter = 0;
    int16_t value = 0;
};

// Meter number and raw value pairs, 16 bits each.
std::string meterPayload(const std::vector<MeterValue>& values);

// One FFT packet of a panadapter. The layout of firmware 3.3 and later unless `olderLayout`.
struct FftFrame {
    uint16_t startBin = 0;
    uint16_t binSize = 2;
    uint16_t totalBins = 0;  // 0: startBin + the number of bins
    uint32_t frameIndex = 0;
    std::vector<uint16_t> bins;
    bool olderLayout = false;
};
std::string fftPayload(const FftFrame& frame);
// A whole spectrum frame as the radio splits it: `bins` in `packets` runs of (nearly) equal
// length, each packet with its start bin, the frame's total (3.3 layout) and the frame index.
std::vector<std::string> fftFramePayloads(const std::vector<uint16_t>& bins, uint32_t frameIndex,
                                          size_t packets, bool olderLayout = false);

// One waterfall tile. The layout of firmware 3.3 and later unless `olderLayout`. `width` and
// `height` are written as given, whatever the size of `data`.
struct WaterfallTile {
    uint64_t firstPixelFreq = 0;  // Hz scaled by 2^20: see tileFrequency
    uint64_t binBandwidth = 0;
    uint32_t lineDuration = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint32_t timecode = 0;
    uint32_t autoBlack = 0;
    uint16_t totalBins = 0;
    uint16_t firstBin = 0;
    std::vector<uint16_t> data;
    bool olderLayout = false;
};
std::string waterfallPayload(const WaterfallTile& tile);
// One waterfall line (`line.height` 1, `line.data` the whole line) as the 3.3 firmware splits it:
// `segments` tiles of (nearly) equal width sharing the line's timecode, each with its first bin
// and the line's total; the frequency of each segment's first column follows from the line's.
std::vector<std::string> waterfallLinePayloads(const WaterfallTile& line, size_t segments);

// A frequency in MHz in the tile header's fixed point (MHz × 2^20 × 10^6).
uint64_t tileFrequency(double mhz);

// Packets that a robust receiver must drop.
enum class Malformation {
    Short,            // 12 bytes: less than any header
    TruncatedHeader,  // 24 bytes: the header of a stream packet cut before its last word
    LyingLength,      // a 28-byte header alone whose trailer flag and size field (0xFFFF words)
                      // claim more than the datagram holds
    WrongOui,         // a complete meter packet of another organisation
};
std::string malformedPacket(Malformation kind, uint16_t classCode, uint32_t streamId);

}  // namespace vm::sim
