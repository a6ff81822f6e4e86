#include "app/shell/AppDisplayController.h"

#include "app/control/SiblingBridge.h"
#include "app/control/SliceLookups.h"
#include "app/memory/TnfWindowController.h"
#include "app/memory/UserMemoryController.h"
#include "app/panels/PanadapterController.h"
#include "app/panels/RadioControlsController.h"
#include "app/panels/SliceMenuActions.h"
#include "app/shell/AppDelegate.h"
#include "app/windows/PanadapterPrefsPage.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/RadioPrefsPage.h"
#include "app/windows/TnfPanel.h"
#include "display/Panafall.h"

namespace vm {

namespace {

lookups::PanSpan span(const Panafall& pan) {
    return {pan.center().value_or(0), pan.bandwidth().value_or(0), pan.streamId()};
}

// The numbers of an archived list of band edges; entries of another kind are skipped.
std::vector<double> megahertz(const ArchiveArray& edges) {
    std::vector<double> out;
    for (const ArchiveValue& edge : edges) {
        if (const double* real = edge.get<double>()) {
            out.push_back(*real);
        } else if (const std::int64_t* whole = edge.get<std::int64_t>()) {
            out.push_back(static_cast<double>(*whole));
        }
    }
    return out;
}

}  // namespace

bool AppDisplayController::radioStartupComplete() const { return app_.radioStartupComplete; }
std::shared_ptr<Radio> AppDisplayController::openRadio() const { return app_.openRadio; }
std::vector<std::shared_ptr<Slice>> AppDisplayController::doroSlices() const {
    return app_.doroSlices;
}
bool AppDisplayController::debug() const { return app_.prefsWindow->radioPage().debugEnabled(); }
bool AppDisplayController::doroInTransmit() const {
    return app_.radioControls && app_.radioControls->doroInTransmit();
}
void AppDisplayController::setLastPanMouseEntered(PanAdapterView* view) {
    app_.lastPanMouseEntered = view;
}

bool AppDisplayController::memoryShowOn() const {
    return app_.prefsWindow->panadapterPage().memoryShow();
}
bool AppDisplayController::trvlSpotsOn() const {
    return app_.prefsWindow->panadapterPage().trvlSpots();
}
bool AppDisplayController::radioSpotsOn() const {
    return app_.prefsWindow->panadapterPage().radioSpots();
}
std::vector<std::shared_ptr<MemorySlot>> AppDisplayController::userMemories() const {
    return app_.userMemoryController ? app_.userMemoryController->userMemories
                                     : std::vector<std::shared_ptr<MemorySlot>>{};
}
std::vector<std::shared_ptr<PanSpotObject>> AppDisplayController::localSpots() const {
    return app_.siblingBridge->localSpots();
}
bool AppDisplayController::loadingSpots() const { return app_.siblingBridge->loadingSpots(); }
std::vector<double> AppDisplayController::bandLowerEdges() const {
    return megahertz(app_.siblingBridge->bandLowerEdges());
}
std::vector<double> AppDisplayController::bandUpperEdges() const {
    return megahertz(app_.siblingBridge->bandUpperEdges());
}
bool AppDisplayController::loadingBandEdges() const {
    return app_.siblingBridge->loadingBandEdges();
}
bool AppDisplayController::isTrvlRunning() const { return app_.siblingBridge->isTrvlRunning(); }

// The band of the pan the pointer last entered is not tracked yet: no pan is in focus.
std::string AppDisplayController::focusedPanBand() const { return app_.focusedPanBand(); }

std::shared_ptr<Slice> AppDisplayController::getSlice(int number) const {
    return number >= 0 && number <= 3 ? app_.sliceWithNumber(number) : nullptr;
}
std::shared_ptr<Slice> AppDisplayController::closestSlice(double mhz) const {
    return app_.closestSlice(mhz);
}
std::shared_ptr<Slice> AppDisplayController::centerSliceInPan(const Panafall& pan) const {
    return lookups::centerSliceInPan(app_.doroSlices, span(pan));
}
double AppDisplayController::frequencyOutSidePanadapter(const Panafall& pan, double mhz) const {
    return lookups::frequencyOutSidePanadapter(span(pan), mhz);
}

void AppDisplayController::fineTuneHz(double hz, const std::shared_ptr<Slice>& slice) {
    app_.fineTuneHz(hz, slice);
}
void AppDisplayController::highlightTnf(const TNF& tnf, bool openPanel) {
    if (app_.tnfWindowController) {
        app_.tnfWindowController->highlightTnf(tnf, openPanel);
    }
}
void AppDisplayController::reloadTnfTable() {
    if (app_.tnfPanel) {
        app_.tnfPanel->tnfTable->reloadData();
    }
}
void AppDisplayController::swapVFOs() { app_.sliceMenu->swapVFOs(); }
void AppDisplayController::setVFOBequalsVFOA() { app_.sliceMenu->setVFOBequalsVFOA(); }
void AppDisplayController::setVFOAequalsVFOB() { app_.sliceMenu->setVFOAequalsVFOB(); }

PanadapterController* AppDisplayController::panadapterOf(const PanAdapterView* view) const {
    for (const auto& panadapter : app_.panadapters) {
        if (view && panadapter && panadapter->panAdapterView == view) {
            return panadapter.get();
        }
    }
    return nullptr;
}

PanadapterController* AppDisplayController::panadapterAt(int pan) const {
    return pan >= 0 && pan < 4 ? app_.panadapters[std::size_t(pan)].get() : nullptr;
}

void AppDisplayController::adjustPanadapterViews(PanAdapterView* view) {
    if (PanadapterController* panadapter = panadapterOf(view)) {
        panadapter->adjustPanadapterViews();
    }
}
void AppDisplayController::dragPanadapterViews(PanAdapterView* view, double percent) {
    if (PanadapterController* panadapter = panadapterOf(view)) {
        panadapter->dragPanadapterViews(percent);
    }
}
void AppDisplayController::viewSliderMoved(int pan) {
    if (PanadapterController* panadapter = panadapterAt(pan)) {
        panadapter->viewSliderMoved();
    }
}
void AppDisplayController::viewSliderDoneMoving(int pan) {
    if (PanadapterController* panadapter = panadapterAt(pan)) {
        panadapter->viewSliderDoneMoving();
    }
}

}  // namespace vm
