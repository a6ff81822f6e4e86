#pragma once
// What a slice panel's controller needs from outside its panel: the client's slices, the debug
// switch, the panadapter names, the open radio's transmitter, and the controls of other windows
// that follow the panel's slice (the main window's VFO fields and context mode menus, the
// heads-up RIT and XIT switches, the memory window's antenna pop-ups). The application's
// controller implements it; tests implement it in a few lines. Called on the main thread only.
#include <memory>
#include <string>

namespace vm {

class Slice;

class SlicePanelHost {
public:
    virtual ~SlicePanelHost() = default;

    // This client's slice of a number (panels A to D show slices 0 to 3); none without it.
    virtual std::shared_ptr<Slice> sliceWithNumber(int number) const = 0;
    virtual bool debugEnabled() const = 0;
    // The band name of the panadapter that shows a frequency ("20M"); "" when none shows it.
    virtual std::string panNameForFrequency(double mhz) const = 0;
    // Keys (true) or unkeys the open radio's transmitter; nothing without an open radio.
    virtual void setTxState(bool transmit) = 0;

    // The slice's frequency changed: the VFO fields follow it (after the handler has returned)
    // when it is the active or the alternate slice, and the time of the last tuning is now.
    virtual void sliceTuned(const std::shared_ptr<Slice>& slice) = 0;
    // The panel's context mode submenu marks the mode; the VFO mode pop-up shows it when the
    // panel's slice is the active one.
    virtual void showModeMenus(int panel, const std::string& mode, bool active) = 0;
    // The VFO mode pop-up shows the active slice's mode.
    virtual void showActiveMode() = 0;
    // The slice became active or inactive: the VFO controls show the active and the alternate
    // slice, and the other slices are muted when the operator asked for that.
    virtual void activeSliceChanged(const std::shared_ptr<Slice>& slice) = 0;
    // The heads-up RIT and XIT switches of the active slice.
    virtual void showHudRit(bool on) = 0;
    virtual void showHudXit(bool on) = 0;
    // The memory window's antenna pop-ups of a panel select the title (upper case).
    virtual void showMemoryRxAnt(int panel, const std::string& title) = 0;
    virtual void showMemoryTxAnt(int panel, const std::string& title) = 0;
    // A slice's lock or transmit flag changed: the slice menus' marks follow, and for the
    // transmit flag the split pop-up.
    virtual void adjustVFOMenu() = 0;
    virtual void adjustSplitControls() = 0;
};

}  // namespace vm
