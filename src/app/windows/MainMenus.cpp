#include "app/windows/MainMenus.h"

namespace vm {

namespace {

MenuItem* named(MenuItem* item, const char* name) {
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

// An item that holds a sub-menu the controller fills later.
MenuItem* holder(Menu* menu, const std::string& title, const char* name) {
    auto* item = named(menu->addItem(title), name);
    item->setSubmenu(std::make_unique<Menu>(title));
    return item;
}

}  // namespace

MainMenus::MainMenus(QMenuBar* bar) {
    applicationMenu = new Menu("velmoraSDR", bar);
    preferencesMenuItem =
        named(applicationMenu->addItem("Preferences…", {}, QKeySequence::Preferences),
              "preferencesMenuItem");
    checkForUpdatesMenuItem =
        named(applicationMenu->addItem("Check for Updates…"), "checkForUpdatesMenuItem");
    applicationMenu->addSeparatorItem();
    quitMenuItem =
        named(applicationMenu->addItem("Quit velmoraSDR", {}, QKeySequence::Quit), "quitMenuItem");
    bar->addMenu(applicationMenu);

    radioMenu = new Menu("Radio", bar);
    disconnectMenuItem = named(radioMenu->addItem("Disconnect"), "disconnectMenuItem");
    bar->addMenu(radioMenu);

    shortcutsMenu = new Menu("Slices", bar);
    shortcutsMenu->setObjectName(QStringLiteral("shortcutsMenu"));
    vfoAddMenuItem = named(shortcutsMenu->addItem("Add Slice"), "vfoAddMenuItem");   // 0
    vfoRemoveMenuItem = holder(shortcutsMenu, "Remove Slice", "vfoRemoveMenuItem");  // 1
    shortcutsMenu->addSeparatorItem();                                               // 2
    panafallAddMenuItem =
        named(shortcutsMenu->addItem("Add Panadapter"), "panafallAddMenuItem");  // 3
    centerShortcutsMenu =
        holder(shortcutsMenu, "Center Panadapter over", "centerShortcutsMenu");  // 4
    panafallRemoveMenuItem =
        named(shortcutsMenu->addItem("Remove Panadapter"), "panafallRemoveMenuItem");
    named(shortcutsMenu->addItem("Swap Slices A and B"), "swapVFOsMenuItem");                  // 6
    named(shortcutsMenu->addItem("Copy Slice A to B"), "setVFOBequalsVFOAMenuItem");           // 7
    named(shortcutsMenu->addItem("Copy Slice B to A"), "setVFOAequalsVFOBMenuItem");           // 8
    named(shortcutsMenu->addItem("Toggle Active Slice A/B"), "toggleActiveVFOsMenuItem");      // 9
    named(shortcutsMenu->addItem("Toggle Transmit Slice A/B"), "toggleVFOTransmitMenuItem");   // 10
    shortcutsMenu->addSeparatorItem();                                                         // 11
    xvtrShortcutsMenu = holder(shortcutsMenu, "Transverters", "xvtrShortcutsMenu");            // 12
    shortcutsMenu->addSeparatorItem();                                                         // 13
    activeShortcutsMenu = holder(shortcutsMenu, "Active Slice", "activeShortcutsMenu");        // 14
    lockedShortcutsMenu = holder(shortcutsMenu, "Lock Slice", "lockedShortcutsMenu");          // 15
    transmitShortcutsMenu = holder(shortcutsMenu, "Transmit Slice", "transmitShortcutsMenu");  // 16
    bar->addMenu(shortcutsMenu);

    transmitMenu = new Menu("Transmit", bar);
    moxMenuItem = named(transmitMenu->addItem("MOX"), "moxMenuItem");
    voxMenuItem = named(transmitMenu->addItem("VOX"), "voxMenuItem");
    tuneMenuItem = named(transmitMenu->addItem("Tune"), "tuneMenuItem");
    bar->addMenu(transmitMenu);

    profilesMenu = new Menu("Profiles", bar);
    globalProfilesShortcutsMenu =
        holder(profilesMenu, "Global Profiles", "globalProfilesShortcutsMenu");
    transmitProfilesShortcutsMenu =
        holder(profilesMenu, "Transmit Profiles", "transmitProfilesShortcutsMenu");
    micProfilesShortcutsMenu =
        holder(profilesMenu, "Microphone Profiles", "micProfilesShortcutsMenu");
    bar->addMenu(profilesMenu);

    windowMenu = new WindowMenu(bar);
    windowMenu->setTitle(QStringLiteral("Window"));
    bar->addMenu(windowMenu);

    helpMenu = new Menu("Help", bar);
    onlineHelpMenuItem = named(helpMenu->addItem("velmoraSDR Help", {}, QKeySequence::HelpContents),
                               "onlineHelpMenuItem");
    websiteMenuItem = named(helpMenu->addItem("velmoraSDR Website"), "websiteMenuItem");
    helpMenu->addSeparatorItem();
    sendDebugLogMenuItem = named(helpMenu->addItem("Send Problem Report…"), "sendDebugLogMenuItem");
    showDebugLogFolderMenuItem =
        named(helpMenu->addItem("Show Debug Log Folder"), "showDebugLogFolderMenuItem");
    bar->addMenu(helpMenu);

    panContextMenu = std::make_unique<Menu>("Panadapter");
    panContextMenu->setObjectName(QStringLiteral("panContextMenu"));
    activeContextMenu = holder(panContextMenu.get(), "Active Slice", "activeContextMenu");
    lockedContextMenu = holder(panContextMenu.get(), "Lock Slice", "lockedContextMenu");
    transmitContextMenu = holder(panContextMenu.get(), "Transmit Slice", "transmitContextMenu");
    centerContextMenu = holder(panContextMenu.get(), "Center on Slice", "centerContextMenu");
    removeSliceContextMenu = holder(panContextMenu.get(), "Remove Slice", "removeSliceContextMenu");
    panContextMenu->addSeparatorItem();
    static const char* const kModeItems[] = {"contextModeASubMenuItem", "contextModeBSubMenuItem",
                                             "contextModeCSubMenuItem", "contextModeDSubMenuItem"};
    for (int i = 0; i < 4; ++i) {
        contextModeSubMenuItems[i] =
            named(panContextMenu->addItem("Slice " + std::string(1, char('A' + i)) + " Mode"),
                  kModeItems[i]);
    }
    panContextMenu->addSeparatorItem();
    globalProfilesContextualMenu =
        holder(panContextMenu.get(), "Global Profiles", "globalProfilesContextualMenu");
    transmitProfilesContextualMenu =
        holder(panContextMenu.get(), "Transmit Profiles", "transmitProfilesContextualMenu");
    micProfilesContextualMenu =
        holder(panContextMenu.get(), "Microphone Profiles", "micProfilesContextualMenu");
}

}  // namespace vm
