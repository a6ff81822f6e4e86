#pragma once
// Encodes PCM buffer lists of any length into Opus packets of 240 frames each. Frames short of a
// whole packet wait in a ring buffer for the next call.
#include "audio/OpusCodec.h"
#include "localaudio/RingBuffer.h"
#include "platform/audio/AudioTypes.h"
#include "platform/core/Bytes.h"
#include "platform/core/Error.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

struct OpusEncoder;

namespace vm {

class OpusCodecEncoder : public OpusCodec, public std::enable_shared_from_this<OpusCodecEncoder> {
public:
    static constexpr std::uint32_t kFrameSize = 240;
    static constexpr std::uint32_t kCircularBufferLength = 28800;
    static constexpr std::uint64_t kEncoderBufferLength = 40000;

    // Called once per packet: the packet, or (with an empty packet) the error that ended encoding.
    using Completion = std::function<void(const Bytes& packet, const Error* error)>;

    OpusCodecEncoder(int sampleRate, int numberOfChannels);
    ~OpusCodecEncoder() override;

    // An encoder for PCM in `format` (16-bit integers or 32-bit floats, interleaved or one
    // buffer per channel), set up with the application code; nullptr with `error` set (another
    // format is refused as a bad argument, with the reason as details).
    static std::shared_ptr<OpusCodecEncoder> encoderForASBD(
        const AudioStreamBasicDescription& format, int application, Error* error);

    // Application codes: 0 voice, 1 audio, 2 restricted low delay; bandwidth codes 0 (narrow)
    // to 4 (full). Anything else maps to -1.
    static int opusApplicationForOpusCodecApplication(int application);
    static int opusBandwidthForOpusCodecBandwidth(int bandwidth);

    bool setupEncoderWithApplication(int application, Error* error);

    // Each takes effect only once the encoder is set up; the value reaches the encoder shortly
    // after, from the processing queue. Needs the encoder to be owned by a shared_ptr.
    void setBitrate(std::uint64_t bitrate);
    void setComplexity(std::uint64_t complexity);
    void setMaxBandwidth(std::uint64_t maxBandwidth);
    void setUseInBandFEC(bool useInBandFEC);
    std::uint64_t bitrate() const { return bitrate_; }
    std::uint64_t complexity() const { return complexity_; }
    std::uint64_t maxBandwidth() const { return maxBandwidth_; }
    bool useInBandFEC() const { return useInBandFEC_; }
    int application() const { return application_; }
    std::uint64_t encoderBufferLength() const { return encoderBufferLength_; }
    const AudioStreamBasicDescription& inputASBD() const { return inputASBD_; }

    // Appends the list's frames and encodes every whole packet now held, on the calling thread.
    // A list in one buffer per channel must hold a buffer for each channel, or nothing is taken.
    void encodeBufferList(const AudioBufferList* bufferList, const Completion& completion);

    // Frames waiting for the next packet.
    std::uint32_t heldFrames();

private:
    void control(int request, int value);
    // One packet's runs of channelData_ into frameData_, frame after frame.
    void interleave(std::uint32_t channels, std::uint32_t sampleBytes);

    std::atomic<bool> useInBandFEC_{false};
    int application_ = 0;
    std::atomic<std::uint64_t> bitrate_{0};
    std::atomic<std::uint64_t> complexity_{0};
    std::atomic<std::uint64_t> maxBandwidth_{0};
    // Encoding and the control calls from the processing queue take turns on the encoder.
    std::mutex encoderMutex_;
    OpusEncoder* encoder_ = nullptr;
    std::vector<unsigned char> encoderOutputBuffer_;
    std::uint64_t encoderBufferLength_ = 0;
    std::unique_ptr<RingBuffer> circularBuffer_;
    std::vector<std::uint8_t> frameData_;    // one packet's frames, interleaved
    std::vector<std::uint8_t> channelData_;  // the same, one run per channel (non-interleaved)
    std::vector<std::uint8_t> frameList_;
    AudioStreamBasicDescription inputASBD_{};
};

}  // namespace vm
