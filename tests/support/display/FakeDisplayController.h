#pragma once
// The application controller as the display views see it, for tests: state the test sets, the
// slice lookups and fine tuning as the controller does them, and a record of the layout calls.
// Main thread only, as the views call it.
#include "display/Panafall.h"
#include "display/views/DisplayController.h"
#include "objects/Slice.h"
#include "radio/TNF.h"

#include <fmt/format.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vm::test {

class FakeDisplayController : public DisplayController {
public:
    // A fine-tuning request as the views made it.
    struct FineTune {
        double hz = 0;
        std::shared_ptr<Slice> slice;
    };

    static double megahertz(const Slice& slice) {
        const Text frequency = slice.sliceFrequency();
        return frequency ? std::strtod(frequency->c_str(), nullptr) : 0.0;
    }

    bool radioStartupComplete() const override { return startupComplete; }
    std::shared_ptr<Radio> openRadio() const override { return radio; }
    std::vector<std::shared_ptr<Slice>> doroSlices() const override { return slices; }
    bool debug() const override { return debugOn; }
    bool doroInTransmit() const override { return inTransmit; }
    void setLastPanMouseEntered(PanAdapterView* view) override { lastPanMouseEntered = view; }

    bool memoryShowOn() const override { return memoryShow; }
    bool trvlSpotsOn() const override { return trvlSpots; }
    bool radioSpotsOn() const override { return radioSpots; }
    std::vector<std::shared_ptr<MemorySlot>> userMemories() const override { return memories; }
    std::vector<std::shared_ptr<PanSpotObject>> localSpots() const override { return spots; }
    bool loadingSpots() const override { return loadingSpotLists; }
    std::vector<double> bandLowerEdges() const override { return lowerEdges; }
    std::vector<double> bandUpperEdges() const override { return upperEdges; }
    bool loadingBandEdges() const override { return loadingEdges; }
    bool isTrvlRunning() const override { return trvlRunning; }
    std::string focusedPanBand() const override { return panBand; }

    std::shared_ptr<Slice> getSlice(int number) const override {
        for (const auto& slice : slices) {
            if (slice->thisSliceNumber() == number) {
                return slice;
            }
        }
        return nullptr;
    }
    // The nearest slice within 10000 MHz; ties keep the first.
    std::shared_ptr<Slice> closestSlice(double mhz) const override {
        std::shared_ptr<Slice> closest;
        double distance = 10000.0;
        for (const auto& slice : slices) {
            const double d = std::abs(megahertz(*slice) - mhz);
            if (d < distance) {
                distance = d;
                closest = slice;
            }
        }
        return closest;
    }
    std::shared_ptr<Slice> centerSliceInPan(const Panafall& pan) const override {
        const double center = pan.center().value_or(0);
        const double half = pan.bandwidth().value_or(0) / 2.0;
        for (const auto& slice : slices) {
            const double f = megahertz(*slice);
            if (f >= center - half && f <= center + half) {
                return slice;
            }
        }
        return nullptr;
    }
    double frequencyOutSidePanadapter(const Panafall& pan, double mhz) const override {
        const double center = pan.center().value_or(0);
        const double half = pan.bandwidth().value_or(0) / 2.0;
        const double low = center - half + 0.001;
        const double high = center + half - 0.001;
        return mhz < low ? mhz - low : mhz > high ? mhz - high : 0.0;
    }

    // Records the request and retunes the slice: its frequency plus hz × the mode factor, sent
    // with autopan 0.
    void fineTuneHz(double hz, const std::shared_ptr<Slice>& slice) override {
        fineTunes.push_back({hz, slice});
        if (!slice) {
            return;
        }
        const std::string mode = slice->sliceMode().value_or("");
        const double factor = mode == "CW" || mode == "RTTY" || mode == "DIGU" ? 0.1 : 1.0;
        slice->setSliceFrequency(fmt::format("{:.6f}", megahertz(*slice) + hz * factor / 1e6), 0);
    }
    void highlightTnf(const TNF& tnf, bool openPanel) override {
        highlighted.push_back({tnf.tnf_id, openPanel});
    }
    void reloadTnfTable() override { ++tnfTableReloads; }
    void swapVFOs() override { panelActions.push_back("swapVFOs"); }
    void setVFOBequalsVFOA() override { panelActions.push_back("setVFOBequalsVFOA"); }
    void setVFOAequalsVFOB() override { panelActions.push_back("setVFOAequalsVFOB"); }

    void adjustPanadapterViews(PanAdapterView* view) override { adjusted.push_back(view); }
    void dragPanadapterViews(PanAdapterView* view, double percent) override {
        dragged.push_back({view, percent});
    }
    void viewSliderMoved(int pan) override { slidersMoved.push_back(pan); }
    void viewSliderDoneMoving(int pan) override { slidersDone.push_back(pan); }

    bool startupComplete = true;
    std::shared_ptr<Radio> radio;
    std::vector<std::shared_ptr<Slice>> slices;
    bool debugOn = false;
    bool inTransmit = false;
    PanAdapterView* lastPanMouseEntered = nullptr;
    // What the panadapters overlay.
    bool memoryShow = false;
    bool trvlSpots = false;
    bool radioSpots = false;
    std::vector<std::shared_ptr<MemorySlot>> memories;
    std::vector<std::shared_ptr<PanSpotObject>> spots;  // the sibling logger's
    bool loadingSpotLists = false;
    std::vector<double> lowerEdges;
    std::vector<double> upperEdges;
    bool loadingEdges = false;
    bool trvlRunning = false;
    std::string panBand;
    // Calls made.
    std::vector<std::pair<std::int32_t, bool>> highlighted;  // tnf_id, openPanel
    int tnfTableReloads = 0;
    std::vector<std::string> panelActions;
    std::vector<FineTune> fineTunes;
    std::vector<PanAdapterView*> adjusted;
    std::vector<std::pair<PanAdapterView*, double>> dragged;
    std::vector<int> slidersMoved;
    std::vector<int> slidersDone;
};

}  // namespace vm::test
