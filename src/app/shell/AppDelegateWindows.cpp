// The controller's side of its window handling: the room made at launch, and what it asks of
// the controller.
#include "app/shell/AppDelegate.h"

#include "app/control/RemoteRadioServer.h"
#include "app/panels/PanadapterController.h"
#include "app/shell/WindowDelegates.h"
#include "app/windows/CwxWindow.h"
#include "app/windows/HudWindow.h"
#include "app/windows/MainControlsBar.h"
#include "app/windows/MainMenus.h"
#include "app/windows/MemoryPanel.h"
#include "app/windows/PanadapterWindow.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/RadioPrefsPage.h"
#include "app/windows/TnfPanel.h"
#include "platform/core/Log.h"

namespace vm {

void AppDelegate::startWindowDelegates() {
    WindowDelegates::Windows windows;
    for (std::size_t pan = 0; pan < panadapters.size(); ++pan) {
        windows.panWindows[pan] = panadapters[pan]->velmoraSDRWindow.get();
        windows.panViews[pan] = panadapters[pan]->panAdapterView;
    }
    windows.prefsWindow = prefsWindow;
    windows.hud = hud;
    windows.cwxWindow = cwxWindow;
    windows.memoryPanel = memoryPanel;
    windows.tnfPanel = tnfPanel;
    windows.windowMenu = menus->windowMenu;
    windows.radioPortNamePopUp = mainControls->radioPortNamePopUp;
    windowDelegates = WindowDelegates::create(windows, weak_from_this());
}

void AppDelegate::setRadioTooltp() {
    if (windowDelegates) {
        windowDelegates->setRadioTooltp();
    }
}

bool AppDelegate::darkWindowsOn() const { return prefsWindow->radioPage().darkWindows(); }

std::vector<std::shared_ptr<RadioInstance>> AppDelegate::doroLinkRadios() const {
    return wanServer ? wanServer->remoteRadios() : std::vector<std::shared_ptr<RadioInstance>>{};
}

void AppDelegate::applicationDidChangeOcclusionState(bool visible) {
    applicationOccluded = !visible;
    if (debugEnabled()) {
        log("applicationDidChangeOcclusionState: {}", visible ? "Visible" : "Occluded");
    }
}

}  // namespace vm
