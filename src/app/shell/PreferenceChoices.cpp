#include "app/shell/PreferenceChoices.h"

#include "app/shell/PreferenceChoicesHost.h"
#include "app/windows/RadioPrefsPage.h"
#include "platform/core/Defaults.h"

#include <cstdint>
#include <string>

namespace vm {

namespace {

void storeState(const std::string& key, bool on) {
    Defaults::standard().set(key, PlistValue(std::int64_t{on ? 1 : 0}));
}

}  // namespace

std::shared_ptr<PreferenceChoices> PreferenceChoices::create(
    RadioPrefsPage& page, std::weak_ptr<PreferenceChoicesHost> host) {
    std::shared_ptr<PreferenceChoices> choices(new PreferenceChoices(page, std::move(host)));
    choices->connectPage();
    return choices;
}

PreferenceChoices::PreferenceChoices(RadioPrefsPage& page,
                                     std::weak_ptr<PreferenceChoicesHost> host)
    : page_(&page), host_(std::move(host)) {}

void PreferenceChoices::connectPage() {
    std::weak_ptr<PreferenceChoices> weak = weak_from_this();
    const auto route = [weak](void (PreferenceChoices::*action)(bool)) {
        return [weak, action](bool on) {
            if (const auto self = weak.lock()) {
                ((*self).*action)(on);
            }
        };
    };
    RadioPrefsPage* page = page_.data();
    QObject::connect(page, &RadioPrefsPage::debugChanged, page,
                     route(&PreferenceChoices::debugChanged));
    QObject::connect(page, &RadioPrefsPage::checkForUpdatesChanged, page,
                     route(&PreferenceChoices::checkForUpdatesChanged));
    QObject::connect(page, &RadioPrefsPage::autoConnectChanged, page,
                     route(&PreferenceChoices::autoConnectChanged));
    QObject::connect(page, &RadioPrefsPage::tuneTrvlCheckBoxChanged, page,
                     route(&PreferenceChoices::tuneTrvlCheckBoxChanged));
    QObject::connect(page, &RadioPrefsPage::darkWindowsChanged, page,
                     route(&PreferenceChoices::darkWindowsChanged));
    QObject::connect(page, &RadioPrefsPage::muteAlternateVFOCheckBoxChanged, page,
                     route(&PreferenceChoices::muteAlternateVFOCheckBoxChanged));
    QObject::connect(page, &RadioPrefsPage::hideHudInBackgroundChanged, page,
                     route(&PreferenceChoices::hideHudInBackgroundChanged));
}

void PreferenceChoices::debugChanged(bool on) {
    storeState("debug_state", on);
    if (const auto host = host_.lock()) {
        host->setDebugLogging(on);
    }
}

void PreferenceChoices::checkForUpdatesChanged(bool on) { storeState("check_for_updates", on); }

void PreferenceChoices::autoConnectChanged(bool on) { storeState("auto_connect", on); }

void PreferenceChoices::tuneTrvlCheckBoxChanged(bool on) { storeState("tune_trvl", on); }

void PreferenceChoices::darkWindowsChanged(bool on) {
    Defaults::standard().set("vmsdr_dark_windows", PlistValue(on));
    if (const auto host = host_.lock()) {
        host->darkWindowsChanged();
    }
}

void PreferenceChoices::muteAlternateVFOCheckBoxChanged(bool on) {
    storeState("mute_alternate_audio", on);
    if (const auto host = host_.lock()) {
        host->muteAllButActive(on);
    }
}

void PreferenceChoices::hideHudInBackgroundChanged(bool on) {
    Defaults::standard().set("hide_hud_in_background", PlistValue(on));
    if (const auto host = host_.lock()) {
        host->setHudHidesOnDeactivate(on);
    }
}

}  // namespace vm
