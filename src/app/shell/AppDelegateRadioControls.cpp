// What the radio's own controls need from the controller: the alerts' appearance and the profile
// bookkeeping shared with the start-up chain and the quit.
#include "app/shell/AppDelegate.h"

namespace vm {

std::optional<QPalette> AppDelegate::windowAppearance() const { return window_appearance; }

bool AppDelegate::profilesKeptByRadio() const { return profilesAutoSaved; }

void AppDelegate::beginProfileSave(ProfileKind kind) {
    switch (kind) {
        case ProfileKind::global: savingGlobalProfile = true; break;
        case ProfileKind::transmit: savingTransmitProfile = true; break;
        case ProfileKind::mic: savingMicProfile = true; break;
    }
}

void AppDelegate::waitForProfileSave(ProfileKind kind, std::function<void(bool)> done) {
    switch (kind) {
        case ProfileKind::global: waitForProfile(ProfileWait::globalSave, std::move(done)); break;
        case ProfileKind::transmit:
            waitForProfile(ProfileWait::transmitSave, std::move(done));
            break;
        case ProfileKind::mic: waitForProfile(ProfileWait::micSave, std::move(done)); break;
    }
}

}  // namespace vm
