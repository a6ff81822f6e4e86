#pragma once
// The simulated radio's audio: receive audio as the radio codes it (Opus packets of 240 frames at
// 24000 Hz stereo, or uncompressed 48000 Hz stereo big-endian floats, the DAX format too), and
// the decoding of the client's transmit packets. Built on libopus directly, apart from the
// client's codec classes.
#include "support/sim/SimVita.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct OpusEncoder;
struct OpusDecoder;

namespace vm::sim {

inline constexpr int kOpusRate = 24000;
inline constexpr int kOpusFrames = 240;  // one packet: 10 ms

// Interleaved stereo: the same sine of `hz` in both channels, `amplitude` of full scale.
std::vector<float> stereoTone(double hz, double rate, std::size_t frames, double amplitude,
                              std::size_t firstFrame = 0);
std::vector<std::int16_t> toInt16(const std::vector<float>& samples);

// The radio's receive-audio encoder: 24000 Hz stereo, one packet per 240 frames.
class SimOpusEncoder {
public:
    SimOpusEncoder();
    ~SimOpusEncoder();
    SimOpusEncoder(const SimOpusEncoder&) = delete;
    SimOpusEncoder& operator=(const SimOpusEncoder&) = delete;
    // 240 interleaved stereo frames.
    std::string encode(const std::int16_t* frames);
    // `packets` packets of a continuous tone.
    std::vector<std::string> tone(double hz, int packets, double amplitude);

private:
    OpusEncoder* encoder_ = nullptr;
    std::size_t frame_ = 0;
};

// 24000 Hz stereo decoding of the client's Opus packets, in order of arrival.
class SimOpusDecoder {
public:
    SimOpusDecoder();
    ~SimOpusDecoder();
    SimOpusDecoder(const SimOpusDecoder&) = delete;
    SimOpusDecoder& operator=(const SimOpusDecoder&) = delete;
    // Interleaved stereo frames; none for a packet that does not decode.
    std::vector<std::int16_t> decode(std::string_view packet);

private:
    OpusDecoder* decoder_ = nullptr;
};

// Interleaved floats as big-endian 32-bit words (uncompressed receive audio and DAX).
std::string bigEndianFloats(const std::vector<float>& samples);
std::vector<float> floatsFromBigEndian(std::string_view bytes);

// A stream packet as the radio reads it: its header words and its payload.
struct ReceivedPacket {
    uint8_t packetType = 0;
    bool classIdPresent = false;
    bool trailerPresent = false;
    uint8_t tsi = 0;
    uint8_t tsf = 0;
    uint8_t packetCount = 0;
    uint16_t packetSize = 0;  // in 32-bit words
    uint32_t streamId = 0;
    uint32_t oui = 0;
    uint16_t informationClassCode = 0;
    uint16_t packetClassCode = 0;
    std::string timestamps;  // bytes 16..27
    std::string payload;
};
// None when the datagram is shorter than a 28-byte header.
std::optional<ReceivedPacket> readStreamPacket(std::string_view datagram);

// The frequency of a mono signal from its zero crossings (rising edges), and its RMS level.
double toneFrequency(const std::vector<float>& mono, double rate);
double rmsLevel(const std::vector<float>& mono);

}  // namespace vm::sim
