#include "app/panels/RadioControls.h"

#include "app/windows/EqualizerPanel.h"
#include "app/windows/MainMenus.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Slider.h"
#include "platform/ui/Stepper.h"
#include "platform/ui/TextField.h"

#include <QLabel>

#include <fmt/format.h>

namespace vm {

namespace {

class Finder {
public:
    Finder(const std::vector<QWidget*>& roots, std::vector<std::string>& missing)
        : roots_(roots), missing_(missing) {}

    template <class T>
    void operator()(T*& control, const std::string& name) {
        for (QWidget* root : roots_) {
            if (auto* found = root->findChild<T*>(QString::fromStdString(name))) {
                control = found;
                return;
            }
        }
        missing_.push_back(name);
    }

private:
    const std::vector<QWidget*>& roots_;
    std::vector<std::string>& missing_;
};

}  // namespace

RadioControls RadioControls::find(const std::vector<QWidget*>& roots, const MainMenus& menus,
                                  EqualizerPanel* rx, EqualizerPanel* tx) {
    RadioControls c;
    Finder look(roots, c.missing);
    look(c.transmitButton, "transmitButton");
    look(c.tuneButton, "tuneButton");
    look(c.tuneModePopup, "tuneModePopup");
    c.moxMenuItem = menus.moxMenuItem;
    c.voxMenuItem = menus.voxMenuItem;
    c.tuneMenuItem = menus.tuneMenuItem;

    look(c.powerSlider, "powerSlider");
    look(c.powerLevelText, "powerLevelText");
    look(c.radioMaxPowerLevelText, "radioMaxPowerLevelText");
    look(c.atuPowerSlider, "atuPowerSlider");
    look(c.atuPowerLevelText, "atuPowerLevelText");
    look(c.atuCheckBox, "atuCheckBox");
    look(c.amCarrierSlider, "amCarrierSlider");
    look(c.amCarrierLevelText, "amCarrierLevelText");
    look(c.txCheckBox, "txCheckBox");
    look(c.txInWaterfallCheckBox, "txInWaterfallCheckBox");
    look(c.txDaxEnabledCheckBox, "txDaxEnabledCheckBox");
    look(c.fullDuplexEnabledCheckBox, "fullDuplexEnabledCheckBox");
    look(c.radioBinauralRxCheckBox, "radioBinauralRxCheckBox");
    look(c.transmitFilterLoStepper, "transmitFilterLoStepper");
    look(c.transmitFilterLoText, "transmitFilterLoText");
    look(c.transmitFilterHiStepper, "transmitFilterHiStepper");
    look(c.transmitFilterHiText, "transmitFilterHiText");
    look(c.radioVoxEnabledCheckBox, "radioVoxEnabledCheckBox");
    look(c.radioVoxLevelSlider, "radioVoxLevelSlider");
    look(c.radioVoxLevelText, "radioVoxLevelText");
    look(c.radioVoxDelaySlider, "radioVoxDelaySlider");
    look(c.radioVoxDelayText, "radioVoxDelayText");
    look(c.radioSpeechProcCheckBox, "radioSpeechProcCheckBox");
    look(c.radioSpeechProcPopup, "radioSpeechProcPopup");
    look(c.radioCompanderEnabledCheckBox, "radioCompanderEnabledCheckBox");
    look(c.radioCompanderLevelSlider, "radioCompanderLevelSlider");
    look(c.radioCompanderLevelText, "radioCompanderLevelText");
    look(c.radioTxDelayText, "radioTxDelayText");
    look(c.radioAccTxDelayCheckBox, "radioAccTxDelayCheckBox");
    look(c.radioAccTxDelayText, "radioAccTxDelayText");
    for (int i = 0; i < 3; ++i) {
        look(c.radioTxEnabledCheckBox[std::size_t(i)],
             fmt::format("radioTx{}EnabledCheckBox", i + 1));
        look(c.radioTxDelayTexts[std::size_t(i)], fmt::format("radioTx{}DelayText", i + 1));
    }
    look(c.pttSourceTitle, "pttSourceTitle");
    look(c.pttSourceText, "pttSourceText");

    look(c.radioCwPitchSlider, "radioCwPitchSlider");
    look(c.radioCwPitchText, "radioCwPitchText");
    look(c.radioCwSpeedSlider, "radioCwSpeedSlider");
    look(c.radioCwSpeedText, "radioCwSpeedText");
    look(c.radioCwIambicEnabledCheckBox, "radioCwIambicEnabledCheckBox");
    look(c.radioCwIambicModePopup, "radioCwIambicModePopup");
    look(c.radioCwSwapPaddlesCheckBox, "radioCwSwapPaddlesCheckBox");
    look(c.radioCwBreakInCheckBox, "radioCwBreakInCheckBox");
    look(c.radioCwBreakInDelaySlider, "radioCwBreakInDelaySlider");
    look(c.radioCwBreakInDelayText, "radioCwBreakInDelayText");
    look(c.radioCwSideToneEnabledCheckBox, "radioCwSideToneEnabledCheckBox");
    look(c.radioCwSideToneGainSlider, "radioCwSideToneGainSlider");
    look(c.radioCwSideToneGainText, "radioCwSideToneGainText");
    look(c.radioCwSideTonePanSlider, "radioCwSideTonePanSlider");
    look(c.radioSyncCWXCheckBox, "radioSyncCWXCheckBox");

    look(c.remoteAudioCheckBox, "remoteAudioCheckBox");
    look(c.micListPopup, "micListPopup");
    look(c.radioMicLevelSlider, "radioMicLevelSlider");
    look(c.radioMicLevelText, "radioMicLevelText");
    look(c.radioMicBiasEnabledCheckBox, "radioMicBiasEnabledCheckBox");
    look(c.radioMicBoostEnabledCheckBox, "radioMicBoostEnabledCheckBox");
    look(c.radioSpeakerVolumeSlider, "radioSpeakerVolumeSlider");
    look(c.radioSpeakerVolumeText, "radioSpeakerVolumeText");
    look(c.radioSpeakerMuteCheckBox, "radioSpeakerMuteCheckBox");
    look(c.radioHeadsetVolumeSlider, "radioHeadsetVolumeSlider");
    look(c.radioHeadsetVolumeText, "radioHeadsetVolumeText");
    look(c.radioHeadsetMuteCheckBox, "radioHeadsetMuteCheckBox");
    look(c.radioPhoneMonitorCheckBox, "radioPhoneMonitorCheckBox");
    look(c.radioPhoneMonitorGainSlider, "radioPhoneMonitorGainSlider");
    look(c.radioPhoneMonitorGainText, "radioPhoneMonitorGainText");
    look(c.micLevelIndicator, "micLevelIndicator");
    look(c.micLevelText, "micLevelText");
    look(c.micPeakLevelIndicator, "micPeakLevelIndicator");
    look(c.micPeakLevelText, "micPeakLevelText");

    look(c.amplifierInterlockPopup, "amplifierInterlockPopup");
    look(c.amplifierInterlockText, "amplifierInterlockText");
    look(c.stationNameText, "stationNameText");
    look(c.radioTnfEnabledCheckBox, "radioTnfEnabledCheckBox");

    const char* kinds[] = {"Global", "Tx", "Mic"};
    const char* popups[] = {"globalProfilesPopup", "txProfilesPopup", "micProfilesPopup"};
    for (std::size_t i = 0; i < 3; ++i) {
        look(c.profilesPopup[i], popups[i]);
        look(c.saveProfileButton[i], fmt::format("save{}ProfileButton", kinds[i]));
        look(c.addProfileButton[i], fmt::format("add{}ProfileButton", kinds[i]));
        look(c.deleteProfileButton[i], fmt::format("delete{}ProfileButton", kinds[i]));
    }
    c.equalizer = {rx, tx};
    return c;
}

}  // namespace vm
