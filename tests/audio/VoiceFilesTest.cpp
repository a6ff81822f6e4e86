// Voice recording and sound-file transmission of the remote-audio engine, on the test sound
// system and against the simulated radio: a recording of the test microphone, its meters and its
// file; the list of sound files; a file sent as paced transmit packets while the radio is keyed,
// un-keyed 5 s after the last packet or at once when cut short or when the streams stop.
#include "audio/RemoteAudio.h"
#include "audio/VMRemoteAudioHandler.h"
#include "localaudio/AudioFile.h"
#include "platform/core/Defaults.h"
#include "support/QueueBarrier.h"
#include "support/sim/SimAudio.h"

#include "../localaudio/SoundFileFixture.h"
#include "../platform/audio/AudioTestSupport.h"
#include "AudioSessionSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

namespace vm {
namespace {

using test::waitFor;
using namespace std::chrono_literals;

constexpr std::uint32_t kTxStream = 0x84000001;
constexpr AudioDeviceID kSpeaker = 1;
constexpr AudioDeviceID kMicrophone = 2;

class FakeFiles : public VoiceFileApplication {
public:
    void setRecordStopButtonTitle(const std::string& title) override { buttonTitle = title; }
    void setElapsedSecondsLabelHidden(bool hidden) override { labelHidden = hidden; }
    void setElapsedSecondsLabel(const std::string& text) override { label = text; }
    void setLeftPowerIndicator(double level) override { left = level; }
    void setRightPowerIndicator(double level) override { right = level; }
    void removeAllRecordedFiles() override { files.clear(); }
    void addRecordedFile(const std::string& title) override { files.push_back(title); }
    void selectRecordedFile(const std::string& title) override { selected = title; }
    std::string soundFilesPath() const override { return folder; }
    std::shared_ptr<Radio> openRadio() const override { return radio; }

    std::string buttonTitle;
    bool labelHidden = true;
    std::string label;
    double left = -1;
    double right = -1;
    std::vector<std::string> files;
    std::string selected;
    std::string folder;
    std::shared_ptr<Radio> radio;
};

TEST(VoiceRecorderFigures, MetersAndElapsedTime) {
    const struct {
        double power;
        double level;
    } meters[] = {{-90, 0}, {-80.5, 0}, {-6, 5.66}, {0, 8}, {3, 8}};
    for (const auto& m : meters) {
        EXPECT_NEAR(VoiceRecorder::powerIndicatorLevel(m.power), m.level, 0.01) << m.power;
    }
    const struct {
        double seconds;
        const char* text;
    } times[] = {{0, "00:00"}, {75.6, "01:16"}, {59.6, "01:00"}, {3599.4, "59:59"}};
    for (const auto& t : times) {
        EXPECT_EQ(VoiceRecorder::elapsedText(t.seconds), t.text) << t.seconds;
    }
}

TEST(VoiceRecorderFigures, RecordingsAreWaveFilesUnderAFreeName) {
    test::SoundFolder folder;
    const auto proposed = (folder.path / "vmsdr_sound_file.m4a").string();
    EXPECT_EQ(VoiceRecorder::recordingPath(proposed), (folder.path / "vmsdr_sound_file.wav"));
    std::ofstream(folder.path / "vmsdr_sound_file.wav") << "taken";
    EXPECT_EQ(VoiceRecorder::recordingPath(proposed), (folder.path / "vmsdr_sound_file 1.wav"));
}

class VoiceFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        scope.backend->setDevices(
            {test::makeDevice(kSpeaker, 0, 2, 48000), test::makeDevice(kMicrophone, 1, 0, 48000)},
            kMicrophone, kSpeaker);
        app->output = AudioDeviceChoice{"Speaker", std::nullopt};
        app->input = AudioDeviceChoice{"Microphone", std::nullopt};
        files->folder = folder.path.string();
        files->radio = session.radio;
        handler = VMRemoteAudioHandler::create(session.radio, app);
        handler->setVoiceFileApplication(files);
        test::startTransmitStream(session, *handler, kTxStream);
    }
    bool micRunning() { return handler->microphone()->audioUnit()->isRunning(); }
    // Transmit packets the simulated radio has received.
    std::size_t packets() {
        std::size_t count = 0;
        for (const auto& datagram : session.sim->datagrams()) {
            const auto packet = sim::readStreamPacket(datagram.bytes);
            count += packet && packet->streamId == kTxStream;
        }
        return count;
    }
    // Packets due by the dispatch clock since `start`: one at once, then one every 10 ms.
    static std::size_t packetsDue(DispatchClock::time_point start) {
        return std::size_t((DispatchClock::now() - start) / 10ms) + 1;
    }
    std::string toneFile(const char* name, double seconds) {
        const auto path = folder.path / name;
        test::writeSoundFile(path, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 1,
                             std::int64_t(48000 * seconds),
                             [](int, std::int64_t f) { return test::tone(440, 48000, f); });
        return path.string();
    }

