// Groups of controls brought into line with the slices and panadapters there are: the app
// controller hands each group to the room that holds its controls.
#include "app/shell/AppDelegate.h"

#include "app/control/BandNames.h"
#include "app/panels/PanadapterController.h"
#include "app/panels/SliceMenuActions.h"
#include "app/panels/SlicePanelController.h"
#include "app/panels/TuningController.h"
#include "app/windows/MemoryPanel.h"
#include "app/windows/PanControls.h"
#include "app/windows/PanSettingsPage.h"
#include "app/windows/SlicePanel.h"
#include "display/Panafall.h"
#include "objects/Slice.h"

#include <QSignalBlocker>

namespace vm {

bool AppDelegate::radioSessionUp() const {
    return openRadio && (radioConnectionState == 2 || radioConnectionState == 4);
}

void AppDelegate::loadSlicePopup() {
    tuning->loadSliceTitles();
    sliceMenu->loadSlicePopup();
}

void AppDelegate::loadAntennas(const std::shared_ptr<Slice>& slice) {
    SlicePanelController* panel = slice ? slicePanelFor(*slice) : nullptr;
    if (!panel) {
        return;
    }
    panel->loadAntennas(slice);
    // The memory window offers the same antennas as the panel.
    const auto index = std::size_t(panel->index());
    const SlicePanel& shown = panel->panel();
    for (auto [memory, from] : {std::pair{memoryPanel->rxAntPopups[index], shown.rxAntPopup},
                                std::pair{memoryPanel->txAntPopups[index], shown.txAntPopup}}) {
        const QSignalBlocker quiet(memory);
        memory->clear();
        for (int i = 0; i < from->count(); ++i) {
            memory->addItem(from->itemText(i));
        }
    }
}

void AppDelegate::adjustSliceControls() {
    for (std::size_t i = 0; i < slicePanelControllers.size(); ++i) {
        if (const auto& panel = slicePanelControllers[i]) {
            panel->adjustSliceControls();
            const bool exists = sliceWithNumber(int(i)) != nullptr;
            memoryPanel->rxAntPopups[i]->setEnabled(exists);
            memoryPanel->txAntPopups[i]->setEnabled(exists);
        }
    }
}

// What acts on the radio's slices and panadapters needs a radio: the slice panels, the pans'
// controls and the tuning controls are disabled when a session ends and come back with the next.
void AppDelegate::adjustSessionControls() {
    adjustSliceControls();
    adjustVFOMenu();
    adjustPanafallControls();
    tuning->adjustTuningControls(openRadio != nullptr);
}

void AppDelegate::adjustVFOMenu() { sliceMenu->adjustVFOMenu(); }

void AppDelegate::adjustSplitControls() { tuning->adjustSplitControls(); }

void AppDelegate::adjustPanafallMenu() { sliceMenu->adjustPanafallMenu(); }

void AppDelegate::adjustPanafallControls() {
    for (const auto& panadapter : panadapters) {
        if (!panadapter || !panadapter->panControls) {
            continue;
        }
        const bool shown = panadapter->panafall != nullptr;
        const PanControls& c = *panadapter->panControls;
        std::vector<QWidget*> controls{
            c.bandwidthSlider,    c.bandwidthText,   c.averageSlider,   c.averageText,
            c.fpsSlider,          c.fpsText,         c.preAmpListPopup, c.minDbmSlider,
            c.minDbmText,         c.maxDbmSlider,    c.maxDbmText,      c.bandText,
            c.wnbButton,          c.wnbLevelSlider,  c.wnbLevelText,    c.autoBlackEnabledCheckBox,
            c.blackLevelSlider,   c.blackLevelText,  c.colorGainSlider, c.colorGainText,
            c.lineDurationSlider, c.lineDurationText};
        if (const PanSettingsPage* settings = panadapter->panSettings) {
            controls.insert(controls.end(), {settings->viewProportion, settings->viewProportionText,
                                             settings->maxBandwidthPopup, settings->daxIqPopup});
        }
        for (QWidget* control : controls) {
            control->setEnabled(shown);
        }
    }
}

}  // namespace vm
