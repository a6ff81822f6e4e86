// The app controller's side of the CWX room: the keyer bound while remote audio is on, the side
// tone opened and closed with remote audio and the radio's side-tone switch, and what the room
// reads of the rest of the window (the transmitting slice's mode, the output device, the CW
// sliders).
#include "app/shell/AppDelegate.h"

#include "app/audio/RemoteAudioController.h"
#include "app/cwx/CwxController.h"
#include "app/panels/RadioControls.h"
#include "app/panels/RadioControlsController.h"
#include "objects/Slice.h"
#include "platform/core/Log.h"
#include "platform/ui/Slider.h"
#include "radio/Radio.h"

namespace vm {

void AppDelegate::remoteAudioSwitched(bool on, const std::shared_ptr<Radio>& radio) {
    if (radioControls) {
        radioControls->adjustRemoteAudioControls();
    }
    if (!cwxController || !radio) {
        return;
    }
    if (const auto keyer = radio->cwx()) {
        if (on) {
            cwxController->bindKeyer(keyer);
            log("turnRemoteAudioOn:CWX Started");
        } else {
            cwxController->unbindKeyer();
            log("turnRemoteAudioOn:CWX Stopped");
        }
    }
    const Number sidetone = radio->sidetone();
    if (sidetone && *sidetone != 0) {
        cwxController->OpenCloseSideTone(on);
    }
}

void AppDelegate::openCloseSideTone(bool on) {
    if (cwxController) {
        cwxController->OpenCloseSideTone(on);
    }
}

void AppDelegate::sideToneParametersChanged() {
    if (cwxController) {
        cwxController->changeSidetoneParameters();
    }
}

std::string AppDelegate::transmitMode() const {
    const auto slice = transmitVFO();
    return slice ? slice->sliceMode().value_or("") : std::string();
}

std::optional<CwxHost::OutputChoice> AppDelegate::outputDeviceChoice() const {
    const auto choice = remoteAudio ? remoteAudio->outputDeviceChoice() : std::nullopt;
    if (!choice || !choice->device) {
        return std::nullopt;
    }
    return CwxHost::OutputChoice{choice->device->deviceID(), choice->title};
}

CwxHost::SideToneSettings AppDelegate::sideToneSettings() const {
    SideToneSettings settings;
    if (radioControls) {
        const RadioControls& c = radioControls->controls();
        settings.pitch = c.radioCwPitchSlider->doubleValue();
        settings.wpm = int(c.radioCwSpeedSlider->doubleValue());
        settings.gain = int(c.radioCwSideToneGainSlider->doubleValue());
    }
    return settings;
}

}  // namespace vm
