// The fixed lists of the pop-ups, the ranges of the level sliders, the preferences restored into
// their controls at launch, and the window appearance.
#include "app/shell/AppDelegate.h"

#include "app/panels/SlicePanelController.h"
#include "app/windows/CwxWindow.h"
#include "app/windows/HudWindow.h"
#include "app/windows/MainControlsBar.h"
#include "app/windows/MemoryPanel.h"
#include "app/windows/PanControls.h"
#include "app/windows/PanSettingsPage.h"
#include "app/windows/PanadapterWindow.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/SplitWindow.h"
#include "app/windows/TnfPanel.h"
#include "platform/core/Defaults.h"
#include "platform/core/Log.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Appearance.h"
#include "platform/ui/ControlPrefs.h"

#include <QGuiApplication>

namespace vm {

namespace {

const QStringList kMaxBandwidths{"0.01", "0.05", "0.5", "1.0", "2.0", "3.0", "5.0", "10.0"};
const QStringList kKnobTasks{"Nothing",
                             "Active Slice VFO",
                             "Alternate Slice VFO",
                             "Volume Active Slice",
                             "Volume Alternate Slice",
                             "Master Volume",
                             "Active Slice RIT Level",
                             "Active Slice XIT Level",
                             "Active Slice Agc-T Level",
                             "Alternate Slice Agc-T Level"};

void load(PopUpButton* popup, const QStringList& items) {
    popup->clear();
    popup->addItems(items);
}

}  // namespace

void AppDelegate::loadControls() {
    for (auto* page : prefsWindow->panSettings) {
        load(page->maxBandwidthPopup, kMaxBandwidths);
    }
    load(prefsWindow->doroControlTaskPopup, kKnobTasks);
    for (auto* popup : prefsWindow->doroControlAuxPopups) {
        load(popup, kKnobTasks + QStringList{"MOX"});
    }
}

void AppDelegate::setDbmSliderRanges() {
    for (auto* controls : panControls) {
        controls->minDbmSlider->setMinValue(-180.0);
        controls->minDbmSlider->setMaxValue(-90.0);
        controls->maxDbmSlider->setMinValue(-100.0);
        controls->maxDbmSlider->setMaxValue(20.0);
    }
}

void AppDelegate::restorePreferences() {
    PreferencesWindow& p = *prefsWindow;
    setCheckBoxWithPrefAndDefault(p.hideHudInBackgroundCheckBox, "hide_hud_in_background", false);
    hudHidesOnDeactivate_ = p.hideHudInBackgroundCheckBox->state();
    setPopupWithPrefTitle(p.meterPanelPopUp, "meter_panel_popup");
    setPopupWithPrefTitle(p.serialPortPopup, "doro_control_port");
    static const char* const kMaxBandwidthKeys[] = {"max_band_width_1", "max_band_width_2",
                                                    "max_band_width_3", "max_band_width_4"};
    for (int pan = 0; pan < 4; ++pan) {
        PopUpButton* popup = p.panSettings[pan]->maxBandwidthPopup;
        setPopupWithPrefTitle(popup, kMaxBandwidthKeys[pan]);
        panControls[pan]->bandwidthSlider->setMaxValue(popup->currentText().toDouble());
    }
    setCheckBoxWithPrefAndDefault(p.debug_enabled, "debug_state", false);
    debug = p.debug_enabled->state();
    setCheckBoxWithPrefAndDefault(p.muteAlternateVFOCheckBox, "mute_alternate_audio", false);
    setCheckBoxWithPrefAndDefault(cwxWindow->cwxLiveCheckBox, "cwx_live", false);
    for (const auto& panel : slicePanelControllers) {
        panel->restorePreferences();
    }
    static const char* const kProportionKeys[] = {"view_proportion", "view_proportion1",
                                                  "view_proportion2", "view_proportion3"};
    for (int pan = 0; pan < 4; ++pan) {
        setSliderWithPref(p.panSettings[pan]->viewProportion, kProportionKeys[pan]);
    }
    safeSelectTabViewWithPref(p.prefsTabView, "prefs_tab_view");
    safeSelectTabViewWithPref(p.sliceTabView, "slice_tab_view");
    safeSelectTabViewWithPref(p.panadapterTabView, "panadapter_tab_view");
    setCheckBoxWithPrefAndDefault(p.check_for_updates, "check_for_updates", true);
    setCheckBoxWithPrefAndDefault(p.auto_connect, "auto_connect", true);
    restoreAutoConnect();
    setCheckBoxWithPrefAndDefault(p.tuneTrvlCheckBox, "tune_trvl", true);
    setCheckBoxWithPrefAndDefault(p.authUseDoroLinkButton, "auth_use_doro_link", false);
    p.auth_login_button->setEnabled(p.authUseDoroLinkButton->state());
    setCheckBoxWithPrefAndDefault(p.doroControlCheckBox, "doro_control", false);
    setPopupWithPrefTitle(p.doroControlTaskPopup, "doro_control_task");
    static const char* const kAuxKeys[] = {"doro_control_aux1", "doro_control_aux2",
                                           "doro_control_aux3"};
    for (int i = 0; i < 3; ++i) {
        setPopupWithPrefTitle(p.doroControlAuxPopups[i], kAuxKeys[i]);
    }
    setPopupWithPrefTitle(mainControls->tuneModePopup, "tune_mode");
}

// The offer to start without connecting: Shift held while the program starts.
void AppDelegate::restoreAutoConnect() {
    CheckBox* autoConnect = prefsWindow->auto_connect;
    if (QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier)) {
        Alert alert;
        alert.setAppearance(window_appearance);
        alert.setMessageText("Do you want to disable Auto Connect ?");
        alert.setInformativeText("You can re-enable it in the Radio prefs");
        alert.addButtonWithTitle("Disable");
        alert.addButtonWithTitle("Cancel");
        if (alert.runModal() == Alert::firstButtonReturn) {
            autoConnect->setState(false);
            Defaults::standard().set("auto_connect", PlistValue(std::int64_t{0}));
        }
    }
    log("auto_connect:[{}]", autoConnect->state() ? 1 : 0);
}

