#pragma once
// What the Radio preferences' check boxes change outside their own stored state: the detailed
// debug log of the controller and the open radio, the muting of the slices that are not active,
// the window appearance and the heads-up window hidden in the background. The application's
// controller implements it; tests implement it in a few lines. Main thread only.
namespace vm {

class PreferenceChoicesHost {
public:
    virtual ~PreferenceChoicesHost() = default;

    // The controller's debug flag, and with a radio open its log level (2 on, 1 off).
    virtual void setDebugLogging(bool on) = 0;
    // Every slice but the active one muted (on), or every slice unmuted (off).
    virtual void muteAllButActive(bool mute) = 0;
    // The appearance of the dark windows check box given to every window.
    virtual void darkWindowsChanged() = 0;
    virtual void setHudHidesOnDeactivate(bool on) = 0;
};

}  // namespace vm
