#pragma once
// The slice menu's actions on slices A (number 0) and B (number 1) and on a slice chosen by
// number: swap A and B, copy one onto the other, toggle which of them is active or transmits,
// remove a slice; and adding a slice or a panadapter. Each acts through the slices' setters or
// the radio's commands; the controls follow the slices through their observers.
//
// The room also keeps the menus that name slices in line with the client's slices: the active,
// locked, transmit, centre and remove sub-menus (each in the slice menu and, as an independent
// copy, in the panadapters' contextual menu), the mode sub-menus of panels A to D, the check
// marks of the slices' flags and which items the slices present allow.
//
// A slice is always found by its number, never by a position in a list, so a menu item made for
// a slice acts on that slice or on none. Missing slices refuse with the system beep.
//
// Main thread only. The menu items' actions hold the room weakly.
#include <memory>
#include <string>
#include <utility>

namespace vm {

class MainMenus;
class Menu;
class Slice;
class TuningHost;

class SliceMenuActions : public std::enable_shared_from_this<SliceMenuActions> {
public:
    // The room of `menus` (which outlive it), its items' actions set.
    static std::shared_ptr<SliceMenuActions> create(MainMenus& menus,
                                                    std::weak_ptr<TuningHost> host);

    // B takes A's frequency, mode and transmit flag, then A takes B's former ones; the active
    // flag stays. A beep without A or B.
    void swapVFOs();
    // The target takes the source's frequency (the pan under the heads-up display is centred on
    // it), becomes active, takes its mode and transmits. A beep without A or B.
    void setVFOBequalsVFOA();
    void setVFOAequalsVFOB();
    // "slice remove <number>" with an open radio; a slice of that number that is gone gives a
    // beep and a log line and sends nothing.
    void removeVFO(int sliceNumber);
    // "Add Slice": a slice like the client's last one (its frequency, receive antenna and mode),
    // or the radio's default slice when the client has none; asked on the main queue.
    void addVFO();
    // "Add Panadapter": a panadapter of 100 x 100 pixels, which its view resizes once shown.
    void panadapterAdd();
    // "Remove Panadapter": the panadapter under the heads-up display, with an open radio.
    void panadapterRemove();
    // The active flag (or the transmit flag) goes to B when A has it, else to A. A beep without
    // A or B.
    void toggleActiveVFOs();
    void toggleVFOTransmit();

    // --- The menus that name slices (SliceMenuPopups.cpp). Rebuilt from the client's slices,
    // in ascending number; every item carries its slice's number as its tag.
    void loadSlicePopup();
    // The check marks of each slice's active, locked and transmit flags, "Add Slice" enabled
    // while the radio has room for one, the A-and-B items (swap, copies) enabled with both
    // slices, the active, lock and transmit sub-menus with either, and the centring item titled
    // with the band of the panadapter under the heads-up display.
    void adjustVFOMenu();
    // "Add Panadapter" while the radio has room and the client shows fewer than four;
    // "Remove Panadapter" while it shows any.
    void adjustPanafallMenu();
    // The sub-menus' actions on the slice of a number; a slice that is gone does nothing.
    void activeSubMenuChanged(int sliceNumber);
    void lockedSubMenuChanged(int sliceNumber);
    void transmitSubMenuChanged(int sliceNumber);
    // The panadapter under the heads-up display centred on the slice; a beep and a log line
    // without the slice or the panadapter.
    void centerViewOnVFO(int sliceNumber);
    // A panel's mode sub-menu: the slice takes the mode; a beep and a log line without it.
    void contextModeSettingSubMenuChanged(int sliceNumber, const std::string& mode);

private:
    struct Private {};

public:
    SliceMenuActions(Private, MainMenus& menus, std::weak_ptr<TuningHost> host);

private:
    void connectItems(MainMenus& menus);
    // Slices 0 and 1 (A and B), either null when it does not exist.
    std::pair<std::shared_ptr<Slice>, std::shared_ptr<Slice>> slicesAB() const;
    void copySlice(Slice& from, Slice& to);
    // A sub-menu item of the slice that calls `action` with its number.
    void addSliceItem(Menu& menu, const Slice& slice, void (SliceMenuActions::*action)(int));

    MainMenus& menus_;
    const std::weak_ptr<TuningHost> host_;
};

}  // namespace vm
