// The remote-audio room without the application: the Audio tab offscreen, a V3 session with the
// simulated radio, and the test sound system (one that may be held back, as a stuck sound server
// holds back its first answer).
#include "app/audio/RemoteAudioController.h"
#include "app/audio/RemoteAudioHost.h"
#include "app/windows/AudioPrefsPage.h"
#include "audio/RemoteAudio.h"
#include "audio/VMRemoteAudioHandler.h"
#include "platform/core/Defaults.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/SavePanel.h"
#include "platform/ui/Slider.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"

#include "../../audio/AudioSessionSupport.h"
#include "../../platform/audio/AudioTestSupport.h"

#include <gtest/gtest.h>

#include <QPushButton>

#include <stdlib.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>

namespace vm {
namespace {

using namespace std::chrono_literals;
using test::waitFor;

constexpr AudioDeviceID kSpeaker = 1;
constexpr AudioDeviceID kMicrophone = 2;
constexpr AudioDeviceID kHeadset = 3;
constexpr std::uint32_t kRxStream = 0x04000009;
constexpr std::uint32_t kTxStream = 0x84000001;

// A sound system whose device list does not answer until the test lets it.
class HeldBackend : public TestAudioBackend {
public:
    std::vector<AudioDeviceRecord> devices() override {
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [this] { return released_; });
        lock.unlock();
        return TestAudioBackend::devices();
    }
    void release() {
        std::lock_guard lock(mutex_);
        released_ = true;
        cv_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool released_ = false;
};

class Host : public RemoteAudioHost {
public:
    std::shared_ptr<Radio> radio;
    std::string folder;
    std::shared_ptr<Radio> sessionRadio() const override { return radio; }
    std::string soundFilesFolder() const override { return folder; }
    void remoteAudioSwitched(bool on, const std::shared_ptr<Radio>& r) override {
        EXPECT_EQ(r, radio);
        switched.push_back(on);
    }
    std::vector<bool> switched;  // the notices of the switch, in order
};

// A sound-file folder of the test's own.
struct SoundFolder {
    SoundFolder() {
        std::string name = (std::filesystem::temp_directory_path() / "vm-sounds-XXXXXX").string();
        path = ::mkdtemp(name.data());
    }
    ~SoundFolder() { std::filesystem::remove_all(path); }
    std::filesystem::path path;
};

class RemoteAudioRoom : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* key :
             {"remote_audio", "remote_audio_volume", "local_audio_volume", "mac_mic_source",
              "radio_mic_source", "audio_input_device_01", "audio_out_device_01"}) {
            Defaults::standard().remove(key);
        }
        backend->setDevices(
            {test::makeDevice(kSpeaker, 0, 2, 48000), test::makeDevice(kMicrophone, 1, 0, 48000),
             test::makeDevice(kHeadset, 2, 2, 48000)},
            kMicrophone, kSpeaker);
        AudioBackend::setShared(backend);
        host->radio = session.radio;
        host->folder = sounds.path.string();
        room = RemoteAudioController::create(page, host);
    }
    void TearDown() override {
        room.reset();
        test::mainQueueBarrier();
        AudioBackend::setShared(nullptr);
    }
    void startAnswered() {
        backend->release();
        room->startAudioSystem();
        ASSERT_TRUE(waitFor([&] { return room->audioSystemReady(); }));
    }
    template <class T>
    T& control(const char* name) {
        auto* found = page.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }
    // The user clicks the remote-audio check box.
    void clickRemoteAudio(bool on) {
        control<CheckBox>("remoteAudioCheckBox").setState(on);
        emit control<CheckBox>("remoteAudioCheckBox").action();
    }
    // The radio's answer to the engine's two stream requests.
    void answerStreams() {
        ASSERT_TRUE(session.sim->waitForCommand("stream create type=remote_audio_tx"));
        session.sim->sendStatus(fmt::format(
            "stream 0x{:08X} type=remote_audio_rx compression=opus ip=127.0.0.1", kRxStream));
        session.sim->sendStatus(
            fmt::format("stream 0x{:08X} type=remote_audio_tx compression=OPUS", kTxStream));
        ASSERT_TRUE(waitFor([&] {
            return room->audioHandler && room->audioHandler->remoteAudioTxStream() &&
                   room->audioHandler->output() && room->audioHandler->output()->isPlaying();
        }));
    }
    std::size_t count(const std::string& command) {
        const auto texts = session.sim->commandTexts();
        return std::size_t(std::count(texts.begin(), texts.end(), command));
    }

    test::AudioSession session{true};
    SoundFolder sounds;
    std::shared_ptr<HeldBackend> backend = std::make_shared<HeldBackend>();
    std::shared_ptr<Host> host = std::make_shared<Host>();
    AudioPrefsPage page;
    std::shared_ptr<RemoteAudioController> room;
};

