#include "support/sim/SimAudio.h"

#include <opus/opus.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace vm::sim {

std::vector<float> stereoTone(double hz, double rate, std::size_t frames, double amplitude,
                              std::size_t firstFrame) {
    std::vector<float> out(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = double(firstFrame + i) / rate;
        const auto value = float(amplitude * std::sin(2 * std::numbers::pi * hz * t));
        out[i * 2] = value;
        out[i * 2 + 1] = value;
    }
    return out;
}

std::vector<std::int16_t> toInt16(const std::vector<float>& samples) {
    std::vector<std::int16_t> out(samples.size());
    std::transform(samples.begin(), samples.end(), out.begin(), [](float s) {
        return std::int16_t(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f));
    });
    return out;
}

SimOpusEncoder::SimOpusEncoder() {
    int error = 0;
    encoder_ = opus_encoder_create(kOpusRate, 2, OPUS_APPLICATION_AUDIO, &error);
    opus_encoder_ctl(encoder_, OPUS_SET_BITRATE(96000));
}

SimOpusEncoder::~SimOpusEncoder() { opus_encoder_destroy(encoder_); }

std::string SimOpusEncoder::encode(const std::int16_t* frames) {
    unsigned char packet[4000];
    const opus_int32 size = opus_encode(encoder_, frames, kOpusFrames, packet, sizeof packet);
    return size > 0 ? std::string(reinterpret_cast<char*>(packet), std::size_t(size))
                    : std::string();
}

std::vector<std::string> SimOpusEncoder::tone(double hz, int packets, double amplitude) {
    std::vector<std::string> out;
    for (int p = 0; p < packets; ++p) {
        const auto pcm = toInt16(stereoTone(hz, kOpusRate, kOpusFrames, amplitude, frame_));
        frame_ += kOpusFrames;
        out.push_back(encode(pcm.data()));
    }
    return out;
}

SimOpusDecoder::SimOpusDecoder() {
    int error = 0;
    decoder_ = opus_decoder_create(kOpusRate, 2, &error);
}

SimOpusDecoder::~SimOpusDecoder() { opus_decoder_destroy(decoder_); }

std::vector<std::int16_t> SimOpusDecoder::decode(std::string_view packet) {
    std::vector<std::int16_t> pcm(5760 * 2);
    const int frames = opus_decode(decoder_, reinterpret_cast<const unsigned char*>(packet.data()),
                                   opus_int32(packet.size()), pcm.data(), 5760, 0);
    pcm.resize(frames > 0 ? std::size_t(frames) * 2 : 0);
    return pcm;
}

std::string bigEndianFloats(const std::vector<float>& samples) {
    std::string out(samples.size() * 4, '\0');
    for (std::size_t i = 0; i < samples.size(); ++i) {
        uint32_t word;
        std::memcpy(&word, &samples[i], 4);
        for (int b = 0; b < 4; ++b) {
            out[i * 4 + std::size_t(b)] = char((word >> (24 - 8 * b)) & 0xFF);
        }
    }
    return out;
}

std::vector<float> floatsFromBigEndian(std::string_view bytes) {
    std::vector<float> out(bytes.size() / 4);
    for (std::size_t i = 0; i < out.size(); ++i) {
        uint32_t word = 0;
        for (int b = 0; b < 4; ++b) {
            word = word << 8 | uint8_t(bytes[i * 4 + std::size_t(b)]);
        }
        std::memcpy(&out[i], &word, 4);
    }
    return out;
}

namespace {

uint32_t wordAt(std::string_view bytes, std::size_t index) {
    uint32_t word = 0;
    for (std::size_t b = 0; b < 4; ++b) {
        word = word << 8 | uint8_t(bytes[index * 4 + b]);
    }
    return word;
}

}  // namespace

std::optional<ReceivedPacket> readStreamPacket(std::string_view datagram) {
    if (datagram.size() < 28) {
        return std::nullopt;
    }
    ReceivedPacket p;
    const uint32_t w0 = wordAt(datagram, 0);
    p.packetType = uint8_t(w0 >> 28);
    p.classIdPresent = (w0 >> 27) & 1;
    p.trailerPresent = (w0 >> 26) & 1;
    p.tsi = uint8_t((w0 >> 22) & 3);
    p.tsf = uint8_t((w0 >> 20) & 3);
    p.packetCount = uint8_t((w0 >> 16) & 0xF);
    p.packetSize = uint16_t(w0 & 0xFFFF);
    p.streamId = wordAt(datagram, 1);
    p.oui = wordAt(datagram, 2);
    const uint32_t codes = wordAt(datagram, 3);
    p.informationClassCode = uint16_t(codes >> 16);
    p.packetClassCode = uint16_t(codes & 0xFFFF);
    p.timestamps = std::string(datagram.substr(16, 12));
    p.payload = std::string(datagram.substr(28));
    return p;
}

double toneFrequency(const std::vector<float>& mono, double rate) {
    std::vector<double> rising;
    for (std::size_t i = 1; i < mono.size(); ++i) {
        if (mono[i - 1] < 0 && mono[i] >= 0) {
            // Interpolated crossing.
            const double fraction = mono[i - 1] / double(mono[i - 1] - mono[i]);
            rising.push_back(double(i - 1) + fraction);
        }
    }
    if (rising.size() < 2) {
        return 0;
    }
    return rate * double(rising.size() - 1) / (rising.back() - rising.front());
}

double rmsLevel(const std::vector<float>& mono) {
    double sum = 0;
    for (const float s : mono) {
        sum += double(s) * s;
    }
    return mono.empty() ? 0 : std::sqrt(sum / double(mono.size()));
}

}  // namespace vm::sim
