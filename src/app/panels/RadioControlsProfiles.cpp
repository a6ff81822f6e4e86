// The profile pop-ups and buttons: the radio's lists shown without its modified mark ("*"), the
// current profile selected by title, and the operator's new, delete, save and switch. Every save
// disables the kind's save button until the radio has confirmed it (or 15 s have passed).
#include "app/panels/RadioControlsController.h"

#include "platform/core/Log.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/InputDialogs.h"
#include "platform/ui/PopUpButton.h"
#include "radio/CommandText.h"
#include "radio/Radio.h"
#include "util/StringAdditions.h"

namespace vm {

namespace {

// What differs between the three kinds.
struct Kind {
    const char* name;            // "Global" in log lines
    const char* listHandler;     // "radioGlobalProfilesChanged"
    const char* currentHandler;  // "radioCurrentGlobalProfileChanged"
    const char* newAction;       // "newGlobalProfileButtonPressed"
    const char* deleteAction;    // "deleteGlobalProfileButtonPressed"
    const char* saveAction;      // "saveGlobalProfileButtonPressed"
    const char* popupAction;     // "globalProfilesPopupChanged"
    const char* command;         // "GlobalProfile" in "cmdSaveGlobalProfile"
    const char* loadSetter;      // "setCurrentGlobalProfile"
    const char* title;           // "Global" in "Creating Global Profile"
    const char* prompt;
    const char* defaultName;
    const char* exists;
    const char* deletePrompt;
    Observed<TextList> RadioState::*list;
    Observed<Text> RadioState::*current;
    void (Radio::*save)(const std::string&);
    void (Radio::*remove)(const std::string&);
    void (Radio::*load)(const std::string&);
};

const Kind kKinds[] = {
    {"Global", "radioGlobalProfilesChanged", "radioCurrentGlobalProfileChanged",
     "newGlobalProfileButtonPressed", "deleteGlobalProfileButtonPressed",
     "saveGlobalProfileButtonPressed", "globalProfilesPopupChanged", "GlobalProfile",
     "setCurrentGlobalProfile", "Global",
     "Global Profile Name to create:", "velmoraSDR_Global_Profile",
     "A Global Profile with that name already exists", "Select Global Profile to Delete",
     &RadioState::globalProfiles, &RadioState::currentGlobalProfile, &Radio::cmdSaveGlobalProfile,
     &Radio::cmdDeleteGlobalProfile, &Radio::setCurrentGlobalProfile},
    {"Tx", "radioTxProfilesChanged", "radioCurrentTxProfileChanged", "newTxlProfileButtonPressed",
     "deleteTxProfileButtonPressed", "saveTxProfileButtonPressed", "txProfilesPopupChanged",
     "TxProfile", "setCurrentTxProfile", "TX", "TX Profile Name to create:",
     "velmoraSDR_TX_Profile", "A Tx Profile with that name already exists",
     "Select TX Profile to Delete", &RadioState::txProfiles, &RadioState::currentTxProfile,
     &Radio::cmdSaveTxProfile, &Radio::cmdDeleteTxProfile, &Radio::setCurrentTxProfile},
    {"Mic", "radioMicProfilesChanged", "radioCurrentMicProfileChanged",
     "newMicProfileButtonPressed", "deleteMicProfileButtonPressed", "saveMicProfileButtonPressed",
     "micProfilesPopupChanged", "MicProfile", "setCurrentMicProfile", "Mic",
     "Mic Profile Name to create:", "velmoraSDR_Mic_Profile",
     "A Mic Profile with that name already exists", "Select Mic Profile to Delete",
     &RadioState::micProfiles, &RadioState::currentMicProfile, &Radio::cmdSaveMicProfile,
     &Radio::cmdDeleteMicProfile, &Radio::setCurrentMicProfile},
};

const Kind& rule(ProfileKind kind) { return kKinds[static_cast<std::size_t>(kind)]; }
std::size_t slot(ProfileKind kind) { return static_cast<std::size_t>(kind); }

}  // namespace

void RadioControlsController::profileListChanged(ProfileKind kind,
                                                 const std::shared_ptr<Radio>& radio) {
    if (!radio) {
        return;
    }
    const Kind& k = rule(kind);
    const std::string current = ((*radio).*k.current)().value_or("");
    if (debugEnabled()) {
        log("{}:[{}]", k.listHandler, current);
    }
    PopUpButton* popup = controls_.profilesPopup[slot(kind)];
    popup->clear();
    for (const auto& name : ((*radio).*k.list)()) {
        popup->addItem(QString::fromStdString(strings::stripAsterisk(name)));
    }
    if (!current.empty()) {
        popup->selectItemWithTitle(strings::stripAsterisk(current));
    }
    if (const auto h = host()) {
        h->loadProfileMenus(kind);
    }
}

// The pop-up selects the current profile by its title; the menus' marks follow it.
void RadioControlsController::currentProfileChanged(ProfileKind kind,
                                                    const std::shared_ptr<Radio>& radio) {
    const Text current = radio ? ((*radio).*rule(kind).current)() : std::nullopt;
    if (!current) {
        return;
    }
    if (debugEnabled()) {
        log("{}:[{}]", rule(kind).currentHandler, *current);
    }
    if (!current->empty()) {
        controls_.profilesPopup[slot(kind)]->selectItemWithTitle(strings::stripAsterisk(*current));
    }
    if (const auto h = host()) {
        h->setProfileSubmenuSelections(kind);
    }
}

void RadioControlsController::connectProfileActions() {
    const std::weak_ptr<RadioControlsController> weak = weak_from_this();
    for (const ProfileKind kind : {ProfileKind::global, ProfileKind::transmit, ProfileKind::mic}) {
        auto connect = [&](auto* control, void (RadioControlsController::*action)(ProfileKind)) {
            using Control = std::remove_pointer_t<decltype(control)>;
            QObject::connect(control, &Control::action, control, [weak, action, kind] {
                if (const auto self = weak.lock()) {
                    ((*self).*action)(kind);
                }
            });
        };
        connect(controls_.addProfileButton[slot(kind)],
                &RadioControlsController::newProfileButtonPressed);
        connect(controls_.deleteProfileButton[slot(kind)],
                &RadioControlsController::deleteProfileButtonPressed);
        connect(controls_.saveProfileButton[slot(kind)],
                &RadioControlsController::saveProfileButtonPressed);
        connect(controls_.profilesPopup[slot(kind)],
                &RadioControlsController::profilesPopupChanged);
    }
}

// A profile name travels between double quotes in its command. A name that the command could
// not carry as typed (empty, a line break, a double quote) is refused with a word to the user
// rather than sent changed, which would make or delete a profile of another name.
std::optional<std::string> RadioControlsController::sendableProfileName(
    const std::string& name) const {
    if (!name.empty() && quotedCommandField(name) == "\"" + name + "\"") {
        return name;
    }
    Alert alert;
    if (const auto h = host()) {
        alert.setAppearance(h->windowAppearance());
    }
    alert.setMessageText("This profile name cannot be used");
    alert.setInformativeText(
        "A profile name must not be empty, and must not hold a line break or a double quote.");
    alert.addButtonWithTitle("OK");
    alert.runModal();
    return std::nullopt;
}

void RadioControlsController::newProfileButtonPressed(ProfileKind kind) {
    const auto radio = this->radio();
    const auto h = host();
    if (!radio || !h) {
        return;
    }
    const Kind& k = rule(kind);
    const std::optional<std::string> answer =
        askForText(k.prompt, k.defaultName, h->windowAppearance());
    if (!answer) {
        return;
    }
    const std::string typed = strings::stripAsterisk(*answer);
    for (const auto& listed : ((*radio).*k.list)()) {
        if (strings::stripAsterisk(listed) == typed) {
            Alert alert;
            alert.setAppearance(h->windowAppearance());
            alert.setMessageText(k.exists);
            alert.setInformativeText("Please choose another name");
            alert.runModal();
            return;
        }
    }
    const std::optional<std::string> name = sendableProfileName(typed);
    if (!name) {
        return;
    }
    const bool create = kind != ProfileKind::global && h->profilesKeptByRadio();
    if (kind == ProfileKind::global) {
        log("newGlobalProfileButtonPressed:[{}]", *name);
    } else if (debugEnabled()) {
        log("{}:cmd{}{}[{}]", k.newAction, create ? "New" : "Save", k.command, *name);
    }
    h->beginProfileSave(kind);
    controls_.saveProfileButton[slot(kind)]->setEnabled(false);
    if (kind == ProfileKind::transmit && create) {
        radio->cmdNewTxProfile(*name);
    } else if (kind == ProfileKind::mic && create) {
        radio->cmdNewMicProfile(*name);
    } else {
        ((*radio).*k.save)(*name);
    }
    h->waitForProfileSave(kind, [weak = weak_from_this(), kind, name = *name](bool saved) {
        const auto self = weak.lock();
        if (!self) {
            return;
        }
        const Kind& rules = rule(kind);
        if (!saved) {
            log("{}: Creating {} Profile:[{}] failed",
                kind == ProfileKind::transmit ? "newTxProfileButtonPressed" : rules.newAction,
                rules.title, name);
        }
        if (const auto open = self->radio()) {
            ((*open).*rules.load)(name);
        }
        self->controls_.saveProfileButton[slot(kind)]->setEnabled(true);
    });
}

void RadioControlsController::deleteProfileButtonPressed(ProfileKind kind) {
    const auto radio = this->radio();
    const auto h = host();
    if (!radio || !h) {
        return;
    }
    const Kind& k = rule(kind);
    PopUpButton* popup = controls_.profilesPopup[slot(kind)];
    std::vector<std::string> titles;
    for (int i = 0; i < popup->numberOfItems(); ++i) {
        titles.push_back(popup->itemText(i).toStdString());
    }
    const std::optional<std::string> chosen =
        askForChoice(k.deletePrompt, titles, h->windowAppearance());
    if (!chosen || chosen->empty()) {
        return;
    }
    log("{}:cmdDelete{}:[{}]", k.deleteAction, k.command, *chosen);
    ((*radio).*k.remove)(*chosen);
}

void RadioControlsController::saveProfileButtonPressed(ProfileKind kind) {
    const auto radio = this->radio();
    const auto h = host();
    const Kind& k = rule(kind);
    const std::string title = controls_.profilesPopup[slot(kind)]->title();
    if (!radio || !h || title.empty()) {
        return;
    }
    if (debugEnabled()) {
        log("{}:cmdSave{}:[{}]", k.saveAction, k.command, title);
    }
    h->beginProfileSave(kind);
    ((*radio).*k.save)(title);
    controls_.saveProfileButton[slot(kind)]->setEnabled(false);
    h->waitForProfileSave(kind, [weak = weak_from_this(), kind, title](bool saved) {
        const auto self = weak.lock();
        if (!self) {
            return;
        }
        const Kind& rules = rule(kind);
        if (!saved) {
            log("{} Saving {} Profile:[{}] failed", rules.saveAction, rules.title, title);
        }
        self->controls_.saveProfileButton[slot(kind)]->setEnabled(true);
        if (self->debugEnabled()) {
            log("{}: {} Profile [{}] saved", rules.saveAction, rules.title, title);
        }
    });
}

// Switching saves the profile in use under its own name (without the radio's modified mark),
// then loads the one chosen.
void RadioControlsController::profilesPopupChanged(ProfileKind kind) {
    const auto radio = this->radio();
    const auto h = host();
    if (!radio || !h) {
        return;
    }
    const Kind& k = rule(kind);
    const std::string chosen = controls_.profilesPopup[slot(kind)]->title();
    const std::string current = strings::stripAsterisk(((*radio).*k.current)().value_or(""));
    if (current.empty() || chosen.empty()) {
        return;
    }
    if (kind != ProfileKind::global || debugEnabled()) {
        log("{}:cmdSave{}:[{}]", k.popupAction, k.command, current);
    }
    h->beginProfileSave(kind);
    controls_.saveProfileButton[slot(kind)]->setEnabled(false);
    ((*radio).*k.save)(current);
    h->waitForProfileSave(kind, [weak = weak_from_this(), kind, chosen, current](bool saved) {
        const auto self = weak.lock();
        if (!self) {
            return;
        }
        const Kind& rules = rule(kind);
        if (!saved) {
            log("{} Saving {} Profile:[{}] failed", rules.popupAction, rules.title, current);
        }
        self->controls_.saveProfileButton[slot(kind)]->setEnabled(true);
        if (self->debugEnabled()) {
            log("{}:{}[{}]", rules.popupAction, rules.loadSetter, chosen);
        }
        if (const auto open = self->radio()) {
            ((*open).*rules.load)(chosen);
        }
    });
}

}  // namespace vm
