// The radio's own controls: the binding of the open radio, and the controls that need one.
#include "app/panels/RadioControlsController.h"

#include "app/windows/StatusImages.h"
#include "platform/core/Log.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/LevelIndicator.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TextField.h"
#include "radio/Radio.h"
#include "util/VMKVOManager.h"

namespace vm {

std::shared_ptr<RadioControlsController> RadioControlsController::create(
    RadioControls controls, std::weak_ptr<RadioControlsHost> host) {
    for (const auto& name : controls.missing) {
        log("RadioControlsController:no control:[{}]", name);
    }
    auto controller =
        std::make_shared<RadioControlsController>(Private{}, std::move(controls), std::move(host));
    controller->connectActions();
    controller->adjustRadioControls();
    controller->adjustRemoteAudioControls();
    return controller;
}

RadioControlsController::RadioControlsController(Private, RadioControls controls,
                                                 std::weak_ptr<RadioControlsHost> host)
    : controls_(std::move(controls)),
      host_(std::move(host)),
      greyBulb_(statusImageNamed("gray_ball")),
      greenBulb_(statusImageNamed("green_ball")),
      redBulb_(statusImageNamed("red_ball")),
      red_button_(statusImageNamed("red_button")),
      red_button_dark_(statusImageNamed("red_button_dark")) {}

// A binding still held elsewhere stops observing with its controls.
RadioControlsController::~RadioControlsController() {
    for (const auto* manager :
         {&radioKVOManager_, &rxEqualizersKVOManager_, &txEqualizersKVOManager_}) {
        if (*manager) {
            (*manager)->cancelKVO();
        }
    }
}

bool RadioControlsController::debugEnabled() const {
    const auto h = host();
    return h && h->debugEnabled();
}

void RadioControlsController::bind(const std::shared_ptr<Radio>& radio) {
    unbind();
    radio_ = radio;
    if (radio) {
        radioKVOManager_ = VMKVOManager::create();
        bindKeys(*radioKVOManager_, radioKeyTable(), radio, shared_from_this());
    }
    adjustRadioControls();
}

void RadioControlsController::unbind() {
    if (radioKVOManager_) {
        radioKVOManager_->cancelKVO();
    }
    for (auto* manager : {&rxEqualizersKVOManager_, &txEqualizersKVOManager_}) {
        if (*manager) {
            (*manager)->cancelKVO();
            manager->reset();
        }
    }
    radio_.reset();
    adjustRadioControls();
}

void RadioControlsController::adjustRadioControls() {
    const std::shared_ptr<Radio> radio = radio_.lock();
    const bool open = radio != nullptr;
    for (QWidget* control : std::initializer_list<QWidget*>{
             controls_.radioSpeakerVolumeSlider, controls_.radioHeadsetVolumeSlider,
             controls_.radioHeadsetMuteCheckBox, controls_.atuPowerSlider, controls_.atuCheckBox,
             controls_.atuPowerLevelText, controls_.remoteAudioCheckBox}) {
        control->setEnabled(open);
    }
    for (const auto& buttons :
         {controls_.saveProfileButton, controls_.addProfileButton, controls_.deleteProfileButton}) {
        for (ImageButton* button : buttons) {
            button->setEnabled(open);
        }
    }
    const auto instance = radio ? radio->radioInstance() : nullptr;
    controls_.stationNameText->setReadOnly(!(instance && instance->supportsV3_API));
}

void RadioControlsController::adjustRemoteAudioControls() {
    const RadioControls& c = controls_;
    const bool remote = c.remoteAudioCheckBox->state();
    for (QWidget* control : std::initializer_list<QWidget*>{
             c.radioCwSideTonePanSlider, c.radioMicBiasEnabledCheckBox,
             c.radioMicBoostEnabledCheckBox, c.radioHeadsetVolumeSlider, c.radioHeadsetMuteCheckBox,
             c.radioPhoneMonitorGainSlider, c.radioPhoneMonitorCheckBox,
             c.radioCompanderLevelSlider, c.radioCompanderEnabledCheckBox,
             c.radioSpeakerMuteCheckBox}) {
        control->setEnabled(!remote);
    }
    const auto radio = this->radio();
    const bool radioMic = !radio || radio->micSelection().value_or("") != "PC";
    c.radioMicLevelSlider->setEnabled(radioMic);
    const QString average = radioMic ? QStringLiteral("Radio Mic Average Level")
                                     : QStringLiteral("Remote (Mac) Mic Average Level");
    const QString peak = radioMic ? QStringLiteral("Radio Mic Peak Level")
                                  : QStringLiteral("Remote (Mac) Mic Peak Level");
    c.micLevelIndicator->setToolTip(average);
    c.micLevelText->setToolTip(average);
    c.micPeakLevelIndicator->setToolTip(peak);
    c.micPeakLevelText->setToolTip(peak);
}

}  // namespace vm
