#pragma once
// What the radio's own controls need from outside their controls: the debug switch, the window
// appearance of their prompts, the computer's playback volume while remote audio is on, and the
// profile bookkeeping that the start-up chain and the quit share (the saving flags, the waits on
// the radio's answers, the profile menus). The application's controller implements it; tests
// implement it in a few lines. Called on the main thread only.
#include "app/memory/ProfileKind.h"

#include <QPalette>

#include <functional>
#include <optional>

namespace vm {

class RadioControlsHost {
public:
    virtual ~RadioControlsHost() = default;

    virtual bool debugEnabled() const = 0;
    // The appearance alerts and prompts take; none for the system's.
    virtual std::optional<QPalette> windowAppearance() const = 0;

    // The computer's playback volume of the radio's audio, 0 to 100 (remote audio on): set,
    // shown in the speaker level control and stored.
    virtual void setRemoteAudioVolume(double volume) = 0;
    // The local side tone while remote audio is on: opened or closed with the radio's side-tone
    // switch, and its pitch, speed and gain taken again when a CW slider moves.
    virtual void openCloseSideTone(bool /*on*/) {}
    virtual void sideToneParametersChanged() {}
    // The radio's room for slices or for panadapters changed: the menu items that add them
    // follow.
    virtual void adjustVFOMenu() {}
    virtual void adjustPanafallMenu() {}
    // The radio went into transmit: the active slice's frequency and mode go into its band's
    // stack, so that every keying records where the station transmitted.
    virtual void saveActiveInBandStack() = 0;

    // --- Profiles. Whether the radio keeps its profiles itself (newer radios): new transmit and
    // microphone profiles are then created, not saved.
    virtual bool profilesKeptByRadio() const = 0;
    // A save of the kind is outstanding from now until the radio answers it.
    virtual void beginProfileSave(ProfileKind kind) = 0;
    // `done(true)` on the main queue once the radio has confirmed the kind's save, `done(false)`
    // without a radio bound as GUI client, after 15 s without an answer, or on a refusal.
    virtual void waitForProfileSave(ProfileKind kind, std::function<void(bool)> done) = 0;
    // The kind's profile menus rebuilt from the radio's list, and their marks set to the
    // profile selected in the kind's pop-up.
    virtual void loadProfileMenus(ProfileKind kind) = 0;
    virtual void setProfileSubmenuSelections(ProfileKind kind) = 0;
};

}  // namespace vm
