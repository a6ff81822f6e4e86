#pragma once
// The main window's tuning controls as the operator uses them: the slice and mode pop-ups, the
// frequency field of the active slice and the frequency steppers, the split pop-up and the split
// window, the band buttons, the volume and span steppers, and the heads-up RIT and XIT buttons.
// Each action acts on the host's active (and alternate) slice through the slice's setters, which
// send the radio's commands; the controls then follow the slices through their observers. The
// room also shows the split of the slices in the split pop-up and lights the band button of the
// band in use.
//
// The four steppers count clicks: each action takes the stepper's value as the step and sets it
// back to 0, so every click is one step.
//
// Main thread only. The controls' connections hold the room weakly.
#include <memory>
#include <string>

namespace vm {

class HudWindow;
class MainControlsBar;
class SplitWindow;
class TuningHost;

class TuningController : public std::enable_shared_from_this<TuningController> {
public:
    // The room of `controls`, the split window and the heads-up display (which outlive it; the
    // windows may be absent), with its actions connected.
    static std::shared_ptr<TuningController> create(MainControlsBar& controls,
                                                    std::weak_ptr<TuningHost> host,
                                                    SplitWindow* splitWindow = nullptr,
                                                    HudWindow* hud = nullptr);

    // The mode pop-up: the active slice takes the chosen mode.
    void modeChanged();
    // The active slice's frequency field: `mhzInput` is set from the start of an edit to its
    // end, where the active slice is tuned to what was typed (or the field shows it again).
    void frequencyEditingBegan();
    void frequencyEditingEnded();
    bool mhzInput() const { return mhzInput_; }
    // The split pop-up: item 0 is off, items 1 to 6 split by 1, 2, 3, 5, 10 or 15 kHz, and
    // "Other" brings up the split window, which asks for the kHz. Slice B is asked for first
    // when the client lacks it.
    void splitPopupChanged();
    // The split window's OK (the typed split) and Cancel (nothing).
    void splitkHzOK();
    void splitkHzCancel();
    // The split pop-up shows the alternate slice's offset from the active one while the
    // alternate slice transmits: one of the fixed items, or "Other" titled with the offset in
    // kHz (below 1000 kHz).
    void adjustSplitControls();
    // A split of `kilohertz`: the alternate slice goes to the active slice's frequency plus the
    // split, written with six significant digits, and transmit moves to the alternate slice (to
    // the active one for 0). Nothing without both slices.
    void setSplit(double kilohertz);
    // A band button ("160" ... "6"): the next entry of the band's stack. The pan under the
    // heads-up display is centred on it; unless `centreOnly` (Alt held), the active slice takes
    // the entry's mode and frequency, and the pan the entry's band half a second later. A locked
    // active slice is never retuned: the user is told instead.
    void bandButtonPressed(const std::string& band, bool centreOnly);
    // A band button with Ctrl held: the band-stack editor on the band's stack.
    void bandButtonEdit(const std::string& band);
    // Lights the band button of a band ("20"); any other band leaves all dark, and "" leaves
    // the buttons as they are.
    void adjustBandButtons(const std::string& band);
    // The controls that act on slices work only while a radio is open: without one they are
    // disabled (the mode, frequency, split, volume and span controls, the band buttons and the
    // heads-up RIT and XIT buttons), and the next session enables them again.
    void adjustTuningControls(bool radioOpen);

    // The slice pop-up lists the client's slices by title; choosing one makes it the active and
    // transmitting slice, and the panadapter that shows it is centred on it.
    void loadSliceTitles();
    void vfoNumberChanged();
    // The frequency steppers of the active and the alternate slice.
    void vfoSteppirChanged();
    void vfoAltSteppirChanged();
    // The span stepper: the panadapter under the heads-up display widens or narrows by 10 kHz
    // a click.
    void panBandwidthStepperPressed();
    // The volume stepper: remote audio's volume while it is on, else the radio's speaker and
    // headset levels whose switches are on; each kept within 0 to 100.
    void volumeStepperChanged();
    // The heads-up RIT and XIT buttons switch the active slice's RIT or XIT; switched off, the
    // offset goes back to 0.
    void hudRitButtonChanged();
    void hudXitButtonChanged();

private:
    struct Private {};

public:
    TuningController(Private, MainControlsBar& controls, std::weak_ptr<TuningHost> host,
                     SplitWindow* splitWindow, HudWindow* hud);

private:
    void connectActions();
    void connectWindows();
    void stepSlice(bool alternate);

    MainControlsBar& controls_;
    SplitWindow* const splitWindow_;
    HudWindow* const hud_;
    const std::weak_ptr<TuningHost> host_;
    bool mhzInput_ = false;
    // The band whose button is lit ("" for none).
    std::string litBand_;
};

}  // namespace vm
