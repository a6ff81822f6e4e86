// The render thread and the owner's thread on one player: the file is swapped, sought and
// summarised while a device renders it in a loop, and neither thread waits for the other.
#include "localaudio/AudioPlayer.h"

#include "localaudio/SoundFileFixture.h"
#include "platform/audio/AudioTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace vm {
namespace {

class PositionListener : public AudioPlayerDelegate {
public:
    void audioPlayerUpdatedPosition(AudioPlayer&, std::int64_t position, AudioFile&) override {
        last = position;
    }
    std::atomic<std::int64_t> last{0};
};

TEST(AudioPlayerThreadTest, OwnerChangesTheFileWhileTheDeviceRenders) {
    test::TestBackendScope scope;
    scope.backend->setDevices({test::makeDevice(1, 0, 2)}, kAudioObjectUnknown, 1);
    test::SoundFolder folder;
    std::vector<std::string> urls;
    for (int rate : {44100, 22050}) {
        urls.push_back((folder.path / ("f" + std::to_string(rate) + ".wav")).string());
        test::writeSoundFile(urls.back(), SF_FORMAT_WAV | SF_FORMAT_PCM_16, rate, 1, 3000,
                             [](int, std::int64_t f) { return float(f % 100) / 200; });
    }
    auto listener = std::make_shared<PositionListener>();
    auto player = AudioPlayer::audioPlayerWithURL(urls[0], listener);
    player->setShouldLoop(true);
    player->play();

    std::atomic<bool> stop{false};
    std::atomic<int> rendered{0};
    std::thread device([&] {
        std::vector<std::vector<float>> out;
        while (!stop) {
            if (scope.backend->render(1, 1024, &out)) {
                ++rendered;
            }
        }
    });
    std::int64_t seen = 0;
    for (int i = 0; i < 200; ++i) {
        if (i % 20 == 0) {
            player->setAudioFile(AudioFile::audioFileWithURL(urls[std::size_t(i / 20 % 2)]));
        }
        player->seekToFrame(i * 10 % 2000);
        player->setVolume(float(i % 10) / 10);
        seen += player->frameIndex() + std::int64_t(player->currentTime());
        if (auto file = player->audioFile(); file && i % 50 == 0) {
            file->getWaveformDataWithNumberOfPoints(10);  // nothing when the render thread reads
        }
        std::this_thread::yield();
    }
    stop = true;
    device.join();
    EXPECT_GT(rendered.load(), 0);
    EXPECT_GE(seen, 0);
    EXPECT_GE(listener->last.load(), 0);
    player->pause();
}

}  // namespace
}  // namespace vm
