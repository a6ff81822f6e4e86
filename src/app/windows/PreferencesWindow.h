#pragma once
// The preferences window: one tab per area of the station. The tab order is fixed because the
// controller refers to tabs by index: 0 Radio, 1 Panadapters, 2 Slices, 3 Station, 4 Audio,
// 5 Transmit, 6 Meters, 7 CW, 8 Equalizer, 9 Profiles, 10 Amplifier, 11 Transverters, 12 Knob.
// Every control carries its outlet name as objectName.
#include "app/windows/WidgetKit.h"
#include "platform/ui/ProgressIndicator.h"
#include "platform/ui/TableView.h"
#include "platform/ui/Window.h"

#include <QTabWidget>

#include <array>

namespace vm {

class EqualizerPanel;
class PanSettingsPage;
class SlicePanel;

class PreferencesWindow : public Window {
public:
    enum Tab {
        radioTab = 0,
        panadapterTab,
        sliceTab,
        stationTab,
        audioTab,
        transmitTab,
        metersTab,
        cwTab,
        equalizerTab,
        profilesTab,
        amplifierTab,
        transverterTab,
        knobTab
    };

    explicit PreferencesWindow(QWidget* parent = nullptr);

    QTabWidget* prefsTabView;
    QWidget* radioPrefsView;
    QWidget* panPrefsView;
    QWidget* slicePrefsView;
    QWidget* regPrefsView;

    // Radio
    TableView* radioTableView;
    TableView* remoteRadioTableView;
    QLabel* remoteRadioLabel;
    QLabel* frameStatus1;
    CheckBox* auto_connect;
    CheckBox* check_for_updates;
    CheckBox* debug_enabled;
    CheckBox* darkWindowsCheckBox;
    CheckBox* hideHudInBackgroundCheckBox;
    CheckBox* muteAlternateVFOCheckBox;
    CheckBox* tuneTrvlCheckBox;
    QGroupBox* auth_box;
    CheckBox* authUseDoroLinkButton;
    QPushButton* auth_login_button;
    QPushButton* auth_net_button;
    ProgressIndicator* authProgressIndicator;
    ImageButton* authDoroLinkServerStatus;
    QLabel* auth_status;
    QLabel* auth_email;
    QLabel* auth_picture;

    // Panadapters
    QTabWidget* panadapterTabView;
    std::array<PanSettingsPage*, 4> panSettings{};
    CheckBox* trvlSpotsButton;
    CheckBox* radioSpotsButton;
    CheckBox* memoryShowCB;
    CheckBox* zenithorNFMButton;

    // Slices
    QTabWidget* sliceTabView;
    std::array<SlicePanel*, 4> slicePanels{};

    // Station
    TextField* stationNameText;
    TextField* stationUptimeTextField;

    // Audio
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

    // Transmit
    Slider* powerSlider;
    TextField* powerLevelText;
    TextField* radioMaxPowerLevelText;
    Slider* atuPowerSlider;
    TextField* atuPowerLevelText;
    CheckBox* atuCheckBox;
    Slider* amCarrierSlider;
    TextField* amCarrierLevelText;
    CheckBox* txCheckBox;
    CheckBox* txInWaterfallCheckBox;
    CheckBox* txDaxEnabledCheckBox;
    CheckBox* fullDuplexEnabledCheckBox;
    CheckBox* radioBinauralRxCheckBox;
    Stepper* transmitFilterLoStepper;
    TextField* transmitFilterLoText;
    Stepper* transmitFilterHiStepper;
    TextField* transmitFilterHiText;
    CheckBox* radioVoxEnabledCheckBox;
    Slider* radioVoxLevelSlider;
    TextField* radioVoxLevelText;
    Slider* radioVoxDelaySlider;
    TextField* radioVoxDelayText;
    CheckBox* radioSpeechProcCheckBox;
    PopUpButton* radioSpeechProcPopup;
    CheckBox* radioCompanderEnabledCheckBox;
    Slider* radioCompanderLevelSlider;
    TextField* radioCompanderLevelText;
    TextField* radioTxDelayText;
    CheckBox* radioAccTxDelayCheckBox;
    TextField* radioAccTxDelayText;
    std::array<CheckBox*, 3>
        txEnabledCheckBoxes{};  // radioTx1EnabledCheckBox ... radioTx3EnabledCheckBox
    std::array<TextField*, 3> txDelayTexts{};  // radioTx1DelayText ... radioTx3DelayText
    QLabel* pttSourceTitle;
    QLabel* pttSourceText;

    // Meters
    PopUpButton* meterPanelPopUp;
    std::array<LevelIndicator*, 28> meters{};  // meter_1 ... meter_28
    std::array<QLabel*, 28> meterLabels{};     // meter_1_Label ... meter_28_Label

    // CW
    Slider* radioCwPitchSlider;
    TextField* radioCwPitchText;
    Slider* radioCwSpeedSlider;
    TextField* radioCwSpeedText;
    CheckBox* radioCwIambicEnabledCheckBox;
    PopUpButton* radioCwIambicModePopup;
    CheckBox* radioCwSwapPaddlesCheckBox;
    CheckBox* radioCwBreakInCheckBox;
    Slider* radioCwBreakInDelaySlider;
    TextField* radioCwBreakInDelayText;
    CheckBox* radioCwSideToneEnabledCheckBox;
    Slider* radioCwSideToneGainSlider;
    TextField* radioCwSideToneGainText;
    Slider* radioCwSideTonePanSlider;
    CheckBox* radioSyncCWXCheckBox;

    // Equalizer
    EqualizerPanel* rxEqualizer;
    EqualizerPanel* txEqualizer;

    // Profiles
    PopUpButton* globalProfilesPopup;
    PopUpButton* txProfilesPopup;
    PopUpButton* micProfilesPopup;
    ImageButton* saveGlobalProfileButton;
    ImageButton* addGlobalProfileButton;
    ImageButton* deleteGlobalProfileButton;
    ImageButton* saveTxProfileButton;
    ImageButton* addTxProfileButton;
    ImageButton* deleteTxProfileButton;
    ImageButton* saveMicProfileButton;
    ImageButton* addMicProfileButton;
    ImageButton* deleteMicProfileButton;

    // Amplifier
    std::array<LevelIndicator*, 4> ampMeters{};  // amp_meter_1 ... amp_meter_4
    std::array<QLabel*, 4> ampMeterLabels{};     // amp_meter_label_1 ... amp_meter_label_4
    PopUpButton* amplifierInterlockPopup;
    QLabel* amplifierInterlockText;

    // Transverters
    QTabWidget* xvtrTabView;
    ImageButton* xvtrAddButton;
    ImageButton* xvtrDeleteButton;
    ImageButton* xvtrSelectButton;

    // Knob
    CheckBox* doroControlCheckBox;
    PopUpButton* serialPortPopup;
    PopUpButton* doroControlTaskPopup;
    std::array<PopUpButton*, 3> doroControlAuxPopups{};  // doroControlAux1Popup ... 3
    ImageButton* doroControlLightButton;
    QLabel* doroControlStatus;

private:
    QWidget* buildRadioPage();
    QWidget* buildPanadapterPage();
    QWidget* buildSlicePage();
    QWidget* buildStationPage();
    QWidget* buildAudioPage();
    QWidget* buildTransmitPage();
    QWidget* buildMetersPage();
    QWidget* buildCwPage();
    QWidget* buildEqualizerPage();
    QWidget* buildProfilesPage();
    QWidget* buildAmplifierPage();
    QWidget* buildTransverterPage();
    QWidget* buildKnobPage();
};

}  // namespace vm
