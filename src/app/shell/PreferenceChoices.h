#pragma once
// The check boxes of the Radio preferences that the operator changes: each stores its state under
// its key at once, so the next start shows it, and passes on what follows from it through
// PreferenceChoicesHost. The stored forms are the ones start-up reads back: integers for
// "debug_state", "check_for_updates", "auto_connect", "tune_trvl" and "mute_alternate_audio",
// booleans for "vmsdr_dark_windows" and "hide_hud_in_background". Main thread only.
#include <QPointer>

#include <memory>

namespace vm {

class PreferenceChoicesHost;
class RadioPrefsPage;

class PreferenceChoices : public std::enable_shared_from_this<PreferenceChoices> {
public:
    // Connects the page's check boxes, while both live, to the actions below.
    static std::shared_ptr<PreferenceChoices> create(RadioPrefsPage& page,
                                                     std::weak_ptr<PreferenceChoicesHost> host);

    void debugChanged(bool on);
    void checkForUpdatesChanged(bool on);
    void autoConnectChanged(bool on);
    void tuneTrvlCheckBoxChanged(bool on);
    void darkWindowsChanged(bool on);
    void muteAlternateVFOCheckBoxChanged(bool on);
    void hideHudInBackgroundChanged(bool on);

private:
    PreferenceChoices(RadioPrefsPage& page, std::weak_ptr<PreferenceChoicesHost> host);
    void connectPage();

    QPointer<RadioPrefsPage> page_;
    std::weak_ptr<PreferenceChoicesHost> host_;
};

}  // namespace vm
