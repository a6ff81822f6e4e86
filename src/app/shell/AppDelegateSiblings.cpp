// What the sibling-application bridge reaches outside its own state: the open radio, the
// panadapters and the operator's choices on the preferences pages.
#include "app/shell/AppDelegate.h"

#include "app/control/PanLookups.h"
#include "app/panels/PanadapterController.h"
#include "app/windows/PanadapterPrefsPage.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/RadioPrefsPage.h"
#include "display/Panafall.h"
#include "display/views/PanAdapterView.h"
#include "radio/Radio.h"
#include "radio/RadioInstance.h"

namespace vm {

bool AppDelegate::radioConnectedAsGui() const {
    return openRadio && radioConnectionState == kStateConnectedAsGui;
}

bool AppDelegate::openRadioIsRemote() const {
    const auto instance = openRadio ? openRadio->radioInstance() : nullptr;
    return instance && instance->wanRadio.value_or(false);
}

void AppDelegate::centerPan(const std::string& streamId, double mhz) {
    std::vector<lookups::PanSpan> spans;
    for (const auto& pan : doroPanafalls) {
        spans.push_back({pan->center().value_or(0), pan->bandwidth().value_or(0), pan->streamId()});
    }
    if (const auto index = lookups::streamIdToPan(spans, streamId)) {
        doroPanafalls[*index]->setCenter(static_cast<float>(mhz));
    }
}

bool AppDelegate::panadapterDragging() const {
    for (const auto& panadapter : panadapters) {
        if (panadapter && panadapter->panAdapterView &&
            panadapter->panAdapterView->dragStartMHz() != 0) {
            return true;
        }
    }
    return false;
}

void AppDelegate::spotsChanged() {
    for (const auto& panadapter : panadapters) {
        if (panadapter && panadapter->panAdapterView) {
            panadapter->panAdapterView->update();
        }
    }
}

bool AppDelegate::tuneLoggerOn() const { return prefsWindow->radioPage().tuneTrvl(); }
bool AppDelegate::loggerSpotsOn() const { return prefsWindow->panadapterPage().trvlSpots(); }
bool AppDelegate::narrowFmForSatellite() const {
    return prefsWindow->panadapterPage().zenithorNarrowFm();
}

}  // namespace vm
