#pragma once
// The preferences' Audio tab: the computer's audio devices and remote audio, the radio's speaker,
// headphone, microphone and monitor levels, and the voice recordings.
#include "app/windows/PreferencesPage.h"

#include <string>
#include <vector>

class QLabel;
class QPushButton;

namespace vm {

class CheckBox;
class LevelIndicator;
class PopUpButton;
class Slider;
class TextField;

class AudioPrefsPage : public PreferencesPage {
    Q_OBJECT

public:
    enum class Side { input, output };
    // An entry of a device pop-up: its title, and the device it stands for (none for "System").
    struct Device {
        std::string title;
        std::string uid;
    };

    explicit AudioPrefsPage(QWidget* parent = nullptr);

    // Fills the side's pop-up with the devices and selects the stored choice (else the first).
    void setAudioDevices(Side side, const std::vector<Device>& devices);
    // The chosen device's title; empty when there is none.
    std::string audioDevice(Side side) const;
    // The chosen device's UID; empty for "System" or when nothing is chosen.
    std::string audioDeviceUid(Side side) const;
    // Selects the side's entry of that title, when there is one; nothing is stored or sent.
    void showAudioDevice(Side side, const std::string& title);

    bool remoteAudio() const;
    // Sets the remote-audio check box from code; nothing is sent.
    void setRemoteAudio(bool on);
    // The radio's speaker and headphone levels (0 to 100), each with its on box.
    bool radioSpeakerOn() const;
    double radioSpeakerVolume() const;
    bool radioHeadsetOn() const;
    double radioHeadsetVolume() const;
    // The speaker level's slider and number show a level (with remote audio on, the computer's
    // playback volume); nothing is sent.
    void showRadioSpeakerVolume(double volume);
    // The microphone's level and peak level in dBfs, each on its indicator and as "-12 dBfs".
    void showMicLevel(double dbfs);
    void showMicPeakLevel(double dbfs);

    // The voice recordings' controls, as the recorder shows its state: the record button's title
    // ("Stop" while recording, which also keeps the button down), the elapsed time, the two level
    // indicators (0 to 8) and the list of recorded files.
    void setRecordStopButtonTitle(const std::string& title);
    void setElapsedSecondsLabelHidden(bool hidden);
    void setElapsedSecondsLabel(const std::string& text);
    void setLeftPowerIndicator(double level);
    void setRightPowerIndicator(double level);
    void removeAllRecordedFiles();
    void addRecordedFile(const std::string& title);
    void selectRecordedFile(const std::string& title);

signals:
    // The operator's choices: a device by its title, remote audio on or off, a recording started
    // or stopped, and a recorded file (its title in the list) to transmit.
    void audioInputDevicesPopupChanged(const std::string& title);
    void audioOutputDevicesPopupChanged(const std::string& title);
    void remoteAudioCheckBoxChanged(bool on);
    void recordSoundFile(bool on);
    void transmitSoundFile(const std::string& title);

private:
    PopUpButton* devicePopup(Side side) const;

    CheckBox* remoteAudioCheckBox;
    PopUpButton* audioInputDevicesPopup;
    PopUpButton* audioOutputDevicesPopup;
    LevelIndicator* micLevelIndicator;
    TextField* micLevelText;
    LevelIndicator* micPeakLevelIndicator;
    TextField* micPeakLevelText;
    PopUpButton* micListPopup;
    Slider* radioMicLevelSlider;
    TextField* radioMicLevelText;
    CheckBox* radioMicBiasEnabledCheckBox;
    CheckBox* radioMicBoostEnabledCheckBox;
    Slider* radioSpeakerVolumeSlider;
    TextField* radioSpeakerVolumeText;
    CheckBox* radioSpeakerMuteCheckBox;
    Slider* radioHeadsetVolumeSlider;
    TextField* radioHeadsetVolumeText;
    CheckBox* radioHeadsetMuteCheckBox;
    CheckBox* radioPhoneMonitorCheckBox;
    Slider* radioPhoneMonitorGainSlider;
    TextField* radioPhoneMonitorGainText;
    PopUpButton* recorded_filesPopUp;
    QPushButton* recordStopButton;
    QPushButton* fileTransmitButton;
    LevelIndicator* leftPowerIndicator;
    LevelIndicator* rightPowerIndicator;
    QLabel* elapsedSecondsLabel;
};

}  // namespace vm
