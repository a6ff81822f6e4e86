#include "app/shell/AppStationMemory.h"

#include "app/control/BandNames.h"
#include "app/memory/BandStackController.h"
#include "app/shell/AppDelegate.h"
#include "display/Panafall.h"
#include "display/views/PanAdapterView.h"
#include "radio/Radio.h"
#include "radio/Xvtr.h"

namespace vm {

bool AppStationMemory::radioIsOpen() const { return app_.openRadio != nullptr; }

std::shared_ptr<Slice> AppStationMemory::activeVFO() const { return app_.activeVFO(); }

std::shared_ptr<Slice> AppStationMemory::sliceWithNumber(int number) const {
    return app_.sliceWithNumber(number);
}

Text AppStationMemory::radioCallsign() const {
    return app_.openRadio ? app_.openRadio->radioCallsign() : std::nullopt;
}

Number AppStationMemory::rfPowerLevel() const {
    return app_.openRadio ? app_.openRadio->rfPowerLevel() : std::nullopt;
}

void AppStationMemory::setRfPowerLevel(Number level) {
    if (app_.openRadio) {
        app_.openRadio->setRfPowerLevel(level);
    }
}

void AppStationMemory::showBandOfMemory(double presentMHz, double memoryMHz) {
    const std::shared_ptr<Panafall> pan = app_.panForFrequency(presentMHz);
    if (!pan) {
        return;
    }
    const auto radio = app_.openRadio;
    pan->setBand(lookups::bandStringFromFrequency(
        memoryMHz, [radio](double mhz) -> std::optional<std::string> {
            const auto xvtr = radio ? radio->xvtrForFrequency(mhz) : nullptr;
            return xvtr ? xvtr->key : std::nullopt;
        }));
}

std::optional<QPalette> AppStationMemory::windowAppearance() const {
    return app_.window_appearance;
}

void AppStationMemory::showNotification(const std::string& title, const std::string& text) {
    app_.showNotificationWithTitle(title, text);
}

std::shared_ptr<Radio> AppStationMemory::openRadio() const { return app_.openRadio; }

std::optional<double> AppStationMemory::mouseMHzOfLastPanEntered() const {
    return app_.lastPanMouseEntered ? std::optional(app_.lastPanMouseEntered->mouseMHz())
                                    : std::nullopt;
}

std::optional<double> AppStationMemory::centerOfHudPanafall() const {
    return app_.hudOverPanafall ? std::optional<double>(app_.hudOverPanafall->center().value_or(0))
                                : std::nullopt;
}

std::vector<StackEntry> AppStationMemory::loadStackObjectArray(const std::string& band) {
    const std::vector<StackEntry>* entries =
        app_.bandStackController->bandStacks.loadStackObjectArray(band);
    return entries ? *entries : std::vector<StackEntry>{};
}

void AppStationMemory::saveStackObjectArrayforBand(const std::string& band,
                                                   const std::vector<StackEntry>& entries) {
    app_.bandStackController->bandStacks.saveStackObjectArrayforBand(band, entries);
    app_.bandStackController->saveStackDictionary();
}

}  // namespace vm
