// The profile room: the waits on the radio's answers, the saves, creating a profile and the
// profile menus.
#include "app/memory/ProfileController.h"

#include "app/memory/ProfileHost.h"
#include "app/memory/ProfileNames.h"
#include "app/windows/MainMenus.h"
#include "app/windows/ProfilesPrefsPage.h"
#include "platform/core/ConditionWait.h"
#include "platform/core/Log.h"
#include "platform/ui/Menu.h"
#include "platform/ui/PopUpButton.h"
#include "radio/Radio.h"
#include "util/StringAdditions.h"

#include <any>

namespace vm {

namespace {

using namespace std::chrono_literals;
using ProfileWait = ProfileController::ProfileWait;

constexpr auto kPollInterval = 10ms;
constexpr auto kProfileTimeout = 15s;
// The transmit and microphone saves leave no sooner than this after the global one.
constexpr auto kSaveSpacing = 250ms;

// One wait: its name in the log, the flag it watches and the value it waits for, and the debug
// line of the notification handler that answers it.
struct WaitRule {
    const char* name;
    bool ProfileController::*flag;
    bool until;
    const char* answered;
};

// In the order of ProfileWait.
const WaitRule kWaits[] = {
    {"waitForAllSaved", &ProfileController::profilesAreSaved, true, nullptr},
    {"waitForGlobalLoad", &ProfileController::loadingGlobalProfile, false,
     "globalProfileDidFinishLoading"},
    {"waitForTransmitLoad", &ProfileController::loadingTransmitProfile, false,
     "transmitProfileDidFinishLoading"},
    {"waitForMicLoad", &ProfileController::loadingMicProfile, false, "micProfileDidFinishLoading"},
    {"waitForGlobalSave", &ProfileController::savingGlobalProfile, false,
     "globalProfileDidFinishSaving"},
    {"waitForTransmitSave", &ProfileController::savingTransmitProfile, false,
     "transmitProfileDidFinishSaving"},
    {"waitForMicSave", &ProfileController::savingMicProfile, false, "micProfileDidFinishSaving"},
};

const WaitRule& rule(ProfileWait wait) { return kWaits[static_cast<std::size_t>(wait)]; }

// One kind of profile: its texts in the log, its saving flag and wait, what the radio keeps of it,
// the command that saves it, its pop-up and its two menus.
struct KindRule {
    const char* createLine;   // "createGlobal:{}"
    const char* saveCommand;  // "Global" in "saveProfiles:cmdSaveGlobalProfile:[...]"
    const char* saveTitle;    // "Global" in "saveProfiles:Save Global Profile:[...] done"
    bool ProfileController::*saving;
    ProfileWait saveWait;
    Observed<TextList> RadioState::*list;
    Observed<Text> RadioState::*current;
    void (Radio::*save)(const std::string& name);
    ProfilesPrefsPage::Kind page;
    MenuItem* MainMenus::*shortcutsMenu;
    MenuItem* MainMenus::*contextualMenu;
};

// In the order of ProfileKind.
const KindRule kKinds[] = {
    {"createGlobal:{}", "Global", "Global", &ProfileController::savingGlobalProfile,
     ProfileWait::globalSave, &RadioState::globalProfiles, &RadioState::currentGlobalProfile,
     &Radio::cmdSaveGlobalProfile, ProfilesPrefsPage::Kind::global,
     &MainMenus::globalProfilesShortcutsMenu, &MainMenus::globalProfilesContextualMenu},
    {"createTx:{}", "Tx", "TX", &ProfileController::savingTransmitProfile,
     ProfileWait::transmitSave, &RadioState::txProfiles, &RadioState::currentTxProfile,
     &Radio::cmdSaveTxProfile, ProfilesPrefsPage::Kind::transmit,
     &MainMenus::transmitProfilesShortcutsMenu, &MainMenus::transmitProfilesContextualMenu},
    {"createMic:{}", "Mic", "Mic", &ProfileController::savingMicProfile, ProfileWait::micSave,
     &RadioState::micProfiles, &RadioState::currentMicProfile, &Radio::cmdSaveMicProfile,
     ProfilesPrefsPage::Kind::mic, &MainMenus::micProfilesShortcutsMenu,
     &MainMenus::micProfilesContextualMenu},
};

const KindRule& rule(ProfileKind kind) { return kKinds[static_cast<std::size_t>(kind)]; }

}  // namespace

std::shared_ptr<ProfileController> ProfileController::create(MainMenus& menus,
                                                             ProfilesPrefsPage& page,
                                                             std::weak_ptr<ProfileHost> host) {
    return std::shared_ptr<ProfileController>(new ProfileController(menus, page, std::move(host)));
}

ProfileController::ProfileController(MainMenus& menus, ProfilesPrefsPage& page,
                                     std::weak_ptr<ProfileHost> host)
    : menus_(menus), page_(page), host_(std::move(host)) {}

std::shared_ptr<Radio> ProfileController::radio() const {
    const auto host = host_.lock();
    return host ? host->currentRadio() : nullptr;
}

void ProfileController::waitForProfile(ProfileWait wait, std::function<void(bool)> done) {
    const WaitRule& waitRule = rule(wait);
    const auto host = host_.lock();
    if (!host || !host->currentRadio() || !host->radioConnectedAsGui()) {
        log("{}:no radio", waitRule.name);
        DispatchQueue::main()->async([done = std::move(done)] { done(false); });
        return;
    }
    // The answer to what is waited for comes after this call, on this thread.
    profileRefused_[static_cast<std::size_t>(wait)] = false;
    std::weak_ptr<ProfileController> weak = weak_from_this();
    waitForCondition(
        DispatchQueue::main(),
        [weak, &waitRule] {
            const auto self = weak.lock();
            return !self || (*self).*waitRule.flag == waitRule.until;
        },
        kPollInterval, kProfileTimeout,
        [weak, wait, done = std::move(done)](bool held) {
            const auto self = weak.lock();
            done(held && self && !self->profileRefused_[static_cast<std::size_t>(wait)]);
        });
}

// The radio's answer ends a load or save: its result tells whether the radio did it. Answers of
// a session other than the open one are not ours.
void ProfileController::profileAnswered(ProfileWait wait, const Notification& notification) {
    const auto host = host_.lock();
    const std::shared_ptr<Radio> openRadio = host ? host->currentRadio() : nullptr;
    if (!openRadio || notification.object.get() != static_cast<const void*>(openRadio.get())) {
        return;
    }
    const WaitRule& waitRule = rule(wait);
    if (host->debugEnabled()) {
        log("{}", waitRule.answered);
    }
    int result = 0;
    if (const auto found = notification.userInfo.find("result");
        found != notification.userInfo.end()) {
        if (const int* value = std::any_cast<int>(&found->second)) {
            result = *value;
        }
    }
    profileRefused_[static_cast<std::size_t>(wait)] = result != 0;
    (*this).*waitRule.flag = false;
}

void ProfileController::globalProfileDidFinishLoading(const Notification& notification) {
    profileAnswered(ProfileWait::globalLoad, notification);
}

void ProfileController::globalProfileDidFinishSaving(const Notification& notification) {
    profileAnswered(ProfileWait::globalSave, notification);
}

void ProfileController::transmitProfileDidFinishLoading(const Notification& notification) {
    profileAnswered(ProfileWait::transmitLoad, notification);
}

void ProfileController::transmitProfileDidFinishSaving(const Notification& notification) {
    profileAnswered(ProfileWait::transmitSave, notification);
}

void ProfileController::micProfileDidFinishLoading(const Notification& notification) {
    profileAnswered(ProfileWait::micLoad, notification);
}

void ProfileController::micProfileDidFinishSaving(const Notification& notification) {
    profileAnswered(ProfileWait::micSave, notification);
}

// The global, transmit and microphone profiles saved in turn, each once the previous save is
// confirmed (or its wait has given up); an empty transmit or microphone name skips its save.
void ProfileController::saveProfiles() {
    const auto host = host_.lock();
    const std::shared_ptr<Radio> openRadio = host ? host->currentRadio() : nullptr;
    if (!openRadio || !host->radioConnectedAsGui() || !host->launchComplete()) {
        return;
    }
    profilesAreSaved = false;
    const auto deadline = DispatchClock::now() + kSaveSpacing;
    if (openRadio->currentGlobalProfile().value_or("").empty()) {
        return;  // nothing to save: a wait for all saved gives up
    }
    std::weak_ptr<ProfileController> weak = weak_from_this();
    runChain(
        std::size(kKinds),
        [weak, deadline](std::size_t i, std::function<void()> next) {
            const auto self = weak.lock();
            if (!self) {
                return;
            }
            const KindRule& kind = kKinds[i];
            auto send = [weak, &kind, next] {
                const auto me = weak.lock();
                if (!me) {
                    return;
                }
                const std::shared_ptr<Radio> session = me->radio();
                const std::string name =
                    session ? ((*session).*kind.current)().value_or("") : std::string();
                if (!name.empty()) {
                    log("saveProfiles:cmdSave{}Profile:[{}]", kind.saveCommand, name);
                    (*me).*kind.saving = true;
                    ((*session).*kind.save)(name);
                }
                me->waitForProfile(kind.saveWait, [weak, &kind, next](bool saved) {
                    const auto again = weak.lock();
                    const std::shared_ptr<Radio> answered = again ? again->radio() : nullptr;
                    const std::string current =
                        answered ? ((*answered).*kind.current)().value_or("") : std::string();
                    if (saved) {
                        log("saveProfiles:Save {} Profile:[{}] done", kind.saveTitle, current);
                    } else {
                        log("saveProfiles:Save {} Profile:[{}] failed", kind.saveTitle, current);
                    }
                    next();
                });
            };
            if (i == 0) {
                send();
            } else {
                DispatchQueue::main()->after(
                    std::max(DispatchClock::duration::zero(), deadline - DispatchClock::now()),
                    send);
            }
        },
        [weak] {
            if (const auto self = weak.lock()) {
                self->profilesAreSaved = true;
            }
        });
}

// The profiles in use, kept for the next session with this radio.
void ProfileController::saveProfileNames() {
    const std::shared_ptr<Radio> openRadio = radio();
    if (!openRadio) {
        return;
    }
    const ProfileNames names{openRadio->currentGlobalProfile().value_or(""),
                             openRadio->currentTxProfile().value_or(""),
                             openRadio->currentMicProfile().value_or("")};
    const auto instance = openRadio->radioInstance();
    const std::string serial = instance ? instance->serialNum.value_or("") : "";
    if (storeProfileNames(serial, names)) {
        log("saveProfileNames:radioSerialNumber:[{}] savedProfileName:[{}] ", serial, names.global);
    }
}

bool ProfileController::createGlobal(const std::string& name) {
    return createProfile(ProfileKind::global, name);
}

bool ProfileController::createTx(const std::string& name) {
    return createProfile(ProfileKind::transmit, name);
}

bool ProfileController::createMic(const std::string& name) {
    return createProfile(ProfileKind::mic, name);
}

// Saving the current settings under a new name creates the profile. A name the radio already
// lists (modified or not) is refused, and so is any name without an open radio to keep it.
bool ProfileController::createProfile(ProfileKind kind, const std::string& name) {
    const std::shared_ptr<Radio> openRadio = radio();
    if (!openRadio) {
        return false;
    }
    const KindRule& kindRule = rule(kind);
    for (const auto& listed : ((*openRadio).*kindRule.list)()) {
        if (strings::stripAsterisk(listed) == name) {
            return false;
        }
    }
    log(fmt::runtime(kindRule.createLine), name);
    (*this).*kindRule.saving = true;
    ((*openRadio).*kindRule.save)(name);
    return true;
}

void ProfileController::loadProfileMenus(ProfileKind kind) {
    const KindRule& kindRule = rule(kind);
    const std::shared_ptr<Radio> openRadio = radio();
    const TextList names = openRadio ? ((*openRadio).*kindRule.list)() : TextList{};
    std::weak_ptr<ProfileController> weak = weak_from_this();
    for (MenuItem* menuItem : {menus_.*kindRule.shortcutsMenu, menus_.*kindRule.contextualMenu}) {
        auto submenu = std::make_unique<Menu>("SubMenus");
        int tag = 0;
        for (const auto& name : names) {
            if (name.starts_with('*')) {
                continue;  // the radio's mark of a modified profile
            }
            MenuItem* item = submenu->addItem(name, [weak, kind](MenuItem& chosen) {
                if (const auto self = weak.lock()) {
                    self->profilesSubMenuChanged(kind, chosen);
                }
            });
            item->setTag(tag++);
            item->setEnabled(true);
        }
        menuItem->setSubmenu(std::move(submenu));
    }
    setProfileSubmenuSelections(kind);
}

// The mark goes by title: positions differ between the menu, which leaves modified profiles out,
// and the pop-up, which lists every profile.
void ProfileController::setProfileSubmenuSelections(ProfileKind kind) {
    const KindRule& kindRule = rule(kind);
    const std::string selected = page_.selectedProfile(kindRule.page);
    for (MenuItem* menuItem : {menus_.*kindRule.shortcutsMenu, menus_.*kindRule.contextualMenu}) {
        Menu* submenu = menuItem->submenu();
        if (!submenu) {
            continue;
        }
        for (int i = 0; i < submenu->numberOfItems(); ++i) {
            MenuItem* item = submenu->itemAtIndex(i);
            item->setState(!selected.empty() && strings::stripAsterisk(item->title()) == selected);
        }
    }
}

void ProfileController::profilesSubMenuChanged(ProfileKind kind, const MenuItem& item) {
    page_.chooseProfile(rule(kind).page, strings::stripAsterisk(item.title()));
}

void ProfileController::beginProfileSave(ProfileKind kind) { (*this).*rule(kind).saving = true; }

void ProfileController::waitForProfileSave(ProfileKind kind, std::function<void(bool)> done) {
    waitForProfile(rule(kind).saveWait, std::move(done));
}

}  // namespace vm
