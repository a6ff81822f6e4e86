// The ranges of the level sliders, the preferences restored into their controls at start-up, and
// the window appearance.
#include "app/shell/AppDelegate.h"

#include "app/dorolink/DoroLinkAuthWebController.h"
#include "app/dorolink/NetTestController.h"
#include "app/panels/PanadapterController.h"
#include "app/panels/SlicePanelController.h"
#include "app/shell/WindowDelegates.h"
#include "app/windows/CwxWindow.h"
#include "app/windows/HudWindow.h"
#include "app/windows/MainControlsBar.h"
#include "app/windows/MemoryPanel.h"
#include "app/windows/PanadapterPrefsPage.h"
#include "app/windows/PanadapterWindow.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/RadioPrefsPage.h"
#include "app/windows/SplitWindow.h"
#include "app/windows/TnfPanel.h"
#include "platform/core/Defaults.h"
#include "platform/core/Log.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Appearance.h"
#include "platform/ui/ControlPrefs.h"
#include "radio/Radio.h"

#include <QGuiApplication>

namespace vm {

void AppDelegate::setDbmSliderRanges() {
    for (const auto& panadapter : panadapters) {
        panadapter->setDbmSliderRanges();
    }
}

// The preferences window restores its own pages; the controller adds the rows of its other
// windows and what follows from the restored choices.
void AppDelegate::restorePreferences() {
    prefsWindow->restore();
    const RadioPrefsPage& radio = prefsWindow->radioPage();
    hudHidesOnDeactivate_ = radio.hideHudInBackground();
    for (int pan = 0; pan < 4; ++pan) {
        PanadapterController& panadapter = *panadapters[std::size_t(pan)];
        panadapter.setMaxBandwidth(prefsWindow->panadapterPage().maxBandwidth(pan));
        panadapter.adjustPanadapterViews();
    }
    debug = radio.debugEnabled();
    setCheckBoxWithPrefAndDefault(cwxWindow->cwxLiveCheckBox, "cwx_live", false);
    for (const auto& panel : slicePanelControllers) {
        panel->restorePreferences();
    }
    setPopupWithPrefTitle(mainControls->tuneModePopup, "tune_mode");
}

// The offer to start without connecting: Shift held while the program starts.
void AppDelegate::restoreAutoConnect() {
    RadioPrefsPage& radio = prefsWindow->radioPage();
    if (QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier)) {
        Alert alert;
        alert.setAppearance(window_appearance);
        alert.setMessageText("Do you want to disable Auto Connect ?");
        alert.setInformativeText("You can re-enable it in the Radio prefs");
        alert.addButtonWithTitle("Disable");
        alert.addButtonWithTitle("Cancel");
        if (alert.runModal() == Alert::firstButtonReturn) {
            radio.setAutoConnect(false);
            Defaults::standard().set("auto_connect", PlistValue(std::int64_t{0}));
        }
    }
    log("auto_connect:[{}]", radio.autoConnect() ? 1 : 0);
}

void AppDelegate::setDebugLogging(bool on) {
    debug = on;
    if (openRadio) {
        openRadio->debugLogLevel.set(on ? 2 : 1);
    }
}

void AppDelegate::setHudHidesOnDeactivate(bool on) { hudHidesOnDeactivate_ = on; }

void AppDelegate::darkWindowsChanged() {
    const bool dark = prefsWindow->radioPage().darkWindows();
    Defaults::standard().set("vmsdr_dark_windows", PlistValue(dark));
    window_appearance = desiredAppearanceObject(dark);
    for (const auto& panadapter : panadapters) {
        panadapter->velmoraSDRWindow->setPalette(*window_appearance);
    }
    for (QWidget* w : {static_cast<QWidget*>(prefsWindow), static_cast<QWidget*>(cwxWindow),
                       static_cast<QWidget*>(memoryPanel), static_cast<QWidget*>(tnfPanel),
                       static_cast<QWidget*>(hud), static_cast<QWidget*>(splitWindow)}) {
        w->setPalette(*window_appearance);
    }
    if (doroLinkAuthWebController) {
        doroLinkAuthWebController->netTest().netWindow().setPalette(*window_appearance);
    }
    // Dark windows take the light glyphs, light windows the dark ones.
    const QImage& save = dark ? saveButtonLight : saveButtonDark;
    const QImage& add = dark ? addButtonLight : addButtonDark;
    const QImage& remove = dark ? deleteButtonLight : deleteButtonDark;
    const QImage& go = dark ? goButtonLight : goButtonDark;
    prefsWindow->setButtonImages(save, add, remove, go);
    for (auto* b : {memoryPanel->memoryAddButton, tnfPanel->tnfAddButton}) {
        b->setImage(add);
    }
    for (auto* b : {memoryPanel->memoryDeleteButton, tnfPanel->tnfDeleteButton}) {
        b->setImage(remove);
    }
    memoryPanel->memoryGoButton->setImage(go);
    if (windowDelegates) {
        windowDelegates->adjustPrefsWindow();
    }
}

}  // namespace vm
