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

    // The panadapter views enable the items by position: 4 to 7 with slices A to D, 13 with a
    // band under the heads-up display, 15 to 17 with slices A and B, 19 with a slice to spare.
    panContextMenu = std::make_unique<Menu>("Panadapter");
    Menu* context = panContextMenu.get();
    context->setObjectName(QStringLiteral("panContextMenu"));
    activeContextMenu = holder(context, "Active Slice", "activeContextMenu");        // 0
    lockedContextMenu = holder(context, "Lock Slice", "lockedContextMenu");          // 1
    transmitContextMenu = holder(context, "Transmit Slice", "transmitContextMenu");  // 2
    context->addSeparatorItem();                                                     // 3
    static const char* const kModeItems[] = {"contextModeASubMenuItem", "contextModeBSubMenuItem",
                                             "contextModeCSubMenuItem", "contextModeDSubMenuItem"};
    for (int i = 0; i < 4; ++i) {  // 4 to 7
        contextModeSubMenuItems[i] = named(
            context->addItem("Slice " + std::string(1, char('A' + i)) + " Mode"), kModeItems[i]);
    }
    context->addSeparatorItem();  // 8
    globalProfilesContextualMenu =
        holder(context, "Global Profiles", "globalProfilesContextualMenu");  // 9
    transmitProfilesContextualMenu =
        holder(context, "Transmit Profiles", "transmitProfilesContextualMenu");  // 10
    micProfilesContextualMenu =
        holder(context, "Microphone Profiles", "micProfilesContextualMenu");                // 11
    context->addSeparatorItem();                                                            // 12
    centerContextMenu = holder(context, "Center Panadapter over", "centerContextMenu");     // 13
    context->addSeparatorItem();                                                            // 14
    named(context->addItem("Swap Slices A and B"), "swapVFOsContextMenuItem");              // 15
    named(context->addItem("Copy Slice A to B"), "setVFOBequalsVFOAContextMenuItem");       // 16
    named(context->addItem("Copy Slice B to A"), "setVFOAequalsVFOBContextMenuItem");       // 17
    context->addSeparatorItem();                                                            // 18
    vfoAddContextMenuItem = named(context->addItem("Add Slice"), "vfoAddContextMenuItem");  // 19
    removeSliceContextMenu = holder(context, "Remove Slice", "removeSliceContextMenu");     // 20
}

}  // namespace vm