TEST_F(RemoteAudioRoom, CheckBoxSwitchesTheEngineTheStreamsAndTheMicrophoneSource) {
    Defaults::standard().set("remote_audio_volume", PlistValue(35));
    startAnswered();
    clickRemoteAudio(true);
    EXPECT_EQ(Defaults::standard().integerForKey("remote_audio"), 1);
    ASSERT_TRUE(session.sim->waitForCommand("stream create type=remote_audio_rx compression=opus"));
    ASSERT_TRUE(session.sim->waitForCommand("mic input PC"));
    ASSERT_TRUE(session.sim->waitForCommand("remote_audio rx_on 1"));
    answerStreams();
    // The stored volume reaches the control and the engine a moment later.
    ASSERT_TRUE(waitFor([&] { return room->audioHandler->outputVolume() == 0.35f; }));
    EXPECT_EQ(control<Slider>("radioSpeakerVolumeSlider").doubleValue(), 35);
    EXPECT_EQ(backend->runningStream(kSpeaker, AudioDirection::Output).has_value(), true);
    EXPECT_EQ(host->switched, std::vector<bool>{true});

    clickRemoteAudio(false);
    EXPECT_EQ(host->switched, (std::vector<bool>{true, false}));
    EXPECT_EQ(Defaults::standard().integerForKey("remote_audio"), 0);
    EXPECT_EQ(room->audioHandler, nullptr);
    ASSERT_TRUE(session.sim->waitForCommand(fmt::format("stream remove 0x{:08X}", kRxStream)));
    ASSERT_TRUE(session.sim->waitForCommand(fmt::format("stream remove 0x{:08X}", kTxStream)));
    ASSERT_TRUE(session.sim->waitForCommand("mic input MIC"));
    ASSERT_TRUE(session.sim->waitForCommand("remote_audio rx_on 0"));
    EXPECT_EQ(control<Slider>("radioSpeakerVolumeSlider").doubleValue(), 80);
    EXPECT_TRUE(waitFor(
        [&] { return !backend->runningStream(kSpeaker, AudioDirection::Output).has_value(); }));
}

TEST_F(RemoteAudioRoom, StoredMicrophoneSourcesAreSentOnAndOff) {
    Defaults::standard().set("mac_mic_source", PlistValue("PC"));
    Defaults::standard().set("radio_mic_source", PlistValue("BAL"));
    startAnswered();
    page.setRemoteAudio(true);
    room->turnRemoteAudioOn(true);
    room->turnRemoteAudioOn(false);
    ASSERT_TRUE(session.sim->waitForCommand("mic input BAL"));
}

// A stuck sound system holds back neither the window nor the switch: the log says why after the
// time limit, and the devices and remote audio come once it answers.
TEST_F(RemoteAudioRoom, AudioWaitsForASoundSystemThatHasNotAnswered) {
    test::LogCapture logs;
    room->startAudioSystem(200ms);
    ASSERT_TRUE(waitFor([&] { return logs.contains("has not answered within 200 ms"); }));
    EXPECT_FALSE(room->audioSystemReady());
    EXPECT_EQ(control<PopUpButton>("audioOutputDevicesPopup").numberOfItems(), 0);
    clickRemoteAudio(true);
    EXPECT_TRUE(logs.contains("remote audio starts once it does"));
    EXPECT_EQ(room->audioHandler, nullptr);
    EXPECT_TRUE(host->switched.empty());

    backend->release();
    ASSERT_TRUE(waitFor([&] { return room->audioSystemReady(); }));
    EXPECT_EQ(control<PopUpButton>("audioOutputDevicesPopup").numberOfItems(), 3);  // System + 2
    EXPECT_EQ(control<PopUpButton>("audioInputDevicesPopup").numberOfItems(), 3);
    EXPECT_NE(room->audioHandler, nullptr);
    EXPECT_EQ(host->switched, std::vector<bool>{true});
    EXPECT_TRUE(session.sim->waitForCommand("stream create type=remote_audio_rx compression=opus"));
}

// A change of the default device restarts a running engine on the new device, and changes
// nothing while remote audio is off.
TEST_F(RemoteAudioRoom, DefaultDeviceChangeRestartsOnlyARunningEngine) {
    startAnswered();
    const auto devices = backend->TestAudioBackend::devices();
    backend->setDevices(devices, kMicrophone, kHeadset);
    test::settle();
    EXPECT_EQ(count("stream create type=remote_audio_tx"), 0u);

    clickRemoteAudio(true);
    answerStreams();
    const auto first = room->audioHandler;
    ASSERT_TRUE(waitFor(
        [&] { return backend->runningStream(kHeadset, AudioDirection::Output).has_value(); }));
    backend->setDevices(devices, kMicrophone, kSpeaker);  // reported on this thread, acted on main
    ASSERT_TRUE(waitFor([&] { return room->audioHandler != first; }));
    ASSERT_TRUE(session.sim->waitForCommand(fmt::format("stream remove 0x{:08X}", kRxStream)));
    EXPECT_TRUE(waitFor([&] { return count("stream create type=remote_audio_tx") == 2; }));
}

