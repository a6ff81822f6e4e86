// What the rooms of station memory need of the controller: the band stacks the tuning controls
// read, a slice's preset shown in its panel, the band-stack editor, and the antennas kept for the
// next session.
#include "app/shell/AppDelegate.h"

#include "app/memory/BandStackController.h"
#include "app/panels/SlicePanelController.h"
#include "platform/core/Defaults.h"

namespace vm {

BandStacks& AppDelegate::bandStackStore() { return bandStackController->bandStacks; }

void AppDelegate::showPresetOfSlice(const std::shared_ptr<Slice>& slice) {
    if (SlicePanelController* panel = slicePanelFor(*slice)) {
        panel->setPresetPopupBasedOnFilter(slice);
    }
}

void AppDelegate::editBandStack(const std::string& band) {
    bandStackController->editBandStack(band);
}

void AppDelegate::saveActiveInBandStack() { bandStackController->saveActiveInBandStack(); }

void AppDelegate::saveAntennas() {
    if (!openRadio) {
        return;
    }
    Defaults& defaults = Defaults::standard();
    defaults.set("lastActiveRXAnt", lastActiveRXAnt);
    defaults.set("lastActiveTXAnt", lastActiveTXAnt);
    defaults.set("lastAlternateRXAnt", lastAlternateRXAnt);
    defaults.set("lastAlternateTXAnt", lastAlternateTXAnt);
}

}  // namespace vm
