#include "localaudio/AudioPlayer.h"

#include "localaudio/AudioUtilities.h"
#include "localaudio/SoundFileFixture.h"
#include "platform/audio/AudioTestSupport.h"
#include "platform/core/NotificationCenter.h"

#include <gtest/gtest.h>

#include <condition_variable>

namespace vm {
namespace {

using test::makeDevice;
using test::SoundFolder;

// The notifications posted about one object, in order, from whatever thread.
class NotificationLog {
public:
    explicit NotificationLog(const void* object) {
        token_ = NotificationCenter::defaultCenter().addObserver("", object, nullptr,
                                                                 [this](const Notification& n) {
                                                                     std::lock_guard lock(mutex_);
                                                                     names_.push_back(n.name);
                                                                     cv_.notify_all();
                                                                 });
    }
    ~NotificationLog() { NotificationCenter::defaultCenter().removeObserver(token_); }
    NotificationLog(const NotificationLog&) = delete;
    NotificationLog& operator=(const NotificationLog&) = delete;

    std::vector<std::string> names() {
        std::lock_guard lock(mutex_);
        return names_;
    }
    bool waitFor(const std::string& name) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, std::chrono::seconds(5), [&] {
            return std::find(names_.begin(), names_.end(), name) != names_.end();
        });
    }
    void clear() {
        std::lock_guard lock(mutex_);
        names_.clear();
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::string> names_;
    NotificationCenter::Token token_ = 0;
};

class RecordingPlayerDelegate : public AudioPlayerDelegate {
public:
    void audioPlayerReachedEndOfAudioFile(AudioPlayer&, AudioFile&) override { ++ends; }
    void audioPlayerUpdatedPosition(AudioPlayer&, std::int64_t position, AudioFile&) override {
        lastPosition = position;
    }
    bool takesPlayedAudio() const override { return true; }
    void audioPlayerPlayedAudio(AudioPlayer&, float**, std::uint32_t frames, std::uint32_t channels,
                                AudioFile& file) override {
        playedFrames += frames;
        lastChannels = channels;
        fileURL = file.url();
    }
    std::atomic<int> ends{0};
    std::atomic<std::int64_t> lastPosition{-1};
    std::atomic<std::uint32_t> playedFrames{0};
    std::uint32_t lastChannels = 0;
    std::string fileURL;
};

// Channel 0: frame n holds (n + 1) / 10000; channel 1: the negative. Every frame is told apart.
float sample(int channel, std::int64_t frame) {
    const float v = float(frame + 1) / 10000;
    return channel == 0 ? v : -v;
}

class AudioPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        scope.backend->setDevices({makeDevice(1, 0, 2), makeDevice(3, 0, 2)}, 0, 1);
    }
    std::string writeFile(std::int64_t frames) {
        const auto path = folder.path / "message.wav";
        test::writeSoundFile(path, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 2, frames, sample);
        return path.string();
    }
    std::vector<std::vector<float>> render(std::uint32_t frames, AudioDeviceID device = 1) {
        std::vector<std::vector<float>> out;
        EXPECT_TRUE(scope.backend->render(device, frames, &out));
        return out;
    }
    test::TestBackendScope scope;
    SoundFolder folder;
};

TEST_F(AudioPlayerTest, PlaysTheFileAndTellsItsPosition) {
    auto delegate = std::make_shared<RecordingPlayerDelegate>();
    const std::string url = writeFile(44100);
    auto player = AudioPlayer::audioPlayerWithURL(url, delegate);
    NotificationLog log(player.get());
    EXPECT_EQ(AudioPlayerState::Ready, player->state());
    EXPECT_EQ(url, player->url());
    EXPECT_EQ(44100, player->totalFrames());
    EXPECT_EQ("00:01", player->formattedDuration());

    player->play();
    EXPECT_EQ(AudioPlayerState::Playing, player->state());
    EXPECT_TRUE(player->isPlaying());
    const auto out = render(2048);
    for (std::int64_t f = 0; f < 2048; ++f) {
        ASSERT_EQ(sample(0, f), out[0][std::size_t(f)]) << f;
        ASSERT_EQ(sample(1, f), out[1][std::size_t(f)]) << f;
    }
    EXPECT_EQ(2048, player->frameIndex());
    EXPECT_EQ(2048, delegate->lastPosition.load());
    EXPECT_EQ(2048u, delegate->playedFrames.load());
    EXPECT_EQ(2u, delegate->lastChannels);
    EXPECT_EQ(url, delegate->fileURL);

    player->pause();
    EXPECT_EQ(AudioPlayerState::Paused, player->state());
    EXPECT_FALSE(player->isPlaying());
    EXPECT_EQ(std::vector<std::string>(2, AudioPlayerDidChangePlayStateNotification), log.names());
}

