#pragma once
// What the DoroControl knob does: one of ten tasks for each rotation step, chosen by the index of
// the item selected in its task pop-ups, and its three auxiliary buttons, which work as a radio
// group. At most one button is lit; the lit one selects which pop-up the knob follows, and a
// button whose pop-up is "MOX" keys the transmitter while it is lit. The lamp states survive in
// the preferences "doro_control_doroAuxButton1" to "doro_control_doroAuxButton3".
//
// Threads: main thread only.
#include "app/control/KnobProtocol.h"

#include <array>
#include <string>

namespace vm {

class DoroControlHost;

// The knob's tasks, by the index of their item in the task pop-ups. "MOX" is only offered to the
// auxiliary buttons.
enum class KnobTask {
    nothing,
    activeSliceVfo,
    alternateSliceVfo,
    volumeActiveSlice,
    volumeAlternateSlice,
    masterVolume,
    activeSliceRitLevel,
    activeSliceXitLevel,
    activeSliceAgcTLevel,
    alternateSliceAgcTLevel,
    mox
};

// Carries out `task` (an index of the pop-ups) for a rotation of `step` steps. A task that needs
// a slice does nothing without it; an index outside the list does nothing.
void switchTasks(DoroControlHost& host, int task, double step);

class KnobButtons {
public:
    // Lamp (and selection) state of the auxiliary buttons.
    bool doroAuxButton1 = false, doroAuxButton2 = false, doroAuxButton3 = false;

    // Button `n` (1 to 3) pressed: its state toggles and the other two go out.
    void toggle(int n);
    bool lit(int n) const;
    knob::Lamps lamps() const { return {doroAuxButton1, doroAuxButton2, doroAuxButton3}; }

    // The task the knob follows: the pop-up of the lit button (1, then 2, then 3), else the
    // knob's own.
    int selectedTask(int knobTask, const std::array<int, 3>& buttonTasks) const;
    // The heads-up display's lamps: "◉" for a lit button, "◎" for a dark one.
    std::string hudText() const;

    // The states stored, with "stopSerialReadChannel:save:%d%d%d"; read back (absent is dark),
    // with "doroControl:restore:%d%d%d".
    void save() const;
    void restore();
};

// Button `n` (1 to 3) pressed: any transmission ends; a button whose pop-up is "MOX" then keys the
// transmitter when it is lit.
void buttonTask(DoroControlHost& host, const KnobButtons& buttons, int n, bool mox);

}  // namespace vm
