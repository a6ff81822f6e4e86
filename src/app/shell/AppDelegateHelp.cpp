// The Help menu's links and the check for a newer release.
#include "app/shell/AppDelegate.h"

#include "app/shell/MakerLinks.h"
#include "app/windows/MainMenus.h"
#include "platform/core/DesktopOpen.h"
#include "platform/ui/MenuItem.h"

namespace vm {

void AppDelegate::connectHelpMenu() {
    const std::pair<MenuItem*, void (AppDelegate::*)()> items[] = {
        {menus->onlineHelpMenuItem, &AppDelegate::gotoOnlineHelp},
        {menus->websiteMenuItem, &AppDelegate::gotoWebsite},
        {menus->sendDebugLogMenuItem, &AppDelegate::sendDebugLog},
        {menus->showDebugLogFolderMenuItem, &AppDelegate::showDebugLogFolder},
    };
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    for (const auto& [item, action] : items) {
        item->setAction([weak, action](MenuItem&) {
            if (const auto self = weak.lock()) {
                ((*self).*action)();
            }
        });
    }
    menus->checkForUpdatesMenuItem->setAction([weak](MenuItem&) {
        if (const auto self = weak.lock()) {
            self->checkForUpdates(true);
        }
    });
}

void AppDelegate::checkForUpdates(bool calledFromMenu) {
    if (!updateCheck) {
        updateCheck = std::make_unique<UpdateCheck>(options_.updateCheck,
                                                    [this] { return window_appearance; });
    }
    updateCheck->checkForUpdates(calledFromMenu);
}

// The file viewer opens on the debug log folder, where the current log is the newest file.
void AppDelegate::showDebugLogFolder() { openUrlWithString(debugPath); }

void AppDelegate::gotoWebsite() { openUrlWithString(maker::kProductPage); }

void AppDelegate::gotoOnlineHelp() { openUrlWithString(maker::kOnlineHelp); }

}  // namespace vm
