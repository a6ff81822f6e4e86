// What the radio's own controls need from the controller: the alerts' appearance and the profile
// bookkeeping shared with the start-up chain and the quit, which the profile room keeps.
#include "app/shell/AppDelegate.h"

#include "app/memory/ProfileController.h"

namespace vm {

std::optional<QPalette> AppDelegate::windowAppearance() const { return window_appearance; }

bool AppDelegate::profilesKeptByRadio() const { return profilesAutoSaved; }

void AppDelegate::beginProfileSave(ProfileKind kind) { profileController->beginProfileSave(kind); }

void AppDelegate::waitForProfileSave(ProfileKind kind, std::function<void(bool)> done) {
    profileController->waitForProfileSave(kind, std::move(done));
}

void AppDelegate::loadProfileMenus(ProfileKind kind) { profileController->loadProfileMenus(kind); }

void AppDelegate::setProfileSubmenuSelections(ProfileKind kind) {
    profileController->setProfileSubmenuSelections(kind);
}

}  // namespace vm