// Looping: the end seeks to frame 0 and playing goes on; the slice in which the end was found
// is silent after the last frame.
TEST_F(AudioPlayerTest, LoopsBackToTheStart) {
    auto delegate = std::make_shared<RecordingPlayerDelegate>();
    auto player = AudioPlayer::audioPlayerWithURL(writeFile(1000), delegate);
    player->setShouldLoop(true);
    player->play();
    const auto out = render(2048);
    EXPECT_EQ(sample(0, 999), out[0][999]);
    EXPECT_EQ(0.0f, out[0][1000]);
    EXPECT_EQ(0.0f, out[1][1023]);
    EXPECT_EQ(sample(0, 0), out[0][1024]);
    EXPECT_EQ(sample(1, 5), out[1][1029]);
    EXPECT_EQ(0.0f, out[0][2024]);  // the second end
    EXPECT_EQ(2, delegate->ends.load());
    EXPECT_EQ(AudioPlayerState::Playing, player->state());
    EXPECT_TRUE(player->isPlaying());
}

// Without looping the end stops the output (from the player's queue, not the render thread),
// puts the file back at frame 0 and announces it once.
TEST_F(AudioPlayerTest, StopsAtTheEndWithoutLooping) {
    auto delegate = std::make_shared<RecordingPlayerDelegate>();
    auto player = AudioPlayer::audioPlayerWithURL(writeFile(1000), delegate);
    NotificationLog log(player.get());
    player->play();
    const auto out = render(4096);
    EXPECT_EQ(sample(0, 999), out[0][999]);
    EXPECT_EQ(0.0f, *std::max_element(out[0].begin() + 1000, out[0].end()));
    ASSERT_TRUE(log.waitFor(AudioPlayerDidReachEndOfFileNotification));
    EXPECT_EQ(AudioPlayerState::EndOfFile, player->state());
    EXPECT_EQ(0, player->frameIndex());
    EXPECT_FALSE(player->isPlaying());
    EXPECT_EQ(1, delegate->ends.load());
    EXPECT_EQ((std::vector<std::string>{AudioPlayerDidChangePlayStateNotification,
                                        AudioPlayerDidChangePlayStateNotification,
                                        AudioPlayerDidReachEndOfFileNotification}),
              log.names());
    std::vector<std::vector<float>> none;
    EXPECT_FALSE(scope.backend->render(1, 512, &none));
    // Playing again starts from the beginning.
    player->play();
    EXPECT_EQ(sample(0, 0), render(512)[0][0]);
}

TEST_F(AudioPlayerTest, WithoutAFileRendersSilenceAndNoEnd) {
    auto delegate = std::make_shared<RecordingPlayerDelegate>();
    auto player = AudioPlayer::audioPlayerWithDelegate(delegate);
    EXPECT_EQ(nullptr, player->audioFile());
    player->play();
    const auto out = render(2048);
    EXPECT_EQ(0.0f, *std::max_element(out[0].begin(), out[0].end()));
    EXPECT_EQ(0.0f, *std::min_element(out[1].begin(), out[1].end()));
    EXPECT_EQ(0, delegate->ends.load());
    EXPECT_EQ(AudioPlayerState::Playing, player->state());
    EXPECT_EQ("", player->formattedCurrentTime());
}

TEST_F(AudioPlayerTest, SeekVolumePanAndDeviceAreAnnounced) {
    const std::string url = writeFile(44100);
    auto original = AudioFile::audioFileWithURL(url);
    auto player = AudioPlayer::audioPlayer();
    NotificationLog log(player.get());
    player->setAudioFile(original);
    // The player reads its own copy.
    ASSERT_TRUE(player->audioFile());
    EXPECT_NE(original, player->audioFile());
    EXPECT_EQ(url, player->audioFile()->url());

    player->seekToFrame(500);
    EXPECT_EQ(AudioPlayerState::Paused, player->state());
    EXPECT_EQ(500, player->frameIndex());
    EXPECT_EQ(0, original->frameIndex());
    player->setCurrentTime(0.5);
    EXPECT_EQ(22050, player->frameIndex());
    EXPECT_FLOAT_EQ(0.5f, player->currentTime());
    player->seekToFrame(500);
    player->setVolume(0.5f);
    player->setPan(-1.0f);
    EXPECT_EQ(0.5f, player->volume());
    EXPECT_EQ(-1.0f, player->pan());
    const AudioDevice second = AudioDevice::outputDevices()[1];
    player->setDevice(second);
    EXPECT_EQ(second, player->device());
    EXPECT_EQ((std::vector<std::string>{
                  AudioPlayerDidChangeAudioFileNotification, AudioPlayerDidSeekNotification,
                  AudioPlayerDidSeekNotification, AudioPlayerDidSeekNotification,
                  AudioPlayerDidChangeVolumeNotification, AudioPlayerDidChangePanNotification,
                  AudioPlayerDidChangeOutputDeviceNotification}),
              log.names());

    player->play();
    std::vector<std::vector<float>> none;
    EXPECT_FALSE(scope.backend->render(1, 512, &none));
    const auto out = render(512, 3);
    EXPECT_EQ(0.5f * sample(0, 500), out[0][0]);
    EXPECT_EQ(0.0f, out[1][0]);

    // Another file plays from its start, on the same device.
    log.clear();
    player->playAudioFile(original);
    EXPECT_EQ(AudioPlayerState::Playing, player->state());
    EXPECT_EQ(0.5f * sample(0, 0), render(512, 3)[0][0]);
    EXPECT_EQ((std::vector<std::string>{AudioPlayerDidChangePlayStateNotification,
                                        AudioPlayerDidChangeAudioFileNotification,
                                        AudioPlayerDidChangePlayStateNotification}),
              log.names());
}

}  // namespace
}  // namespace vm
