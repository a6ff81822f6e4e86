#pragma once
// What the panadapter and waterfall views ask of the application controller: its state, its slice
// and pan lookups, tuning, and the window layout of the four panadapter windows. The application
// controller implements it; tests implement it with a small fake. Every call is made on the main
// thread.
#include <memory>
#include <string>
#include <vector>

namespace vm {

class Panafall;
class PanSpotObject;
class Radio;
class Slice;
class TNF;
struct MemorySlot;

class PanAdapterView;

class DisplayController {
public:
    virtual ~DisplayController() = default;

    // Application state.
    virtual bool radioStartupComplete() const = 0;
    virtual std::shared_ptr<Radio> openRadio() const = 0;
    virtual std::vector<std::shared_ptr<Slice>> doroSlices() const = 0;  // sorted by slice number
    virtual bool debug() const = 0;
    virtual bool doroInTransmit() const = 0;
    virtual void setLastPanMouseEntered(PanAdapterView* view) = 0;

    // What the panadapters overlay.
    virtual bool memoryShowOn() const = 0;  // memoryShowCB
    virtual bool trvlSpotsOn() const = 0;   // trvlSpotsButton
    virtual bool radioSpotsOn() const = 0;  // radioSpotsButton
    virtual std::vector<std::shared_ptr<MemorySlot>> userMemories() const = 0;
    virtual std::vector<std::shared_ptr<PanSpotObject>> localSpots() const = 0;
    virtual bool loadingSpots() const = 0;
    virtual std::vector<double> bandLowerEdges() const = 0;  // MHz
    virtual std::vector<double> bandUpperEdges() const = 0;  // MHz
    virtual bool loadingBandEdges() const = 0;
    virtual bool isTrvlRunning() const = 0;
    virtual std::string focusedPanBand() const = 0;

    // Slice and pan lookups; a null pointer when there is none.
    virtual std::shared_ptr<Slice> getSlice(int number) const = 0;  // getSliceA..getSliceD: 0..3
    virtual std::shared_ptr<Slice> closestSlice(double mhz) const = 0;
    virtual std::shared_ptr<Slice> centerSliceInPan(const Panafall& pan) const = 0;
    virtual double frequencyOutSidePanadapter(const Panafall& pan, double mhz) const = 0;

    // Tuning and control-panel actions.
    virtual void fineTuneHz(double hz, const std::shared_ptr<Slice>& slice) = 0;
    virtual void highlightTnf(const TNF& tnf, bool openPanel) = 0;
    virtual void reloadTnfTable() = 0;  // tnfTable reloadData
    virtual void swapVFOs() = 0;
    virtual void setVFOBequalsVFOA() = 0;
    virtual void setVFOAequalsVFOB() = 0;

    // Layout of the panadapter windows (a view and the waterfall under it).
    virtual void adjustPanadapterViews(PanAdapterView* view) = 0;
    virtual void dragPanadapterViews(PanAdapterView* view, double percent) = 0;
    virtual void viewSliderMoved(int pan) = 0;
    virtual void viewSliderDoneMoving(int pan) = 0;
};

}  // namespace vm
