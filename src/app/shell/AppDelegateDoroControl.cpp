// The tuning knob's host: the master volume on the audio page or the radio, the transmit button,
// the heads-up title with the knob's lamps, and the panadapter window brought to the front.
#include "app/shell/AppDelegate.h"

#include "app/audio/RemoteAudioController.h"
#include "app/control/DoroControlController.h"
#include "app/control/SliceLookups.h"
#include "app/panels/PanadapterController.h"
#include "app/panels/TuningController.h"
#include "app/shell/WindowDelegates.h"
#include "app/windows/AudioPrefsPage.h"
#include "app/windows/HudWindow.h"
#include "app/windows/MainControlsBar.h"
#include "app/windows/PanadapterWindow.h"
#include "app/windows/PreferencesWindow.h"
#include "audio/VMRemoteAudioHandler.h"
#include "display/views/PanAdapterView.h"
#include "platform/core/Defaults.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/KeyModifiers.h"
#include "radio/Radio.h"

#include <fmt/format.h>

#include <QApplication>

namespace vm {

double AppDelegate::getFrequencyKeyModifier() const { return vm::getFrequencyKeyModifier(); }

bool AppDelegate::remoteAudioOn() const { return remoteAudio && remoteAudio->remoteAudioOn(); }

std::optional<double> AppDelegate::remoteAudioVolume() const {
    if (!remoteAudio || !remoteAudio->audioHandler) {
        return std::nullopt;
    }
    return double(remoteAudio->audioHandler->outputVolume()) * 100.0;
}

void AppDelegate::setRemoteAudioVolume(double volume) {
    if (remoteAudio && remoteAudio->audioHandler) {
        remoteAudio->audioHandler->setOutputVolume(float(volume / 100.0));
    }
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    DispatchQueue::main()->async([weak, volume] {
        if (const auto self = weak.lock()) {
            self->prefsWindow->audioPage().showRadioSpeakerVolume(volume);
            Defaults::standard().set("remote_audio_volume", PlistValue(std::int64_t(volume)));
        }
    });
}

std::optional<double> AppDelegate::radioSpeakerVolume() const {
    const AudioPrefsPage& page = prefsWindow->audioPage();
    return page.radioSpeakerOn() ? std::optional(page.radioSpeakerVolume()) : std::nullopt;
}

void AppDelegate::setRadioSpeakerVolume(int volume) {
    if (openRadio) {
        openRadio->setMasterSpeakerAfGain(volume);
        Defaults::standard().set("local_audio_volume", PlistValue(std::int64_t{volume}));
    }
}

std::optional<double> AppDelegate::radioHeadsetVolume() const {
    const AudioPrefsPage& page = prefsWindow->audioPage();
    return page.radioHeadsetOn() ? std::optional(page.radioHeadsetVolume()) : std::nullopt;
}

void AppDelegate::setRadioHeadsetVolume(int volume) {
    if (openRadio) {
        openRadio->setMasterHeadsetAfGain(volume);
    }
}

// The transmit button's state, then its action: the radio is told only when its state differs.
void AppDelegate::pressTransmitButton(bool on) {
    mainControls->transmitButton->setState(on);
    if (openRadio && openRadio->txState().value_or(0) != int(on)) {
        openRadio->setTxState(on ? 1 : 0);
    }
}

void AppDelegate::adjustHudTitle() {
    // The panadapter under the heads-up display: that of the first main window it lies over,
    // else the first panadapter shown, else none.
    hudOverPanafall = nullptr;
    hudOverPanView = nullptr;
    const std::optional<int> under =
        windowDelegates ? windowDelegates->panWindowUnderHud() : std::nullopt;
    PanadapterController* over = under ? panadapters[std::size_t(*under)].get() : nullptr;
    for (std::size_t pan = 0; !over && pan < panadapters.size(); ++pan) {
        if (panadapters[pan] && panadapters[pan]->panafall) {
            over = panadapters[pan].get();
        }
    }
    if (over && over->panAdapterView) {
        hudOverPanView = over->panAdapterView;
        hudOverPanafall = hudOverPanView->myPanafall();
    }
    hud->setWindowTitle(QString::fromStdString(fmt::format("{} {} {}", versionTitleString(),
                                                           panNameForPan(hudOverPanafall),
                                                           doroControl->hudKnobText())));
    if (tuning) {
        tuning->adjustBandButtons(focusedPanBand());
    }
}

void AppDelegate::bringUsFront() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible()) {
            w->raise();
        }
    }
    const std::shared_ptr<Slice> active = activeVFO();
    const std::shared_ptr<Panafall> pan =
        active ? panForFrequency(lookups::sliceMegahertz(*active)) : nullptr;
    if (PanadapterController* shown = pan ? panadapterShowing(pan) : nullptr) {
        shown->velmoraSDRWindow->makeKeyAndOrderFront();
    }
}

}  // namespace vm
