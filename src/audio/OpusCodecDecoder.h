#pragma once
// Decodes Opus packets to signed 16-bit interleaved PCM.
#include "audio/OpusCodec.h"
#include "platform/audio/AudioTypes.h"
#include "platform/core/Bytes.h"
#include "platform/core/Error.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct OpusDecoder;

namespace vm {

class OpusCodecDecoder : public OpusCodec, public std::enable_shared_from_this<OpusCodecDecoder> {
public:
    // The most frames one packet decodes to (120 ms at 48 kHz).
    static constexpr int kMaximumFrames = 5760;

    // pcm: numberOfChannels × frames 16-bit samples; error set (and pcm empty) on failure.
    using Completion = std::function<void(const Bytes& pcm, int frames, const Error* error)>;

    OpusCodecDecoder(int sampleRate, int numberOfChannels);
    ~OpusCodecDecoder() override;

    // A decoder for the description's rate and channels, set up; nullptr with `error` set.
    static std::shared_ptr<OpusCodecDecoder> decoderForASBD(
        const AudioStreamBasicDescription& format, Error* error);

    bool setupDecoderWithError(Error* error);

    // Decodes on the calling thread; the completion runs only when the packet decoded.
    void decodePacketSync(const Bytes& packet, const Completion& completion);
    // Decodes on the processing queue; the completion also hears of failures. Needs the
    // decoder to be owned by a shared_ptr.
    void decodePacket(const Bytes& packet, Completion completion);

    bool forwardErrorCorrection() const { return forwardErrorCorrection_; }
    void setForwardErrorCorrection(bool on) { forwardErrorCorrection_ = on; }
    std::uint64_t decoderBufferLength() const { return decoderBufferLength_; }

private:
    // The frame count, or a negative Opus error code.
    int decode(const Bytes& packet);

    bool forwardErrorCorrection_ = false;
    OpusDecoder* decoder_ = nullptr;
    std::vector<std::int16_t> outputBuffer_;
    std::uint64_t decoderBufferLength_ = 0;
};

}  // namespace vm