// Start-up restores remote audio only from a stored "on"; the session's end switches it off and
// the check box keeps its state for the next session.
TEST_F(RemoteAudioRoom, SessionRestoresAndEndsRemoteAudio) {
    startAnswered();
    room->restoreRemoteAudio();
    test::settle();
    EXPECT_EQ(room->audioHandler, nullptr);
    EXPECT_FALSE(page.remoteAudio());

    Defaults::standard().set("remote_audio", PlistValue(1));
    room->restoreRemoteAudio();
    EXPECT_TRUE(page.remoteAudio());
    ASSERT_NE(room->audioHandler, nullptr);
    ASSERT_TRUE(session.sim->waitForCommand("stream create type=remote_audio_rx compression=opus"));

    room->sessionClosing();
    EXPECT_EQ(room->audioHandler, nullptr);
    EXPECT_TRUE(page.remoteAudio());
    EXPECT_TRUE(session.sim->waitForCommand("remote_audio rx_on 0"));
}

// The device pop-ups' choices are stored, and restart a running engine with the chosen device.
TEST_F(RemoteAudioRoom, ChosenOutputDeviceIsStoredAndUsed) {
    startAnswered();
    auto& outputs = control<PopUpButton>("audioOutputDevicesPopup");
    outputs.selectItemWithTitle("Device 3");
    emit outputs.action();
    EXPECT_EQ(Defaults::standard().stringForKey("audio_out_device_01"), "Device 3");
    EXPECT_EQ(room->audioHandler, nullptr);  // off: only stored

    clickRemoteAudio(true);
    answerStreams();
    EXPECT_TRUE(waitFor(
        [&] { return backend->runningStream(kHeadset, AudioDirection::Output).has_value(); }));
    const auto choice = room->outputDeviceChoice();
    ASSERT_TRUE(choice && choice->device);
    EXPECT_EQ(choice->device->deviceID(), kHeadset);
}

// The record button asks where to record, proposing a name no file has yet, records the
// microphone there and lists the file when it stops; the file can then be sent to the radio.
TEST_F(RemoteAudioRoom, RecordingProposesAFreeNameAndTheRecordedFileCanBeSent) {
    for (const char* taken : {"vmsdr_sound_file.m4a", "vmsdr_sound_file 1.m4a"}) {
        std::ofstream(sounds.path / taken) << "x";
    }
    startAnswered();
    clickRemoteAudio(true);
    answerStreams();
    SavePanel asked;
    const auto previous = SavePanel::setTestResponder([&](SavePanel& panel) {
        asked = panel;
        return std::optional<std::string>("take.m4a");
    });
    auto& record = control<QPushButton>("recordStopButton");
    record.click();
    SavePanel::setTestResponder(previous);
    EXPECT_EQ(asked.nameFieldStringValue(), "vmsdr_sound_file 2.m4a");
    EXPECT_EQ(asked.title(), "Tarvelo Sound Recording");
    EXPECT_EQ(asked.message(), "Record Sound File");
    EXPECT_EQ(asked.directory(), sounds.path);
    EXPECT_EQ(record.text().toStdString(), "Stop");
    EXPECT_TRUE(record.isChecked());
    for (std::size_t slice = 0; slice < 20; ++slice) {
        std::vector<float> mono(480);
        for (std::size_t f = 0; f < mono.size(); ++f) {
            mono[f] = test::tone(440, 48000, slice * 480 + f);
        }
        ASSERT_TRUE(backend->capture(kMicrophone, {mono}));
    }
    record.click();
    EXPECT_EQ(record.text().toStdString(), "Record");
    EXPECT_TRUE(std::filesystem::exists(sounds.path / "take.wav"));
    auto& files = control<PopUpButton>("recorded_filesPopUp");
    EXPECT_EQ(files.title(), "take.wav");

    control<QPushButton>("fileTransmitButton").click();
    EXPECT_TRUE(room->audioHandler->transmittingFile());
}

// Nothing is recorded when the panel is cancelled, or when remote audio is off (no microphone):
// the button goes back up.
TEST_F(RemoteAudioRoom, RecordingWithoutAFileOrAMicrophoneLeavesTheButtonUp) {
    startAnswered();
    auto& record = control<QPushButton>("recordStopButton");
    const auto previous =
        SavePanel::setTestResponder([](SavePanel&) { return std::optional<std::string>(); });
    record.click();  // remote audio off
    EXPECT_FALSE(record.isChecked());
    clickRemoteAudio(true);
    record.click();  // cancelled
    SavePanel::setTestResponder(previous);
    EXPECT_FALSE(record.isChecked());
    EXPECT_EQ(record.text().toStdString(), "Record");
    EXPECT_TRUE(std::filesystem::is_empty(sounds.path));
}

}  // namespace
}  // namespace vm
