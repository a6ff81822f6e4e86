#pragma once
// The radio's global, transmit and microphone profiles on the program's side: the flags that say a
// load or save is outstanding, the waits on them, the save of the three current profiles,
// creating a profile, the profile menus, and the record of which profiles a radio had loaded.
// What lies outside it (the open radio, its binding, the debug switch) comes through ProfileHost.
//
// The flags are written and read on the main thread: the waits test them there every 10 ms as
// delayed tasks, so nothing blocks while the radio answers.
#include "app/memory/ProfileKind.h"
#include "platform/core/NotificationCenter.h"

#include <array>
#include <functional>
#include <memory>
#include <string>

namespace vm {

class MainMenus;
class MenuItem;
class ProfileHost;
class ProfilesPrefsPage;
class Radio;

class ProfileController : public std::enable_shared_from_this<ProfileController> {
public:
    // The room of the profile menus and pop-ups, which outlive it.
    static std::shared_ptr<ProfileController> create(MainMenus& menus, ProfilesPrefsPage& page,
                                                     std::weak_ptr<ProfileHost> host);
    ProfileController(const ProfileController&) = delete;
    ProfileController& operator=(const ProfileController&) = delete;

    // What a profile wait waits for: all three saved, or one load or save confirmed.
    enum class ProfileWait {
        allSaved,
        globalLoad,
        transmitLoad,
        micLoad,
        globalSave,
        transmitSave,
        micSave
    };

    // Waits without holding a thread: `done(true)` on the main queue once the radio has confirmed
    // (and not refused) what was asked, `done(false)` at once without a radio bound as GUI client,
    // after 15 s without an answer, or on a refusal.
    void waitForProfile(ProfileWait wait, std::function<void(bool)> done);
    // The global, transmit and microphone profiles saved in turn; `profilesAreSaved` once done.
    void saveProfiles();
    // The profiles in use, kept for the next session with this radio.
    void saveProfileNames();
    bool createGlobal(const std::string& name);
    bool createTx(const std::string& name);
    bool createMic(const std::string& name);
    // A save of the kind is outstanding from now until the radio answers it, and the wait on it.
    void beginProfileSave(ProfileKind kind);
    void waitForProfileSave(ProfileKind kind, std::function<void(bool)> done);
    // The kind's shortcut and contextual submenus, rebuilt from the radio's list, and the mark on
    // the item of the profile selected in the kind's pop-up.
    void loadProfileMenus(ProfileKind kind);
    void setProfileSubmenuSelections(ProfileKind kind);
    // A profile submenu item chosen: selects its profile in the kind's pop-up by title and sends
    // the pop-up's action.
    void profilesSubMenuChanged(ProfileKind kind, const MenuItem& item);
    // The radio's answers to profile loads and saves (registered per session).
    void globalProfileDidFinishLoading(const Notification& notification);
    void globalProfileDidFinishSaving(const Notification& notification);
    void transmitProfileDidFinishLoading(const Notification& notification);
    void transmitProfileDidFinishSaving(const Notification& notification);
    void micProfileDidFinishLoading(const Notification& notification);
    void micProfileDidFinishSaving(const Notification& notification);

    bool profilesAreSaved = false, loadingGlobalProfile = false, loadingTransmitProfile = false,
         loadingMicProfile = false, savingGlobalProfile = false, savingTransmitProfile = false,
         savingMicProfile = false;

private:
    ProfileController(MainMenus& menus, ProfilesPrefsPage& page, std::weak_ptr<ProfileHost> host);

    std::shared_ptr<Radio> radio() const;
    void profileAnswered(ProfileWait wait, const Notification& notification);
    bool createProfile(ProfileKind kind, const std::string& name);

    MainMenus& menus_;
    ProfilesPrefsPage& page_;
    std::weak_ptr<ProfileHost> host_;
    // The radio refused the last load or save of that kind (indexed by ProfileWait).
    std::array<bool, 7> profileRefused_{};
};

}  // namespace vm
