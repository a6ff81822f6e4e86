#pragma once
// What the main window's tuning controls need from the application: the active and the alternate
// slice, a way to have the radio make slice A or B when this client lacks it, and for the band
// buttons the band stacks and the panadapter under the heads-up display. The app
// controller implements it; tests implement it in a few lines. Main thread only.
#include "app/control/MasterVolumeHost.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vm {

class BandStacks;
class Panafall;
class Radio;
class Slice;

// The volume stepper drives the master volume.
class TuningHost : public MasterVolumeHost {
public:
    virtual ~TuningHost() = default;

    // The first of the client's slices that is active, and the first that is not.
    virtual std::shared_ptr<Slice> activeVFO() const = 0;
    virtual std::shared_ptr<Slice> alternateVFO() const = 0;
    // The client's slice of a number; none without it.
    virtual std::shared_ptr<Slice> sliceWithNumber(int number) const = 0;
    // The client's slices, in ascending slice number.
    virtual std::vector<std::shared_ptr<Slice>> clientSlices() const = 0;
    // The radio this client works; none while no radio is open.
    virtual std::shared_ptr<Radio> openedRadio() const = 0;
    // Asks the radio, when the client has no slice of the number (0 for A, 1 for B), to make it.
    virtual bool needDoroVFO(int vfo) = 0;

    // --- The band buttons: the stacks of every band, the panadapter under the heads-up display
    // (none when no pan is there), the band name a pan takes for a frequency ("20", or "X" and a
    // transverter key), and a notice to the user.
    virtual BandStacks& bandStackStore() = 0;
    virtual std::shared_ptr<Panafall> panUnderHud() const = 0;
    virtual std::string panBandForFrequency(double mhz) const = 0;
    virtual void notifyUser(const std::string& title, const std::string& text) = 0;
    // The band ("20") of the centre of the panadapter under the heads-up display; "" without
    // an open radio or a panadapter there.
    virtual std::string focusedPanBand() const = 0;
    // How many panadapters the client shows.
    virtual int panafallCount() const = 0;
    // The panadapter that shows a frequency (MHz); none without one.
    virtual std::shared_ptr<Panafall> panForFrequency(double mhz) const = 0;
    // The radio is open and its connection is up (as a client or as the GUI client).
    virtual bool radioSessionUp() const = 0;
    // The band-stack editor opened on a band's stack ("20M").
    virtual void editBandStack(const std::string& band) = 0;

    // --- The VFO steppers: a slice moved by a step in Hz (a tenth of it in the narrow modes,
    // never a locked slice), and the step of one click for the modifier keys held now.
    virtual void fineTuneHz(double hz, const std::shared_ptr<Slice>& slice) = 0;
    virtual double getFrequencyKeyModifier() const = 0;
};

}  // namespace vm
