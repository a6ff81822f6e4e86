// The controller's side of its periodic timers: the display steps of each second (titles, tabs,
// uptime, steppers), the panadapter views' heartbeat, and the minute's presence check and band
// stack.
#include "app/shell/AppDelegate.h"

#include "app/audio/RemoteAudioController.h"
#include "app/control/ConnectionTexts.h"
#include "app/control/SiblingBridge.h"
#include "app/memory/BandStackController.h"
#include "app/panels/PanadapterController.h"
#include "app/panels/RadioControlsController.h"
#include "app/panels/SlicePanelController.h"
#include "app/shell/QuickRecordDisplay.h"
#include "app/windows/MainControlsBar.h"
#include "app/windows/MainMenus.h"
#include "app/windows/PanadapterPrefsPage.h"
#include "app/windows/PanadapterWindow.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/RadioPrefsPage.h"
#include "app/windows/SlicePrefsPage.h"
#include "app/windows/StationPrefsPage.h"
#include "audio/VMRemoteAudioHandler.h"
#include "display/views/PanAdapterView.h"
#include "display/views/WaterFallView.h"
#include "objects/Slice.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Stepper.h"
#include "radio/Radio.h"
#include "radio/RadioFactory.h"

#include <QPointer>

#include <chrono>

namespace vm {

using namespace std::chrono_literals;

namespace {

// The preferences' tabs that the timers look at.
constexpr int kSlicesTab = 2;
constexpr int kStationTab = 3;

}  // namespace

bool AppDelegate::radioConnected() const {
    return radioFactory && openRadio && radioConnectionState == 4;
}

bool AppDelegate::hasActiveSlice() const { return activeVFO() != nullptr; }

bool AppDelegate::inTransmit() const { return radioControls && radioControls->doroInTransmit(); }

bool AppDelegate::voxEnabled() const {
    return openRadio && openRadio->voxEnabled().value_or(0) != 0;
}

void AppDelegate::adjustQuickRecordDisplay() {
    const Date now = std::chrono::system_clock::now();
    const std::shared_ptr<Slice> slices[] = {getSliceA(), getSliceB()};
    for (std::size_t index = 0; index < 2; ++index) {
        if (slices[index] && slicePanelControllers[index]) {
            vm::adjustQuickRecordDisplay(*slicePanelControllers[index], *slices[index], now,
                                         play_button_green, play_button_black);
        }
    }
}

void AppDelegate::refreshEachSecond() {
    if (siblingBridge) {
        siblingBridge->heartBeat();
    }
    const Date now = std::chrono::system_clock::now();
    if (now - lastTuningChange > 500ms) {
        for (Stepper* stepper : {mainControls->vfoSteppir, mainControls->vfoAltSteppir}) {
            if (stepper->doubleValue() != 0.0) {
                stepper->setDoubleValue(0.0);
            }
        }
    }
    if (const std::shared_ptr<Slice> active = activeVFO()) {
        mainControls->vfo_number->selectItemWithTitle(active->sliceTitle().value_or(""));
    }
    if (prefsWindow->panelVisible(kStationTab)) {
        prefsWindow->stationPage().setUptime(upTimeString());
    }
    adjustPanTabTitles();
    if (prefsWindow->panelVisible(kSlicesTab)) {
        adjustSliceTabTitles();
    }
    adjustHudTitle();
    adjustPanafallMenu();
    adjustPanafallControls();
}

std::string AppDelegate::upTimeString() const {
    return elapsedTimeString(std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now() - startupTime));
}

void AppDelegate::adjustSliceTabTitles() {
    for (std::size_t index = 0; index < 4; ++index) {
        const std::shared_ptr<Slice> slice =
            index < doroSlices.size() ? doroSlices[index] : nullptr;
        prefsWindow->slicePage().setTabTitle(
            int(index), slice ? QStringLiteral("Slice %1")
                                    .arg(QString::fromStdString(slice->sliceTitle().value_or("")))
                              : QStringLiteral("Off"));
    }
}

void AppDelegate::adjustPanTabTitles() {
    menus->disconnectMenuItem->setEnabled(openRadio != nullptr);
    for (std::size_t index = 0; index < 4; ++index) {
        const std::shared_ptr<Panafall> pan =
            index < doroPanafalls.size() ? doroPanafalls[index] : nullptr;
        if (!pan) {
            prefsWindow->panadapterPage().setPanTabTitle(int(index), QStringLiteral("Off"));
            continue;
        }
        const QString name = QString::fromStdString(panNameForPan(pan));
        prefsWindow->panadapterPage().setPanTabTitle(int(index), name);
        if (PanadapterController* shown = panadapterShowing(pan)) {
            shown->velmoraSDRWindow->setWindowTitle(QStringLiteral("velmoraSDR %1").arg(name));
        }
    }
}

void AppDelegate::panViewsHeartBeat(bool connected) {
    const bool transmitting = inTransmit();
    for (std::size_t index = 0; index < panadapters.size(); ++index) {
        PanadapterController* panadapter = panadapters[index].get();
        if (!panadapter || !panadapter->panAdapterView) {
            continue;
        }
        panadapter->panAdapterView->heartBeatTimer(int(index), transmitting, connected);
        QPointer<WaterFallView> waterfall = panadapter->waterFallView;
        DispatchQueue::main()->after(330ms, [waterfall, transmitting, connected] {
            if (waterfall) {
                waterfall->heartBeatTimer(transmitting, connected);
            }
        });
    }
}

void AppDelegate::oneMinute() {
    if (siblingBridge) {
        siblingBridge->checkSiblings(false);
    }
    if (!openRadio) {
        panadapters[0]->velmoraSDRWindow->frameStatus->setText(
            QStringLiteral("No Radio Connected"));
        prefsWindow->radioPage().setStatusText(QStringLiteral("No Radio Connected"));
        return;
    }
    if (std::chrono::system_clock::now() - lastTuningChange > 60s) {
        bandStackController->saveActiveInBandStack();
    }
}

bool AppDelegate::tuneInProgress() const {
    return radioControls &&
           (radioControls->doroAutoTuning() || radioControls->doroManualTuneInProgress());
}

bool AppDelegate::prefsPanelVisible(int tab) const {
    return prefsWindow && prefsWindow->panelVisible(tab);
}

std::optional<MeterDisplaysHost::MicLevels> AppDelegate::remoteMicLevels() const {
    if (!remoteAudio || !remoteAudio->audioHandler) {
        return std::nullopt;
    }
    return MicLevels{double(remoteAudio->audioHandler->micLevel()),
                     double(remoteAudio->audioHandler->micPeakLevel())};
}

void AppDelegate::sMeterBarChanged(int bar) {
    if (siblingBridge) {
        siblingBridge->sMeterBarChanged(bar);
    }
}

void AppDelegate::postUserNotification(const std::string& title, const std::string& text) {
    showNotificationWithTitle(title, text);
}

}  // namespace vm