    test::TestBackendScope scope;
    test::AudioSession session{true};
    test::SoundFolder folder;
    std::shared_ptr<test::FakeApplication> app = std::make_shared<test::FakeApplication>();
    std::shared_ptr<FakeFiles> files = std::make_shared<FakeFiles>();
    std::shared_ptr<VMRemoteAudioHandler> handler;
};

TEST_F(VoiceFilesTest, FiveSecondsFromTheMicrophoneMakeAWaveFileWithItsLevel) {
    handler->recordFile((folder.path / "voice.m4a").string());
    EXPECT_EQ(files->buttonTitle, "Stop");
    EXPECT_FALSE(files->labelHidden);
    for (std::size_t i = 0; i < 500; ++i) {
        std::vector<float> mono(480);
        for (std::size_t f = 0; f < mono.size(); ++f) {
            mono[f] = test::tone(440, 48000, i * 480 + f);
        }
        ASSERT_TRUE(scope.backend->capture(kMicrophone, {mono}));
        handler->voiceRecorder().waitUntilWritten();
    }
    handler->recordingMetersTimer();
    // A sine of amplitude 0.5 has an average power of -9.03 dB.
    EXPECT_NEAR(files->left, 4.757, 0.02);
    EXPECT_NEAR(files->right, 4.757, 0.02);
    EXPECT_EQ(files->label, "00:05");

    // The recording is under way under a hidden name, which the list does not show.
    std::ofstream(folder.path / "older.wav") << "x";
    std::filesystem::create_directory(folder.path / "sub");
    std::ofstream(folder.path / "sub" / "inner.wav") << "x";
    handler->loadSoundFiles();
    EXPECT_EQ(files->files, (std::vector<std::string>{"older.wav", "sub"}));
    EXPECT_EQ(folder.names().size(), 3u);

    handler->stopRecording();
    EXPECT_EQ(files->buttonTitle, "Record");
    EXPECT_TRUE(files->labelHidden);
    EXPECT_EQ(files->left, 0);
    EXPECT_EQ(files->right, 0);
    EXPECT_EQ(files->files, (std::vector<std::string>{"older.wav", "sub", "voice.wav"}));
    EXPECT_EQ(files->selected, "voice.wav");
    EXPECT_EQ(Defaults::standard().stringForKey("last_sound_file_played"), "voice.wav");
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"older.wav", "sub", "voice.wav"}));

    const auto recorded = test::readSoundFile(folder.path / "voice.wav");
    EXPECT_EQ(recorded.info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_WAV);
    EXPECT_EQ(recorded.info.samplerate, 44100);
    EXPECT_EQ(recorded.info.channels, 2);
    EXPECT_NEAR(double(recorded.info.frames), 5 * 44100, 44100 * 0.005);
    EXPECT_NEAR(recorded.channelRms(0), 0.5 / std::sqrt(2.0), 0.01);
    EXPECT_NEAR(recorded.channelRms(1), 0.5 / std::sqrt(2.0), 0.01);

    // A later refill selects the last recording again.
    files->selected.clear();
    handler->loadSoundFiles();
    EXPECT_EQ(files->selected, "voice.wav");
}

TEST_F(VoiceFilesTest, ARecordingThatCannotStartResetsTheButton) {
    files->buttonTitle = "Stop";
    handler->recordFile((folder.path / "missing" / "voice.m4a").string());
    EXPECT_EQ(files->buttonTitle, "Record");
    EXPECT_TRUE(files->labelHidden);
    EXPECT_FALSE(handler->voiceRecorder().isRecording());
    EXPECT_TRUE(folder.names().empty());
}

