#pragma once
// Plays an AudioFile through an AudioOutput: play, pause, loop, seek, volume, pan and the output
// device, with each change announced as a notification (object: the player) on the default
// notification center.
//
// The file is read on the output's render thread. Reaching the end without looping stops the
// output, which cannot be done from inside its own render callback: the render thread hands that
// step (pause, back to frame 0, state EndOfFile, the end-of-file notification) to the player's
// queue, and renders silence until it has run.
#include "localaudio/AtomicWeakPtr.h"
#include "localaudio/AudioFile.h"
#include "localaudio/AudioOutput.h"
#include "platform/core/DispatchQueue.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

namespace vm {

class AudioPlayer;

extern const char* const AudioPlayerDidChangeAudioFileNotification;
extern const char* const AudioPlayerDidSeekNotification;
extern const char* const AudioPlayerDidChangePanNotification;
extern const char* const AudioPlayerDidChangeVolumeNotification;
extern const char* const AudioPlayerDidReachEndOfFileNotification;
extern const char* const AudioPlayerDidChangeOutputDeviceNotification;
extern const char* const AudioPlayerDidChangePlayStateNotification;

enum class AudioPlayerState : std::uint64_t {
    EndOfFile = 0,  // the end was reached without looping
    Paused = 1,
    Playing = 2,
    Ready = 3,  // after set-up
    Seeking = 4,
};

// What a player tells its delegate. Every method has an empty default. The end of the file,
// positions and played audio are told on the render thread.
class AudioPlayerDelegate {
public:
    virtual ~AudioPlayerDelegate() = default;
    virtual void audioPlayerReachedEndOfAudioFile(AudioPlayer& player, AudioFile& audioFile);
    virtual void audioPlayerUpdatedPosition(AudioPlayer& player, std::int64_t framePosition,
                                            AudioFile& audioFile);
    // Whether audioPlayerPlayedAudio is wanted (each buffer is converted to float for it).
    virtual bool takesPlayedAudio() const;
    virtual void audioPlayerPlayedAudio(AudioPlayer& player, float** buffer,
                                        std::uint32_t bufferSize, std::uint32_t numberOfChannels,
                                        AudioFile& audioFile);
};

class AudioPlayer : public AudioOutputDataSource,
                    public AudioOutputDelegate,
                    public AudioFileDelegate,
                    public std::enable_shared_from_this<AudioPlayer> {
public:
    ~AudioPlayer() override;
    AudioPlayer(const AudioPlayer&) = delete;
    AudioPlayer& operator=(const AudioPlayer&) = delete;

    static std::shared_ptr<AudioPlayer> audioPlayer();
    static std::shared_ptr<AudioPlayer> audioPlayerWithDelegate(
        std::weak_ptr<AudioPlayerDelegate> delegate);
    static std::shared_ptr<AudioPlayer> audioPlayerWithAudioFile(
        const std::shared_ptr<AudioFile>& audioFile);
    static std::shared_ptr<AudioPlayer> audioPlayerWithAudioFile(
        const std::shared_ptr<AudioFile>& audioFile, std::weak_ptr<AudioPlayerDelegate> delegate);
    // A player whose file is the one at `url` (none when it cannot be opened).
    static std::shared_ptr<AudioPlayer> audioPlayerWithURL(const std::string& url);
    static std::shared_ptr<AudioPlayer> audioPlayerWithURL(
        const std::string& url, std::weak_ptr<AudioPlayerDelegate> delegate);
    static std::shared_ptr<AudioPlayer> sharedAudioPlayer();

    std::shared_ptr<AudioPlayerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<AudioPlayerDelegate> delegate) {
        delegate_.store(std::move(delegate));
    }

    // Plays a fresh copy of `audioFile` (opened again on its URL, default client format).
    void setAudioFile(const std::shared_ptr<AudioFile>& audioFile);
    std::shared_ptr<AudioFile> audioFile() const;
    std::string url() const;

    void play();
    void pause();
    void playAudioFile(const std::shared_ptr<AudioFile>& audioFile);
    void seekToFrame(std::int64_t frame);
    void setCurrentTime(double seconds);

    bool shouldLoop() const { return shouldLoop_.load(); }
    void setShouldLoop(bool loop) { shouldLoop_ = loop; }
    AudioPlayerState state() const { return state_.load(); }

    float currentTime() const;
    double duration() const;
    std::string formattedCurrentTime() const;
    std::string formattedDuration() const;
    std::int64_t frameIndex() const;
    std::int64_t totalFrames() const;

    bool isPlaying() const { return output_->isPlaying(); }
    float volume() const { return output_->volume(); }
    void setVolume(float volume);
    float pan() const { return output_->pan(); }
    void setPan(float pan);
    const AudioDevice& device() const { return output_->device(); }
    void setDevice(const AudioDevice& device);
    const std::shared_ptr<AudioOutput>& output() const { return output_; }

    // As the output's data source, on the render thread.
    OSStatus outputShouldFillAudioBufferList(AudioOutput& output, AudioBufferList* bufferList,
                                             std::uint32_t frames,
                                             const AudioTimeStamp& timestamp) override;
    // As the output's delegate.
    void outputChangedPlayingState(AudioOutput& output, bool isPlaying) override;
    void outputChangedDevice(AudioOutput& output, const AudioDevice& device) override;
    bool takesPlayedAudio() const override;
    void outputPlayedAudio(AudioOutput& output, float** buffer, std::uint32_t bufferSize,
                           std::uint32_t numberOfChannels) override;
    // As the file's delegate.
    void audioFileUpdatedPosition(AudioFile& file) override;
    using AudioFileDelegate::audioFileUpdatedPosition;

private:
    AudioPlayer();
    void setup();
    void post(const char* name);
    void finishAtEnd();

    AtomicWeakPtr<AudioPlayerDelegate> delegate_;
    std::atomic<bool> shouldLoop_{false};
    std::atomic<AudioPlayerState> state_{AudioPlayerState::Ready};
    std::shared_ptr<AudioOutput> output_;
    // The file, swapped by the owner while the render thread reads it: the render thread only
    // tries the mutex and renders silence when it is taken.
    mutable std::mutex fileMutex_;
    std::shared_ptr<AudioFile> audioFile_;
    std::atomic<bool> endPending_{false};  // the end-of-file step is queued
    DispatchQueuePtr queue_;
};

}  // namespace vm
