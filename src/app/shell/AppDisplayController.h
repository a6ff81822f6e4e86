#pragma once
// The application controller as the panadapter and waterfall views see it: its state, its slice
// and pan lookups, read from the one AppDelegate of the program. The views hold it by reference;
// the controller owns it and outlives them. Main thread only.
//
// Highlighting a notch filter goes to the TNF window's room, the VFO swaps to the slice menu's
// room, and the window layout calls to the panadapter of the view or pan index.
#include "display/views/DisplayController.h"

namespace vm {

class AppDelegate;
class PanadapterController;

class AppDisplayController : public DisplayController {
public:
    explicit AppDisplayController(AppDelegate& app) : app_(app) {}

    bool radioStartupComplete() const override;
    std::shared_ptr<Radio> openRadio() const override;
    std::vector<std::shared_ptr<Slice>> doroSlices() const override;
    bool debug() const override;
    bool doroInTransmit() const override;
    void setLastPanMouseEntered(PanAdapterView* view) override;

    bool memoryShowOn() const override;
    bool trvlSpotsOn() const override;
    bool radioSpotsOn() const override;
    std::vector<std::shared_ptr<MemorySlot>> userMemories() const override;
    std::vector<std::shared_ptr<PanSpotObject>> localSpots() const override;
    bool loadingSpots() const override;
    std::vector<double> bandLowerEdges() const override;
    std::vector<double> bandUpperEdges() const override;
    bool loadingBandEdges() const override;
    bool isTrvlRunning() const override;
    std::string focusedPanBand() const override;

    std::shared_ptr<Slice> getSlice(int number) const override;
    std::shared_ptr<Slice> closestSlice(double mhz) const override;
    std::shared_ptr<Slice> centerSliceInPan(const Panafall& pan) const override;
    double frequencyOutSidePanadapter(const Panafall& pan, double mhz) const override;

    void fineTuneHz(double hz, const std::shared_ptr<Slice>& slice) override;
    void highlightTnf(const TNF& tnf, bool openPanel) override;
    void reloadTnfTable() override;
    void swapVFOs() override;
    void setVFOBequalsVFOA() override;
    void setVFOAequalsVFOB() override;

    void adjustPanadapterViews(PanAdapterView* view) override;
    void dragPanadapterViews(PanAdapterView* view, double percent) override;
    void viewSliderMoved(int pan) override;
    void viewSliderDoneMoving(int pan) override;

private:
    // The panadapter that holds the view, or the one of pan index 0 to 3; none for another.
    PanadapterController* panadapterOf(const PanAdapterView* view) const;
    PanadapterController* panadapterAt(int pan) const;

    AppDelegate& app_;
};

}  // namespace vm