TEST_F(VoiceFilesTest, AFileIsSentAsPacedPacketsWhileKeyedAndUnkeyedFiveSecondsAfter) {
    const auto path = toneFile("tone.wav", 1.0);
    const auto start = DispatchClock::now();
    handler->transmitFile(path);
    EXPECT_TRUE(session.sim->waitForCommand("xmit 1"));
    EXPECT_FALSE(micRunning());
    const auto queue = handler->fileTransmitQueue();
    // Never ahead of the clock: one packet at once, then one per 10 ms.
    test::queueBarrier(queue);
    EXPECT_LE(packets(), packetsDue(start));
    test::advanceBarrier(queue, 500ms);
    ASSERT_TRUE(waitFor([&] { return packets() >= 50; }));
    EXPECT_LE(packets(), packetsDue(start));
    EXPECT_TRUE(handler->transmittingFile());

    test::advanceBarrier(queue, 600ms);
    ASSERT_TRUE(waitFor([&] { return packets() >= 100; }));
    EXPECT_LE(packets(), 101u);
    const auto pcm = session.sim->transmitAudio(kTxStream);
    std::vector<float> left;
    for (std::size_t i = 2 * 2400; i + 2 * 2400 < pcm.size(); i += 2) {
        left.push_back(float(pcm[i]) / 32768);
    }
    EXPECT_NEAR(sim::toneFrequency(left, 24000), 440, 2);
    EXPECT_NEAR(sim::rmsLevel(left), 0.5 / std::sqrt(2.0), 0.05);

    // The tail: still keyed 4 s after the last packet, un-keyed at 5 s, microphone back.
    test::advanceBarrier(DispatchQueue::main(), 4s);
    EXPECT_EQ(session.radio->txState(), 1);
    EXPECT_FALSE(micRunning());
    test::advanceBarrier(DispatchQueue::main(), 1s);
    EXPECT_TRUE(waitFor([&] { return session.radio->txState() == 0; }));
    EXPECT_TRUE(session.sim->waitForCommand("xmit 0"));
    EXPECT_TRUE(micRunning());
    EXPECT_FALSE(handler->transmittingFile());
}

TEST_F(VoiceFilesTest, ATransmissionCutShortUnkeysAtOnceAndSendsNoMore) {
    const auto path = toneFile("long.wav", 3.0);
    handler->transmitFile(path);
    const auto queue = handler->fileTransmitQueue();
    test::advanceBarrier(queue, 200ms);
    ASSERT_TRUE(waitFor([&] { return packets() >= 20; }));
    handler.reset();
    EXPECT_EQ(session.radio->txState(), 0);
    EXPECT_TRUE(session.sim->waitForCommand("xmit 0"));
    test::advanceBarrier(queue, 3s);
    EXPECT_LT(packets(), 100u);
}

TEST_F(VoiceFilesTest, StoppingTheStreamsDuringAFileUnkeysAtOnceAndSendsNoMore) {
    const auto path = toneFile("long.wav", 3.0);
    const auto tx = handler->remoteAudioTxStream();
    handler->transmitFile(path);
    const auto queue = handler->fileTransmitQueue();
    test::advanceBarrier(queue, 200ms);
    ASSERT_TRUE(waitFor([&] { return packets() >= 20; }));
    handler->stopAudioStream();
    EXPECT_EQ(session.radio->txState(), 0);
    EXPECT_FALSE(handler->transmittingFile());
    EXPECT_TRUE(session.sim->waitForCommand("xmit 0"));
    // What the stream has sent, counted on its queue.
    const auto sent = [&] {
        tx->runQueue()->sync([&] { tx->rateCalculator(); });
        return tx->txPackets();
    };
    const auto sentAtStop = sent();
    EXPECT_LT(sentAtStop, 100);
    test::advanceBarrier(queue, 6s);
    EXPECT_EQ(sent(), sentAtStop);
    EXPECT_EQ(session.radio->txState(), 0);
    EXPECT_FALSE(micRunning()) << "the microphone stays off once the streams are stopped";
}

TEST_F(VoiceFilesTest, AFileThatCannotBeReadKeysNothing) {
    std::ofstream(folder.path / "notes.wav") << "not a sound file";
    for (const char* name : {"missing.wav", "notes.wav"}) {
        handler->transmitFile((folder.path / name).string());
        EXPECT_FALSE(handler->transmittingFile()) << name;
        EXPECT_EQ(session.radio->txState(), std::nullopt) << name;
        EXPECT_TRUE(micRunning()) << name;
    }
}

}  // namespace
}  // namespace vm
