#include "localaudio/AudioPlayer.h"

#include "platform/audio/AudioUnit.h"
#include "platform/core/NotificationCenter.h"

namespace vm {

const char* const AudioPlayerDidChangeAudioFileNotification =
    "AudioPlayerDidChangeAudioFileNotification";
const char* const AudioPlayerDidSeekNotification = "AudioPlayerDidSeekNotification";
const char* const AudioPlayerDidChangePanNotification = "AudioPlayerDidChangePanNotification";
const char* const AudioPlayerDidChangeVolumeNotification = "AudioPlayerDidChangeVolumeNotification";
const char* const AudioPlayerDidReachEndOfFileNotification =
    "AudioPlayerDidReachEndOfFileNotification";
const char* const AudioPlayerDidChangeOutputDeviceNotification =
    "AudioPlayerDidChangeOutputDeviceNotification";
const char* const AudioPlayerDidChangePlayStateNotification =
    "AudioPlayerDidChangePlayStateNotification";

void AudioPlayerDelegate::audioPlayerReachedEndOfAudioFile(AudioPlayer&, AudioFile&) {}
void AudioPlayerDelegate::audioPlayerUpdatedPosition(AudioPlayer&, std::int64_t, AudioFile&) {}
bool AudioPlayerDelegate::takesPlayedAudio() const { return false; }
void AudioPlayerDelegate::audioPlayerPlayedAudio(AudioPlayer&, float**, std::uint32_t,
                                                 std::uint32_t, AudioFile&) {}

AudioPlayer::AudioPlayer()
    : queue_(DispatchQueue::serial("com.velmorasoftware.vmsdr.audioPlayerQueue")) {}

AudioPlayer::~AudioPlayer() = default;

void AudioPlayer::setup() {
    output_ = AudioOutput::output();
    output_->setDataSource(weak_from_this());
    output_->setDelegate(weak_from_this());
    state_ = AudioPlayerState::Ready;
}

std::shared_ptr<AudioPlayer> AudioPlayer::audioPlayer() {
    std::shared_ptr<AudioPlayer> player(new AudioPlayer);
    player->setup();
    return player;
}

std::shared_ptr<AudioPlayer> AudioPlayer::audioPlayerWithDelegate(
    std::weak_ptr<AudioPlayerDelegate> delegate) {
    auto player = audioPlayer();
    player->setDelegate(std::move(delegate));
    return player;
}

std::shared_ptr<AudioPlayer> AudioPlayer::audioPlayerWithAudioFile(
    const std::shared_ptr<AudioFile>& audioFile) {
    return audioPlayerWithAudioFile(audioFile, {});
}

std::shared_ptr<AudioPlayer> AudioPlayer::audioPlayerWithAudioFile(
    const std::shared_ptr<AudioFile>& audioFile, std::weak_ptr<AudioPlayerDelegate> delegate) {
    auto player = audioPlayerWithDelegate(std::move(delegate));
    player->setAudioFile(audioFile);
    return player;
}

std::shared_ptr<AudioPlayer> AudioPlayer::audioPlayerWithURL(const std::string& url) {
    return audioPlayerWithURL(url, {});
}

std::shared_ptr<AudioPlayer> AudioPlayer::audioPlayerWithURL(
    const std::string& url, std::weak_ptr<AudioPlayerDelegate> delegate) {
    auto player = audioPlayerWithDelegate(std::move(delegate));
    player->setAudioFile(AudioFile::audioFileWithURL(url, player));
    return player;
}

std::shared_ptr<AudioPlayer> AudioPlayer::sharedAudioPlayer() {
    static const std::shared_ptr<AudioPlayer> shared = audioPlayer();
    return shared;
}

void AudioPlayer::post(const char* name) {
    if (auto self = weak_from_this().lock()) {
        NotificationCenter::defaultCenter().post(name, self);
    }
}

void AudioPlayer::setAudioFile(const std::shared_ptr<AudioFile>& audioFile) {
    std::shared_ptr<AudioFile> copy = audioFile ? audioFile->copy() : nullptr;
    if (copy) {
        copy->setDelegate(weak_from_this());
        output_->setInputFormat(copy->clientFormat());
    }
    {
        std::lock_guard lock(fileMutex_);
        audioFile_.swap(copy);
    }
    // The previous file is closed here, outside the lock the render thread tries.
    copy.reset();
    post(AudioPlayerDidChangeAudioFileNotification);
}

std::shared_ptr<AudioFile> AudioPlayer::audioFile() const {
    std::lock_guard lock(fileMutex_);
    return audioFile_;
}

std::string AudioPlayer::url() const {
    auto file = audioFile();
    return file ? file->url() : std::string();
}

void AudioPlayer::play() {
    output_->startPlayback();
    state_ = AudioPlayerState::Playing;
}

void AudioPlayer::pause() {
    output_->stopPlayback();
    state_ = AudioPlayerState::Paused;
}

void AudioPlayer::playAudioFile(const std::shared_ptr<AudioFile>& audioFile) {
    pause();
    setAudioFile(audioFile);
    play();
}

void AudioPlayer::seekToFrame(std::int64_t frame) {
    state_ = AudioPlayerState::Seeking;
    if (auto file = audioFile()) {
        file->seekToFrame(frame);
    }
    state_ = output_->isPlaying() ? AudioPlayerState::Playing : AudioPlayerState::Paused;
    post(AudioPlayerDidSeekNotification);
}

void AudioPlayer::setCurrentTime(double seconds) {
    if (auto file = audioFile()) {
        file->setCurrentTime(seconds);
    }
    post(AudioPlayerDidSeekNotification);
}

float AudioPlayer::currentTime() const {
    auto file = audioFile();
    return file ? file->currentTime() : 0;
}

double AudioPlayer::duration() const {
    auto file = audioFile();
    return file ? file->duration() : 0;
}

std::string AudioPlayer::formattedCurrentTime() const {
    auto file = audioFile();
    return file ? file->formattedCurrentTime() : std::string();
}

std::string AudioPlayer::formattedDuration() const {
    auto file = audioFile();
    return file ? file->formattedDuration() : std::string();
}

std::int64_t AudioPlayer::frameIndex() const {
    auto file = audioFile();
    return file ? file->frameIndex() : 0;
}

std::int64_t AudioPlayer::totalFrames() const {
    auto file = audioFile();
    return file ? file->totalFrames() : 0;
}

void AudioPlayer::setVolume(float volume) {
    output_->setVolume(volume);
    post(AudioPlayerDidChangeVolumeNotification);
}

void AudioPlayer::setPan(float pan) {
    output_->setPan(pan);
    post(AudioPlayerDidChangePanNotification);
}

void AudioPlayer::setDevice(const AudioDevice& device) { output_->setDevice(device); }

OSStatus AudioPlayer::outputShouldFillAudioBufferList(AudioOutput&, AudioBufferList* bufferList,
                                                      std::uint32_t frames, const AudioTimeStamp&) {
    std::unique_lock lock(fileMutex_, std::try_to_lock);
    if (!lock || !audioFile_ || endPending_.load()) {
        silenceBufferList(bufferList);
        return 0;
    }
    std::uint32_t framesRead = 0;
    bool eof = false;
    audioFile_->readFrames(frames, bufferList, &framesRead, &eof);
    if (!eof) {
        if (framesRead == 0) {
            silenceBufferList(bufferList);  // the file was busy: this slice is silent
        }
        return 0;
    }
    if (auto delegate = this->delegate()) {
        delegate->audioPlayerReachedEndOfAudioFile(*this, *audioFile_);
    }
    if (shouldLoop()) {
        audioFile_->seekToFrame(0);
    } else if (!endPending_.exchange(true)) {
        queue_->async([weak = weak_from_this()] {
            if (auto self = weak.lock()) {
                self->finishAtEnd();
            }
        });
    }
    return 0;
}

void AudioPlayer::finishAtEnd() {
    pause();
    if (auto file = audioFile()) {
        file->seekToFrame(0);
    }
    state_ = AudioPlayerState::EndOfFile;
    endPending_ = false;
    post(AudioPlayerDidReachEndOfFileNotification);
}

void AudioPlayer::outputChangedPlayingState(AudioOutput&, bool) {
    post(AudioPlayerDidChangePlayStateNotification);
}

void AudioPlayer::outputChangedDevice(AudioOutput&, const AudioDevice&) {
    post(AudioPlayerDidChangeOutputDeviceNotification);
}

bool AudioPlayer::takesPlayedAudio() const {
    auto delegate = this->delegate();
    return delegate && delegate->takesPlayedAudio();
}

void AudioPlayer::outputPlayedAudio(AudioOutput&, float** buffer, std::uint32_t bufferSize,
                                    std::uint32_t numberOfChannels) {
    std::unique_lock lock(fileMutex_, std::try_to_lock);
    auto delegate = this->delegate();
    if (lock && audioFile_ && delegate) {
        delegate->audioPlayerPlayedAudio(*this, buffer, bufferSize, numberOfChannels, *audioFile_);
    }
}

void AudioPlayer::audioFileUpdatedPosition(AudioFile& file) {
    if (auto delegate = this->delegate()) {
        delegate->audioPlayerUpdatedPosition(*this, file.frameIndex(), file);
    }
}

}  // namespace vm
