#pragma once
// The main window's tuning controls as the operator uses them: the mode pop-up, the frequency
// field of the active slice and the split pop-up. Each action acts on the host's active (and
// alternate) slice through the slice's setters, which send the radio's commands; the controls
// then follow the slices through their observers, not through this room.
//
// Main thread only. The controls' connections hold the room weakly.
#include <memory>

namespace vm {

class MainControlsBar;
class TuningHost;

class TuningController : public std::enable_shared_from_this<TuningController> {
public:
    // The room of `controls` (which outlive it), with its actions connected.
    static std::shared_ptr<TuningController> create(MainControlsBar& controls,
                                                    std::weak_ptr<TuningHost> host);

    // The mode pop-up: the active slice takes the chosen mode.
    void modeChanged();
    // The active slice's frequency field: `mhzInput` is set from the start of an edit to its
    // end, where the active slice is tuned to what was typed (or the field shows it again).
    void frequencyEditingBegan();
    void frequencyEditingEnded();
    bool mhzInput() const { return mhzInput_; }
    // The split pop-up: item 0 is off, items 1 to 6 split by 1, 2, 3, 5, 10 or 15 kHz. Slice B is
    // asked for first when the client lacks it. "Other" needs a window of its own that this
    // program does not have: it sends nothing.
    void splitPopupChanged();
    // A split of `kilohertz`: the alternate slice goes to the active slice's frequency plus the
    // split, written with six significant digits, and transmit moves to the alternate slice (to
    // the active one for 0). Nothing without both slices.
    void setSplit(double kilohertz);
    // A band button ("160" ... "6"): the next entry of the band's stack. The pan under the
    // heads-up display is centred on it; unless `centreOnly` (Alt held), the active slice takes
    // the entry's mode and frequency, and the pan the entry's band half a second later. A locked
    // active slice is never retuned: the user is told instead.
    void bandButtonPressed(const std::string& band, bool centreOnly);

private:
    struct Private {};

public:
    TuningController(Private, MainControlsBar& controls, std::weak_ptr<TuningHost> host);

private:
    void connectActions();

    MainControlsBar& controls_;
    const std::weak_ptr<TuningHost> host_;
    bool mhzInput_ = false;
};

}  // namespace vm
