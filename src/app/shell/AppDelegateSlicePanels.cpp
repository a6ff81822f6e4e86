// The slice panels' host: what lies outside the four panels and follows their slices (the main
// window's VFO controls and context mode menus, the heads-up RIT and XIT switches, the memory
// window's antenna pop-ups), the open radio's transmitter for a quick-record transmit, and the
// mute of every slice but the active one.
#include "app/shell/AppDelegate.h"

#include "app/control/SliceLookups.h"
#include "app/panels/SlicePanelController.h"
#include "app/windows/HudWindow.h"
#include "app/windows/MainControlsBar.h"
#include "app/windows/MainMenus.h"
#include "app/windows/MemoryPanel.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/RadioPrefsPage.h"
#include "app/windows/SlicePanel.h"
#include "objects/Slice.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "radio/Radio.h"

namespace vm {

namespace {

// A pop-up without an item of the title keeps its selection.
void selectTitle(PopUpButton* popup, const std::string& title) {
    if (popup->indexOfItemWithTitle(title) >= 0) {
        popup->selectItemWithTitle(title);
    }
}

}  // namespace

SlicePanelController* AppDelegate::slicePanelFor(const Slice& slice) const {
    const int number = slice.thisSliceNumber();
    return number >= 0 && number <= 3 ? slicePanelControllers[std::size_t(number)].get() : nullptr;
}

std::string AppDelegate::panNameForFrequency(double mhz) const {
    return panNameForPan(panForFrequency(mhz));
}

void AppDelegate::setTxState(bool transmit) {
    if (openRadio) {
        openRadio->setTxState(transmit ? 1 : 0);
    }
}

void AppDelegate::sliceTuned(const std::shared_ptr<Slice>& slice) {
    // The VFO fields follow once the handler has returned, with the slice's frequency then.
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    if (slice == activeVFO()) {
        DispatchQueue::main()->async([weak, slice] {
            if (const auto self = weak.lock()) {
                self->mainControls->vfo_mhz->setDoubleValue(lookups::sliceMegahertz(*slice));
            }
        });
    }
    if (slice == alternateVFO()) {
        DispatchQueue::main()->async([weak, slice] {
            if (const auto self = weak.lock()) {
                self->mainControls->vfo_alt_mhz->setDoubleValue(lookups::sliceMegahertz(*slice));
                self->mainControls->vfoAltText->setText(
                    QString::fromStdString(slice->sliceTitle().value_or("")));
            }
        });
    }
    lastTuningChange = std::chrono::system_clock::now();
    adjustSplitControls();
}

void AppDelegate::showModeMenus(int panel, const std::string& mode, bool active) {
    if (active) {
        selectTitle(mainControls->vfo_mode, mode);
    }
    if (Menu* modes = menus->contextModeSubMenuItems[std::size_t(panel)]->submenu()) {
        for (int i = 0; i < modes->numberOfItems(); ++i) {
            if (MenuItem* item = modes->itemAtIndex(i)) {
                item->setState(item->title() == mode);
            }
        }
    }
}

void AppDelegate::showActiveMode() {
    if (const auto active = activeVFO()) {
        selectTitle(mainControls->vfo_mode, active->sliceMode().value_or(""));
    }
}

// The slices' first lines arrive in any order, and an inactive slice reports its state too: the
// main fields show the slice that is active now, never merely the one that reported last. Without
// an active slice they keep what they show.
void AppDelegate::activeSliceChanged(const std::shared_ptr<Slice>& /*slice*/) {
    const std::shared_ptr<Slice> active = activeVFO();
    const std::shared_ptr<Slice> alternate = alternateVFO();
    if (active) {
        selectTitle(mainControls->vfo_number, active->sliceTitle().value_or(""));
        mainControls->vfo_mhz->setDoubleValue(lookups::sliceMegahertz(*active));
        selectTitle(mainControls->vfo_mode, active->sliceMode().value_or(""));
    }
    mainControls->vfo_alt_mhz->setDoubleValue(alternate ? lookups::sliceMegahertz(*alternate) : 0);
    mainControls->vfoAltText->setText(
        QString::fromStdString(alternate ? alternate->sliceTitle().value_or("") : ""));
    if (prefsWindow->radioPage().muteAlternateVFO()) {
        muteAllButActive(true);
    }
    adjustVFOMenu();
    adjustSplitControls();
    applyPendingTuneLinks();
}

void AppDelegate::muteAllButActive(bool mute) {
    for (const auto& slice : doroSlices) {
        const bool muted = slice->sliceMuteEnabled().value_or(false);
        const bool wanted = mute && !slice->sliceActive().value_or(false);
        if (muted != wanted) {
            slice->setSliceMuteEnabled(wanted);
        }
    }
}

void AppDelegate::showHudRit(bool on) {
    hud->hudRitButton->setState(on);
    hud->hudRitButton->setImage(on ? blueBulb : greyBulb);
}

void AppDelegate::showHudXit(bool on) {
    hud->hudXitButton->setState(on);
    hud->hudXitButton->setImage(on ? orangeBulb : greyBulb);
}

void AppDelegate::showMemoryRxAnt(int panel, const std::string& title) {
    selectTitle(memoryPanel->rxAntPopups[std::size_t(panel)], title);
}

void AppDelegate::showMemoryTxAnt(int panel, const std::string& title) {
    selectTitle(memoryPanel->txAntPopups[std::size_t(panel)], title);
}

void AppDelegate::adjustModeControls() {
    for (const auto& controller : slicePanelControllers) {
        controller->adjustModeControls();
    }
}

}  // namespace vm
