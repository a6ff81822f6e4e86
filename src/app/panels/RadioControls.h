#pragma once
// The controls that show and set the radio's own state, wherever they sit: the transmit and tune
// buttons of the main window, the transmit menu, the Transmit, CW, Audio, Amplifier, Station and
// Profiles tabs of the preferences, the notch filter window's switch and the two equalizer
// panels. The windows build them; the set finds each by its outlet name (its objectName) once,
// so the windows keep their layout to themselves.
#include <array>
#include <string>
#include <vector>

class QLabel;
class QWidget;

namespace vm {

class CheckBox;
class EqualizerPanel;
class ImageButton;
class LevelIndicator;
class MenuItem;
class PopUpButton;
class Slider;
class Stepper;
class TextField;
struct MainMenus;

struct RadioControls {
    // Finds every control under the roots (the windows that hold them), the transmit menu's items
    // in `menus` and the equalizer panels. The names that no root holds are listed in `missing`;
    // their pointers stay empty.
    static RadioControls find(const std::vector<QWidget*>& roots, const MainMenus& menus,
                              EqualizerPanel* rx, EqualizerPanel* tx);

    std::vector<std::string> missing;

    // Main window and its transmit menu.
    ImageButton* transmitButton = nullptr;
    ImageButton* tuneButton = nullptr;
    PopUpButton* tuneModePopup = nullptr;
    MenuItem* moxMenuItem = nullptr;
    MenuItem* voxMenuItem = nullptr;
    MenuItem* tuneMenuItem = nullptr;

    // Transmit.
    Slider* powerSlider = nullptr;
    TextField* powerLevelText = nullptr;
    TextField* radioMaxPowerLevelText = nullptr;
    Slider* atuPowerSlider = nullptr;
    TextField* atuPowerLevelText = nullptr;
    CheckBox* atuCheckBox = nullptr;
    Slider* amCarrierSlider = nullptr;
    TextField* amCarrierLevelText = nullptr;
    CheckBox* txCheckBox = nullptr;
    CheckBox* txInWaterfallCheckBox = nullptr;
    CheckBox* txDaxEnabledCheckBox = nullptr;
    CheckBox* fullDuplexEnabledCheckBox = nullptr;
    CheckBox* radioBinauralRxCheckBox = nullptr;
    Stepper* transmitFilterLoStepper = nullptr;
    TextField* transmitFilterLoText = nullptr;
    Stepper* transmitFilterHiStepper = nullptr;
    TextField* transmitFilterHiText = nullptr;
    CheckBox* radioVoxEnabledCheckBox = nullptr;
    Slider* radioVoxLevelSlider = nullptr;
    TextField* radioVoxLevelText = nullptr;
    Slider* radioVoxDelaySlider = nullptr;
    TextField* radioVoxDelayText = nullptr;
    CheckBox* radioSpeechProcCheckBox = nullptr;
    PopUpButton* radioSpeechProcPopup = nullptr;
    CheckBox* radioCompanderEnabledCheckBox = nullptr;
    Slider* radioCompanderLevelSlider = nullptr;
    TextField* radioCompanderLevelText = nullptr;
    TextField* radioTxDelayText = nullptr;
    CheckBox* radioAccTxDelayCheckBox = nullptr;
    TextField* radioAccTxDelayText = nullptr;
    std::array<CheckBox*, 3> radioTxEnabledCheckBox{};  // radioTx1EnabledCheckBox ... 3
    std::array<TextField*, 3> radioTxDelayTexts{};      // radioTx1DelayText ... 3
    QLabel* pttSourceTitle = nullptr;
    QLabel* pttSourceText = nullptr;

    // CW.
    Slider* radioCwPitchSlider = nullptr;
    TextField* radioCwPitchText = nullptr;
    Slider* radioCwSpeedSlider = nullptr;
    TextField* radioCwSpeedText = nullptr;
    CheckBox* radioCwIambicEnabledCheckBox = nullptr;
    PopUpButton* radioCwIambicModePopup = nullptr;
    CheckBox* radioCwSwapPaddlesCheckBox = nullptr;
    CheckBox* radioCwBreakInCheckBox = nullptr;
    Slider* radioCwBreakInDelaySlider = nullptr;
    TextField* radioCwBreakInDelayText = nullptr;
    CheckBox* radioCwSideToneEnabledCheckBox = nullptr;
    Slider* radioCwSideToneGainSlider = nullptr;
    TextField* radioCwSideToneGainText = nullptr;
    Slider* radioCwSideTonePanSlider = nullptr;
    CheckBox* radioSyncCWXCheckBox = nullptr;

    // Audio.
    CheckBox* remoteAudioCheckBox = nullptr;
    PopUpButton* micListPopup = nullptr;
    Slider* radioMicLevelSlider = nullptr;
    TextField* radioMicLevelText = nullptr;
    CheckBox* radioMicBiasEnabledCheckBox = nullptr;
    CheckBox* radioMicBoostEnabledCheckBox = nullptr;
    Slider* radioSpeakerVolumeSlider = nullptr;
    TextField* radioSpeakerVolumeText = nullptr;
    CheckBox* radioSpeakerMuteCheckBox = nullptr;
    Slider* radioHeadsetVolumeSlider = nullptr;
    TextField* radioHeadsetVolumeText = nullptr;
    CheckBox* radioHeadsetMuteCheckBox = nullptr;
    CheckBox* radioPhoneMonitorCheckBox = nullptr;
    Slider* radioPhoneMonitorGainSlider = nullptr;
    TextField* radioPhoneMonitorGainText = nullptr;
    // The microphone's level meters (the radio's microphone or the computer's).
    LevelIndicator* micLevelIndicator = nullptr;
    TextField* micLevelText = nullptr;
    LevelIndicator* micPeakLevelIndicator = nullptr;
    TextField* micPeakLevelText = nullptr;

    // Amplifier, station, notch filters.
    PopUpButton* amplifierInterlockPopup = nullptr;
    QLabel* amplifierInterlockText = nullptr;
    TextField* stationNameText = nullptr;
    CheckBox* radioTnfEnabledCheckBox = nullptr;

    // Profiles, in the order global, transmit, microphone.
    std::array<PopUpButton*, 3> profilesPopup{};  // globalProfilesPopup, txProfilesPopup...
    std::array<ImageButton*, 3> saveProfileButton{};
    std::array<ImageButton*, 3> addProfileButton{};
    std::array<ImageButton*, 3> deleteProfileButton{};

    // Equalizers: 0 receive, 1 transmit.
    std::array<EqualizerPanel*, 2> equalizer{};
};

}  // namespace vm