void AppDelegate::darkWindowsChanged() {
    const bool dark = darkWindowsCheckBox->state();
    Defaults::standard().set("vmsdr_dark_windows", PlistValue(dark));
    window_appearance = desiredAppearanceObject(dark);
    for (QWidget* w :
         {static_cast<QWidget*>(velmoraSDRWindow), static_cast<QWidget*>(velmoraSDRWindow1),
          static_cast<QWidget*>(velmoraSDRWindow2), static_cast<QWidget*>(velmoraSDRWindow3),
          static_cast<QWidget*>(prefsWindow), static_cast<QWidget*>(cwxWindow),
          static_cast<QWidget*>(memoryPanel), static_cast<QWidget*>(tnfPanel),
          static_cast<QWidget*>(hud), static_cast<QWidget*>(splitWindow)}) {
        w->setPalette(*window_appearance);
    }
    // Dark windows take the light glyphs, light windows the dark ones.
    const QImage& save = dark ? saveButtonLight : saveButtonDark;
    const QImage& add = dark ? addButtonLight : addButtonDark;
    const QImage& remove = dark ? deleteButtonLight : deleteButtonDark;
    const QImage& go = dark ? goButtonLight : goButtonDark;
    PreferencesWindow& p = *prefsWindow;
    for (auto* b : {p.saveGlobalProfileButton, p.saveTxProfileButton, p.saveMicProfileButton}) {
        b->setImage(save);
    }
    for (auto* b : {p.addGlobalProfileButton, p.addTxProfileButton, p.addMicProfileButton,
                    memoryPanel->memoryAddButton, tnfPanel->tnfAddButton, p.xvtrAddButton}) {
        b->setImage(add);
    }
    for (auto* b :
         {p.deleteGlobalProfileButton, p.deleteTxProfileButton, p.deleteMicProfileButton,
          memoryPanel->memoryDeleteButton, tnfPanel->tnfDeleteButton, p.xvtrDeleteButton}) {
        b->setImage(remove);
    }
    for (auto* b : {memoryPanel->memoryGoButton, p.xvtrSelectButton}) {
        b->setImage(go);
    }
}

}  // namespace vm
