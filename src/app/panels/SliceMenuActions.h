#pragma once
// The slice menu's actions on slices A (number 0) and B (number 1) and on a slice chosen by
// number: swap A and B, copy one onto the other, remove a slice; and adding a slice or a
// panadapter. Each acts through the slices'
// setters or the radio's commands; the controls follow the slices through their observers.
//
// A slice is always found by its number, never by a position in a list, so a menu item made for
// a slice acts on that slice or on none. Missing slices refuse with the system beep.
//
// Main thread only. The menu items' actions hold the room weakly.
#include <memory>
#include <utility>

namespace vm {

class MainMenus;
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

private:
    struct Private {};

public:
    SliceMenuActions(Private, std::weak_ptr<TuningHost> host);

private:
    void connectItems(MainMenus& menus);
    // Slices 0 and 1 (A and B), either null when it does not exist.
    std::pair<std::shared_ptr<Slice>, std::shared_ptr<Slice>> slicesAB() const;
    void copySlice(Slice& from, Slice& to);

    const std::weak_ptr<TuningHost> host_;
};

}  // namespace vm
