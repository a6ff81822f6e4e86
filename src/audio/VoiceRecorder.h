#pragma once
// Records what the remote-audio microphone captures into a sound file, with the levels of the
// recording level meters and the elapsed time.
//
// The file is a 44100 Hz stereo WAVE file of 32-bit float samples: no AAC encoder is available, so
// a recording asked for under an "m4a" name is written as WAVE under the same name with the
// extension "wav" (see recordingPath). It is written under a hidden temporary name and renamed
// when it is finished (FileRecorder), and it ends by itself after an hour.
//
// Threads: the capture callback only copies the slice into a ring and wakes the writer thread (no
// lock, no allocation, no disk); the writer thread measures the levels and writes the file.
// Starting, stopping, the format and the meters are the main thread's.
#include "localaudio/FileRecorder.h"
#include "localaudio/RingBuffer.h"
#include "platform/audio/AudioBufferStorage.h"
#include "platform/audio/SampleFormat.h"
#include "platform/core/WakeThread.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vm {

class VoiceRecorder {
public:
    static constexpr double kSampleRate = 44100;
    static constexpr std::uint32_t kChannels = 2;
    static constexpr double kMaximumDuration = 3600;  // seconds
    // Level meters show 0 to 8; a channel with nothing recorded yet is silent.
    static constexpr float kSilence = -300;

    VoiceRecorder();
    // Finishes a recording under way.
    ~VoiceRecorder();
    VoiceRecorder(const VoiceRecorder&) = delete;
    VoiceRecorder& operator=(const VoiceRecorder&) = delete;

    // The format of the captured slices (the microphone's). A recording under way writes what it
    // holds in the old format first, then goes on in the new one. Call while capture is paused.
    void setSourceFormat(const AudioStreamBasicDescription& format);
    // The file a recording asked for under `path` is written to: the extension becomes "wav",
    // and a name taken already gets a number (" 1", " 2", ...) before it.
    static std::string recordingPath(const std::string& path);
    // Starts a recording to `path` (a name from recordingPath); false with the reason in `error`.
    bool record(const std::string& path, Error* error);
    // Writes what is held and finishes the file; false when there was no recording.
    bool stop();
    bool isRecording() const { return recording_.load(); }
    // Seconds written so far.
    double currentTime() const;

    // Capture thread: appends one captured slice while recording.
    void appendCapture(const AudioBufferList* list, std::uint32_t frames);
    // Waits until the writer thread has written every slice appended so far.
    void waitUntilWritten();

    // The average power in dB of each channel over the audio written since the last call
    // (kSilence for none, or for silence), taken as the meters' levels.
    void updateMeters();
    float averagePowerForChannel(std::uint32_t channel) const;

    // A level meter's value, 0 to 8, for an average power in dB.
    static double powerIndicatorLevel(double averagePower);
    // "mm:ss" of an elapsed time in seconds, rounded to the whole second.
    static std::string elapsedText(double seconds);

private:
    // Writer thread, with fileMutex_ held.
    void writeHeld();
    void finishLocked(bool successfully);

    RingBuffer ring_;
    bool ringReady_ = false;
    std::atomic<bool> recording_{false};
    AudioStreamBasicDescription sourceFormat_{};

    mutable std::mutex fileMutex_;  // the file, the scratch buffers and the meter sums
    std::shared_ptr<FileRecorder> file_;
    PcmLayout layout_{};
    bool layoutValid_ = false;
    AudioBufferStorage scratch_;
    std::vector<float> samples_;
    double sumSquares_[kChannels] = {0, 0};
    std::uint64_t measuredFrames_ = 0;
    float averagePower_[kChannels] = {kSilence, kSilence};

    // The writer thread, woken by the capture callback.
    WakeThread thread_{[this] {
        std::lock_guard lock(fileMutex_);
        writeHeld();
    }};
};

}  // namespace vm
