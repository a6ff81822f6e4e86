// What the panadapters show beside the radio's spectrum: the logger's spots, the radio's spots
// and the memories, switched by the check boxes of the Panadapters preferences, and the narrow FM
// choice for satellite tuning kept with them; and the meter panel's source.
#include "app/shell/AppDelegate.h"

#include "app/control/SiblingBridge.h"
#include "app/panels/PanadapterController.h"
#include "app/windows/MetersPrefsPage.h"
#include "app/windows/PanadapterPrefsPage.h"
#include "app/windows/PreferencesWindow.h"
#include "display/views/PanAdapterView.h"
#include "platform/core/Defaults.h"
#include "platform/core/Log.h"
#include "radio/Radio.h"

#include <chrono>
#include <mutex>

namespace vm {

namespace {

// The spot list's lock is held by a drawing pass or a spot line for moments only.
constexpr auto kSpotLockWait = std::chrono::milliseconds(100);

}  // namespace

void AppDelegate::connectPanDisplayChoices() {
    PanadapterPrefsPage* page = &prefsWindow->panadapterPage();
    const std::weak_ptr<AppDelegate> weak = weak_from_this();
    const auto route = [weak](void (AppDelegate::*action)(bool)) {
        return [weak, action](bool on) {
            if (const auto self = weak.lock()) {
                ((*self).*action)(on);
            }
        };
    };
    QObject::connect(page, &PanadapterPrefsPage::trvlSpotsButtonPressed, page,
                     route(&AppDelegate::trvlSpotsButtonPressed));
    QObject::connect(page, &PanadapterPrefsPage::radioSpotsButtonPressed, page,
                     route(&AppDelegate::radioSpotsButtonPressed));
    QObject::connect(page, &PanadapterPrefsPage::zenithorNFMButtonPressed, page,
                     route(&AppDelegate::zenithorNFMButtonPressed));
    QObject::connect(page, &PanadapterPrefsPage::memoryShowCBPressed, page,
                     route(&AppDelegate::memoryShowCBPressed));
    MetersPrefsPage* meters = &prefsWindow->metersPage();
    QObject::connect(meters, &MetersPrefsPage::meterPanelPopUpChanged, meters,
                     [weak](const std::string& title) {
                         if (const auto self = weak.lock()) {
                             self->meterPanelPopUpChanged(title);
                         }
                     });
}

void AppDelegate::trvlSpotsButtonPressed(bool on) {
    Defaults::standard().set("display_trvl_spots", PlistValue(on));
    if (on && siblingBridge) {
        siblingBridge->requestUpdateFromTRVL();
    }
    redrawPanadapters();
}

void AppDelegate::radioSpotsButtonPressed(bool on) {
    Defaults::standard().set("display_radio_spots", PlistValue(on));
    if (openRadio) {
        NamedLock& lock = *openRadio->radio_spots_lock();
        if (lock.tryLockFor(kSpotLockWait)) {
            std::unique_lock hold(lock.mutex, std::adopt_lock);
            openRadio->radio_spots()->clear();
        } else {
            log("radioSpotsButtonPressed:failed to lock radio_spots");
        }
        if (on) {
            openRadio->subscribe("spots all");
        }
    }
    redrawPanadapters();
}

void AppDelegate::zenithorNFMButtonPressed(bool on) {
    Defaults::standard().set("zenithor_narrow_fm", PlistValue(on));
}

void AppDelegate::memoryShowCBPressed(bool on) {
    Defaults::standard().set("display_memories", PlistValue(on));
    redrawPanadapters();
}

void AppDelegate::meterPanelPopUpChanged(const std::string& title) {
    Defaults::standard().set("meter_panel_popup", PlistValue(title));
}

void AppDelegate::redrawPanadapters() {
    for (const auto& panadapter : panadapters) {
        if (panadapter && panadapter->panAdapterView) {
            panadapter->panAdapterView->update();
        }
    }
}

}  // namespace vm
