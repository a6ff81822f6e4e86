#pragma once
// Remote audio in the application: the Audio tab's remote-audio switch and its two device
// pop-ups, the sound system started and listened to without ever holding up the window, and the
// remote-audio engine (`audioHandler`), made when remote audio is switched on for the open radio
// and let go when it is switched off or the session ends.
//
// The sound system is started on the room's own queue ("com.velmorasoftware.vmsdr.audio_system"):
// making it may take long, or never return when a sound server is stuck. The window opens all the
// same; after the time limit the log says that the sound system has not answered, and whatever
// needs it (the device pop-ups, remote audio switched on) waits until it does. Device reports
// arrive on the sound system's thread, are read there, and reach the pop-ups and the engine only
// through the main queue.
//
// Threads: everything here runs on the main thread, except `radioStartupComplete`, which the
// engine reads on its streams' queues.
#include "app/audio/AudioSystemState.h"
#include "app/windows/AudioPrefsPage.h"
#include "audio/RemoteAudioApplication.h"
#include "audio/VoiceFileApplication.h"
#include "platform/core/DispatchQueue.h"

#include <QPointer>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vm {

class RemoteAudioHost;
class VMRemoteAudioHandler;

class RemoteAudioController : public RemoteAudioApplication,
                              public VoiceFileApplication,
                              public std::enable_shared_from_this<RemoteAudioController> {
public:
    // The room of the Audio tab, which outlives it; it connects the page's signals to its actions.
    static std::shared_ptr<RemoteAudioController> create(AudioPrefsPage& page,
                                                         std::weak_ptr<RemoteAudioHost> host);
    ~RemoteAudioController() override;
    RemoteAudioController(const RemoteAudioController&) = delete;
    RemoteAudioController& operator=(const RemoteAudioController&) = delete;

    // --- The sound system. Starts it off the main thread; after `limit` without an answer the
    // log says so. Once it answers, the device pop-ups are filled and remote audio waiting for it
    // starts.
    void startAudioSystem(std::chrono::milliseconds limit = std::chrono::seconds(5));
    bool audioSystemReady() const { return state_.has_value(); }
    // A report of the sound system, read on its thread: the default devices and the list compared
    // with the last report.
    void audioSystemReported(const AudioSystemState& now);
    void inputDeviceChanged();
    void outputDeviceChanged();
    void audioDeviceListChanged();
    void loadAudioDevicePopups(bool verbose);

    // --- The switch. On: a new engine for the open radio, the radio told, the computer's
    // microphone chosen ("mac_mic_source", else "PC") and captured, and the stored volume shown
    // and applied 0.1 s later. Off: the radio told, its own microphone chosen ("radio_mic_source",
    // else "MIC"), the engine stopped and let go, the local volume shown. Nothing without a radio.
    void turnRemoteAudioOn(bool on);
    bool remoteAudioOn() const;

    // --- The Audio tab's actions.
    void audioInputDevicesPopupChanged(const std::string& title);
    void audioOutputDevicesPopupChanged(const std::string& title);
    void remoteAudioCheckBoxChanged(bool on);
    // The record button: on asks where to record (a save panel proposing a free
    // "vmsdr_sound_file.m4a" in the sound-file folder) and records the microphone there; off
    // stops. Without remote audio there is no microphone to record: the button goes back up.
    void recordSoundFile(bool on);
    // Sends the recorded file of that title into the transmitter; an empty title sends nothing.
    void transmitSoundFile(const std::string& title);

    // --- The session. The end of the start-up chain: remote audio as "remote_audio" stored it
    // (nothing when the key is absent or off). The session's end: remote audio switched off, the
    // check box keeping its state.
    void restoreRemoteAudio();
    void sessionClosing();
    void setRadioStartupComplete(bool complete) { startupComplete_ = complete; }

    // --- What the engine asks (RemoteAudioApplication).
    bool radioStartupComplete() const override { return startupComplete_; }
    std::optional<AudioDeviceChoice> outputDeviceChoice() const override;
    std::optional<AudioDeviceChoice> inputDeviceChoice() const override;
    void showOutputDevice(const std::string& name) override;
    void showInputDevice(const std::string& name) override;

    // --- What voice recording and sound-file transmission ask (VoiceFileApplication).
    void setRecordStopButtonTitle(const std::string& title) override;
    void setElapsedSecondsLabelHidden(bool hidden) override;
    void setElapsedSecondsLabel(const std::string& text) override;
    void setLeftPowerIndicator(double level) override;
    void setRightPowerIndicator(double level) override;
    void removeAllRecordedFiles() override;
    void addRecordedFile(const std::string& title) override;
    void selectRecordedFile(const std::string& title) override;
    std::string soundFilesPath() const override;
    std::shared_ptr<Radio> openRadio() const override;

    // The engine while remote audio is on, else none.
    std::shared_ptr<VMRemoteAudioHandler> audioHandler;

private:
    RemoteAudioController(AudioPrefsPage& page, std::weak_ptr<RemoteAudioHost> host);
    void connectPage();
    void audioSystemAnswered(const AudioSystemState& state);
    std::optional<AudioDeviceChoice> choice(AudioPrefsPage::Side side) const;
    // Off, then on: the engine takes the devices chosen now.
    void restartRemoteAudio();

    QPointer<AudioPrefsPage> page_;
    const std::weak_ptr<RemoteAudioHost> host_;
    const DispatchQueuePtr audio_system_queue_;
    std::optional<AudioSystemState> state_;  // none until the sound system answered
    bool waitingForAudioSystem_ = false;     // remote audio asked for before it answered
    std::atomic<bool> startupComplete_{false};
    std::weak_ptr<AudioBackend> backend_;
    std::uint64_t listener_ = 0;
};

}  // namespace vm
