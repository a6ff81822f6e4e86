#pragma once
// The receive half of one remote-audio stream: the PCM ring between the stream's queue (which
// decodes into it) and the output's render thread (which plays from it), and the Opus decoder.
// One is made per adopted receive stream; a new stream gets a new one once the old output has
// stopped, so nothing the render thread reads is freed under it.
//
// Only the render side empties the ring: an overflow or the latency cap asks for a clear, which
// the render callback honours before it reads. Every render fills the whole buffer, with silence
// after what the ring held.
//
// Packets arrive every 10 ms, each a little early or late, and the device takes a period's worth
// at a time. So that a late packet finds audio still waiting, playing starts only once the ring
// holds what the render asks for and a cushion of 10 ms more; the ring then stays that far ahead,
// as the radio and the sound card run at the same rate. A render that finds the ring short plays
// what is there, counts one under-run and waits for the cushion again (so does an emptied ring),
// which keeps the delay from growing by every gap. However large the device's period, the
// latency cap lies above the fill that playing waits for.
#include "audio/OpusCodecDecoder.h"
#include "localaudio/AudioOutputDelegate.h"
#include "localaudio/RingBuffer.h"

#include <atomic>
#include <cstdint>
#include <memory>

namespace vm {

class RemoteAudioPlayback : public AudioOutputDataSource {
public:
    static constexpr std::uint32_t kRingLength = 100000;
    // 125 ms of Opus-decoded audio (24000 Hz, 2 × 16 bits): the most the player may lag behind
    // what one render takes. Uncompressed audio has the same 125 ms in its own format.
    static constexpr std::int32_t kLatencyCap = 12001;
    static constexpr double kLatencyCapSeconds = 0.125;
    // How far ahead of the render the ring is filled before playing starts.
    static constexpr double kCushionSeconds = 0.010;

    // The ring and the decoder (24000 Hz stereo, made for both formats); nullptr when the ring
    // cannot be made (logged).
    static std::shared_ptr<RemoteAudioPlayback> create(bool compressed);
    ~RemoteAudioPlayback() override;
    RemoteAudioPlayback(const RemoteAudioPlayback&) = delete;
    RemoteAudioPlayback& operator=(const RemoteAudioPlayback&) = delete;

    // The PCM format the ring holds: Opus-decoded 24000 Hz 16-bit stereo, or the radio's
    // uncompressed 48000 Hz big-endian float stereo.
    static AudioStreamBasicDescription format(bool compressed);
    bool compressed() const { return compressed_; }

    // Producer (one thread at a time): decodes an Opus packet into the ring.
    void decodeAndWrite(const Bytes& packet);
    // Producer: copies PCM into the ring; a block that does not fit is dropped, counted and asks
    // for the ring to be emptied; a fill at the latency cap asks the same.
    void write(const char* bytes, std::uint32_t length);

    // Render thread: fills every buffer whole.
    OSStatus outputShouldFillAudioBufferList(AudioOutput& output, AudioBufferList* bufferList,
                                             std::uint32_t frames,
                                             const AudioTimeStamp& timestamp) override;

    std::int32_t fillCount() const { return ring_.fillCount.load(); }
    std::uint64_t overRuns() const { return overRuns_.load(); }
    // PCM bytes that went into the ring.
    std::uint64_t bytesWritten() const { return bytesWritten_.load(); }
    // Times playing ran out of audio and went back to waiting for the cushion.
    std::uint64_t underRuns() const { return underRuns_.load(); }

private:
    struct Private {};

public:
    RemoteAudioPlayback(Private, bool compressed);

private:
    const bool compressed_;
    RingBuffer ring_;
    bool ringReady_ = false;
    std::shared_ptr<OpusCodecDecoder> decoder_;
    std::atomic<std::uint64_t> overRuns_{0};
    std::atomic<std::uint64_t> underRuns_{0};
    std::atomic<std::uint64_t> bytesWritten_{0};
    const std::uint32_t cushionBytes_;
    // The fill at which the ring is emptied: 125 ms of the format, plus the largest render seen,
    // so that the fill playing waits for (a render and the cushion) is always below it.
    const std::int32_t latencyCapBytes_;
    std::atomic<std::uint32_t> largestPullBytes_{0};
    bool playing_ = false;  // render thread only
};

}  // namespace vm
