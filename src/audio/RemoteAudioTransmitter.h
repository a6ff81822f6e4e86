#pragma once
// The transmit half of the remote-audio engine: captured microphone audio waits in a ring, is
// converted to 24000 Hz 16-bit stereo, measured (level and peak), cut into 240-frame Opus packets
// and handed to the send function.
//
// Threads: the capture callback only appends to the ring and wakes the transmit thread (no lock,
// no allocation, no send); the transmit thread converts, encodes and sends. A format change
// (a device change) rebuilds the converter and the encoder while capture is paused.
#include "audio/OpusCodecEncoder.h"
#include "localaudio/RingBuffer.h"
#include "platform/audio/AudioConverter.h"
#include "platform/core/WakeThread.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace vm {

class RemoteAudioTransmitter {
public:
    static constexpr std::uint32_t kInputBufferLength = 50000;
    static constexpr std::uint32_t kFramesPerPacket = 240;
    // Callbacks after each start that only fill the ring.
    static constexpr int kDelayBuffer = 3;

    using Send = std::function<void(const Bytes& opusPacket)>;

    // Starts the transmit thread; nothing is sent until a source format is set.
    explicit RemoteAudioTransmitter(Send send);
    ~RemoteAudioTransmitter();
    RemoteAudioTransmitter(const RemoteAudioTransmitter&) = delete;
    RemoteAudioTransmitter& operator=(const RemoteAudioTransmitter&) = delete;

    // 24000 Hz, 2 channels of signed 16-bit, interleaved.
    static AudioStreamBasicDescription transmitFormat();

    // The format of the audio appended from now on (the microphone's): rebuilds the converter and
    // the encoder and drops what the ring held. Call while capture is paused.
    void setSourceFormat(const AudioStreamBasicDescription& format);
    // Capture thread: appends one captured slice; after the first kDelayBuffer slices since
    // restart() the transmit thread is woken. False (logged) when it does not fit.
    bool appendCapture(const AudioBufferList* list, std::uint32_t frames);
    // Capture starts (again): the next slices pre-fill the ring first.
    void restart() { delayBuffer_.store(kDelayBuffer); }
    // Capture stopped: what the ring holds now is dropped before the transmit thread reads on.
    // Slices appended after this call (capture started again) are current and are kept.
    void clear();

    // Transmit PCM (transmitFormat(), any number of frames) into the encoder: every whole
    // 240-frame packet updates the levels and is sent. For the transmit thread, or a single other
    // producer while capture is stopped (sound files).
    void sendTransmitFrames(const AudioBufferList* pcm);

    // dB; -300 for silence.
    float micLevel() const { return micLevel_.load(); }
    float micPeakLevel() const { return micPeakLevel_.load(); }
    // The levels of one packet's interleaved 16-bit stereo frames (left channel).
    static void micLevels(const std::int16_t* samples, std::uint32_t frames, float* level,
                          float* peak);
    // Waits until the transmit thread has handled every slice appended so far.
    void waitUntilIdle();

private:
    void convertHeld();
    void encodeAndSend(const AudioBufferList* pcm);
    OSStatus provideInput(std::uint32_t* count, AudioBufferList* data);

    Send send_;
    RingBuffer inputBuffer_;
    bool ringReady_ = false;
    std::atomic<int> delayBuffer_{kDelayBuffer};
    std::atomic<float> micLevel_{-300};
    std::atomic<float> micPeakLevel_{-300};
    // Frames appended (capture thread) and taken (transmit thread) since the format was set, and
    // the appended count at the last clear(): what lies before it is stale.
    static constexpr std::uint64_t kNoMark = ~std::uint64_t{0};
    std::atomic<std::uint64_t> appendedFrames_{0};
    std::uint64_t takenFrames_ = 0;
    std::atomic<std::uint64_t> staleUpTo_{kNoMark};

    // The transmit thread's state, replaced under the mutex by setSourceFormat.
    std::mutex stateMutex_;
    AudioStreamBasicDescription sourceFormat_{};
    std::unique_ptr<AudioConverter> converter_;
    std::shared_ptr<OpusCodecEncoder> encoder_;
    std::vector<std::uint8_t> inputScratch_;  // the converter's input, dequeued from the ring
    std::vector<std::uint8_t> inputList_;
    std::uint32_t scratchBuffers_ = 0;
    std::vector<std::int16_t> packet_;  // one packet's frames, filled across rounds
    std::uint32_t packetFrames_ = 0;

    // The transmit thread, woken by the capture callback.
    WakeThread thread_{[this] { convertHeld(); }};
};

}  // namespace vm
