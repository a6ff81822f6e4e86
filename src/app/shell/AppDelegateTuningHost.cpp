// What the tuning room and the slice menu ask of the app controller beyond the slice lookups.
#include "app/shell/AppDelegate.h"

#include "app/control/BandNames.h"
#include "display/Panafall.h"
#include "radio/Radio.h"
#include "radio/Xvtr.h"

namespace vm {

std::string AppDelegate::panBandForFrequency(double mhz) const {
    const auto radio = openRadio;
    return lookups::bandStringFromFrequency(mhz, [radio](double at) -> std::optional<std::string> {
        const auto xvtr = radio ? radio->xvtrForFrequency(at) : nullptr;
        return xvtr ? xvtr->key : std::nullopt;
    });
}

std::string AppDelegate::focusedPanBand() const {
    if (!openRadio || !hudOverPanafall) {
        return "";
    }
    return panBandForFrequency(hudOverPanafall->center().value_or(0));
}

void AppDelegate::notifyUser(const std::string& title, const std::string& text) {
    showNotificationWithTitle(title, text);
}

}  // namespace vm
