#pragma once
// The menus of the main window and the panadapters' contextual menu. The items whose sub-menus
// the controller rebuilds (slices, profiles, transverters) and the items it enables or checks
// carry their outlet names as objectName. The slice menu ("shortcutsMenu") keeps its items at
// fixed positions: 4 centres the panadapter under the heads-up display, 6 to 8 need slices A and
// B, 14 to 16 slice A or B. So does the contextual menu, which every panadapter view opens and
// enables as it opens: 4 to 7 slices A to D, 13 the band to centre over, 15 to 17 A and B, 19 a
// slice to spare.
#include "platform/ui/Menu.h"
#include "platform/ui/WindowMenu.h"

#include <QMenuBar>

#include <array>

namespace vm {

struct MainMenus {
    // Builds the menu bar into `bar` and the contextual menu.
    explicit MainMenus(QMenuBar* bar);

    Menu* applicationMenu;
    MenuItem* preferencesMenuItem;
    MenuItem* checkForUpdatesMenuItem;
    MenuItem* quitMenuItem;
    Menu* radioMenu;
    MenuItem* disconnectMenuItem;
    Menu* shortcutsMenu;
    MenuItem* vfoAddMenuItem;
    MenuItem* vfoRemoveMenuItem;
    MenuItem* panafallAddMenuItem;
    MenuItem* centerShortcutsMenu;
    MenuItem* panafallRemoveMenuItem;
    MenuItem* xvtrShortcutsMenu;
    MenuItem* activeShortcutsMenu;
    MenuItem* lockedShortcutsMenu;
    MenuItem* transmitShortcutsMenu;
    Menu* transmitMenu;
    MenuItem* moxMenuItem;
    MenuItem* voxMenuItem;
    MenuItem* tuneMenuItem;
    Menu* profilesMenu;
    MenuItem* globalProfilesShortcutsMenu;
    MenuItem* transmitProfilesShortcutsMenu;
    MenuItem* micProfilesShortcutsMenu;
    WindowMenu* windowMenu;
    Menu* helpMenu;
    MenuItem* onlineHelpMenuItem;
    MenuItem* websiteMenuItem;
    MenuItem* sendDebugLogMenuItem;
    MenuItem* showDebugLogFolderMenuItem;

    // The contextual menu of the panadapter views.
    std::unique_ptr<Menu> panContextMenu;
    MenuItem* activeContextMenu;
    MenuItem* lockedContextMenu;
    MenuItem* transmitContextMenu;
    MenuItem* centerContextMenu;
    MenuItem* removeSliceContextMenu;
    MenuItem* vfoAddContextMenuItem;
    std::array<MenuItem*, 4> contextModeSubMenuItems{};  // contextModeASubMenuItem ... D
    MenuItem* globalProfilesContextualMenu;
    MenuItem* transmitProfilesContextualMenu;
    MenuItem* micProfilesContextualMenu;
};

}  // namespace vm
