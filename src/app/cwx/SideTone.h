#pragma once
// The local side tone: the CW text the radio keys, sounded in Morse on a local output device.
// Characters are turned into key-down and key-up runs counted in samples and handed to the audio
// thread through a fixed ring; the render callback plays them back to back, so the timing is
// exact to the sample whatever the threads are doing: a dit lasts 1000 / wpm ms, elements are one
// dit apart, characters three and words seven. The tone starts and stops at full amplitude on a
// sample boundary.
//
// Threads: one thread queues characters (the controller's side-tone queue); the settings and
// cancel() may be called from any thread; the render callback runs on the device's audio thread,
// where it neither allocates nor takes a lock.
#include "platform/audio/AudioTypes.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace vm {

class AudioDeviceStream;

class SideTone {
public:
    // The rate asked of the device; a device that does not take it plays at its own rate.
    static constexpr double kPreferredSampleRate = 4100;
    static constexpr double kAmplitude = 0.8;

    SideTone();
    ~SideTone();
    SideTone(const SideTone&) = delete;
    SideTone& operator=(const SideTone&) = delete;

    // Opens and starts a mono stream on the output device (kAudioObjectUnknown: the system's
    // current output). False, and off, when there is no output device or it cannot play, or the
    // sound system has not started yet.
    bool open(AudioDeviceID device);
    void close();
    bool isOpen() const { return open_.load(); }
    AudioDeviceID device() const { return device_; }
    double sampleRate() const { return sampleRate_.load(); }

    void setFrequency(double hz) { frequency_.store(hz); }
    void setVolume(float volume) { volume_.store(volume); }
    void setDitMs(double ms) { ditMs_.store(ms); }
    double ditMs() const { return ditMs_.load(); }

    // Queues one character and its gap (three dits after the last element, seven after a space;
    // a character without a code keeps its gap). Waits while the ring is full; false when
    // cancelled meanwhile or the side tone is closed.
    bool queueCharacter(char c);
    // Drops what is queued: the audio thread goes silent at its next buffer.
    void cancel();
    // Characters queued so far, and those whose sounding has begun (or were dropped): character n
    // (counting from 0) has begun once charactersStarted() > n.
    std::uint64_t charactersQueued() const { return charactersQueued_.load(); }
    std::uint64_t charactersStarted() const { return charactersStarted_.load(); }

    // Fills `frames` mono samples: the audio thread's work, public for the device callback.
    void render(float* out, std::uint32_t frames);

private:
    struct Run {
        std::uint32_t samples = 0;
        bool keyDown = false;
        bool startsCharacter = false;
    };
    static constexpr std::size_t kRingSize = 1024;

    bool push(Run run);
    std::uint32_t samplesFor(double dits) const;

    std::unique_ptr<AudioDeviceStream> stream_;
    std::atomic<bool> open_{false};
    AudioDeviceID device_ = kAudioObjectUnknown;
    std::atomic<double> sampleRate_{kPreferredSampleRate};
    std::atomic<double> frequency_{600};
    std::atomic<float> volume_{1.0f};
    std::atomic<double> ditMs_{50};

    // Single producer (the queueing thread), single consumer (the audio thread).
    std::array<Run, kRingSize> ring_{};
    std::atomic<std::uint64_t> head_{0};  // written by the producer
    std::atomic<std::uint64_t> tail_{0};  // written by the consumer
    std::atomic<bool> flush_{false};      // asks the consumer to drop everything
    std::atomic<std::uint64_t> cancels_{0};
    std::atomic<std::uint64_t> charactersQueued_{0};   // written by the producer
    std::atomic<std::uint64_t> charactersStarted_{0};  // written by the consumer
    // The audio thread's own state.
    Run current_{};
    double theta_ = 0;
};

}  // namespace vm
