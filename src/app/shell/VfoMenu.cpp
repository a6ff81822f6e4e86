#include "app/shell/VfoMenu.h"

#include "app/shell/VfoMenuHost.h"
#include "app/windows/MainMenus.h"
#include "objects/Slice.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "radio/Radio.h"

#include <fmt/format.h>

namespace vm {

namespace {

// Positions in the slice menu.
constexpr int kCenterOverBandItem = 4;
constexpr int kSliceABItems[] = {6, 7, 8};       // swap, copy A to B, copy B to A
constexpr int kSliceAOrBItems[] = {14, 15, 16};  // the active, lock and transmit sub-menus

// A sub-menu whose per-slice items (tagged with the slice number) show a flag of the slice, in
// the menu bar and in the contextual menu.
struct MarkedSubmenus {
    MenuItem* MainMenus::*inMenuBar;
    MenuItem* MainMenus::*inContextMenu;
    Observed<Flag> Slice::*flag;
};

constexpr MarkedSubmenus kMarked[] = {
    {&MainMenus::activeShortcutsMenu, &MainMenus::activeContextMenu, &Slice::sliceActive},
    {&MainMenus::lockedShortcutsMenu, &MainMenus::lockedContextMenu, &Slice::sliceLocked},
    {&MainMenus::transmitShortcutsMenu, &MainMenus::transmitContextMenu, &Slice::sliceTxEnabled}};

void enableItem(Menu& menu, int index, bool on) {
    if (MenuItem* item = menu.itemAtIndex(index)) {
        item->setEnabled(on);
    }
}

}  // namespace

std::shared_ptr<VfoMenu> VfoMenu::create(MainMenus& menus, std::weak_ptr<VfoMenuHost> host) {
    std::shared_ptr<VfoMenu> room(new VfoMenu(menus, std::move(host)));
    std::weak_ptr<VfoMenu> weak = room;
    QObject::connect(menus.shortcutsMenu, &QMenu::aboutToShow, menus.shortcutsMenu, [weak] {
        if (const auto self = weak.lock()) {
            self->adjustVFOMenu();
        }
    });
    return room;
}

VfoMenu::VfoMenu(MainMenus& menus, std::weak_ptr<VfoMenuHost> host)
    : menus_(menus), host_(std::move(host)) {}

void VfoMenu::adjustVFOMenu() {
    const auto host = host_.lock();
    if (!host) {
        return;
    }
    for (const auto& slice : host->clientSlices()) {
        if (!slice) {
            continue;
        }
        for (const MarkedSubmenus& marked : kMarked) {
            const bool on = ((*slice).*marked.flag)().value_or(false);
            for (MenuItem* holder : {menus_.*marked.inMenuBar, menus_.*marked.inContextMenu}) {
                Menu* submenu = holder ? holder->submenu() : nullptr;
                if (MenuItem* item =
                        submenu ? submenu->itemWithTag(slice->thisSliceNumber()) : nullptr) {
                    item->setState(on);
                }
            }
        }
    }

    const auto radio = host->openedRadio();
    menus_.vfoAddMenuItem->setEnabled(radio && radio->availableSlices().value_or(0) > 0);

    Menu& menu = *menus_.shortcutsMenu;
    const bool a = host->sliceWithNumber(0) != nullptr;
    const bool b = host->sliceWithNumber(1) != nullptr;
    for (const int index : kSliceABItems) {
        enableItem(menu, index, a && b);
    }
    for (const int index : kSliceAOrBItems) {
        enableItem(menu, index, a || b);
    }
    const std::string band = host->focusedPanBand();
    if (MenuItem* item = menu.itemAtIndex(kCenterOverBandItem)) {
        item->setTitle(fmt::format("Center {}M Panadapter over", band));
        item->setEnabled(!band.empty());
    }
}

}  // namespace vm
