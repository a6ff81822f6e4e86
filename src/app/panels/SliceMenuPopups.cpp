// The menus that name slices: rebuilt from the client's slices, their check marks and enabling,
// and the actions of their items.
#include "app/panels/SliceMenuActions.h"

#include "app/panels/TuningHost.h"
#include "app/windows/MainMenus.h"
#include "display/Panafall.h"
#include "objects/Slice.h"
#include "platform/core/Log.h"
#include "platform/ui/Beep.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "radio/Radio.h"
#include "util/StringAdditions.h"

#include <fmt/format.h>

#include <array>

namespace vm {

namespace {

// Positions in the slice menu of the items that need slices A and B, and of those that need
// either.
constexpr std::array<int, 3> kItemsForAandB{6, 7, 8};
constexpr std::array<int, 3> kItemsForAorB{14, 15, 16};
constexpr int kCentreItem = 4;

void setEnabledAt(Menu& menu, int index, bool enabled) {
    if (MenuItem* item = menu.itemAtIndex(index)) {
        item->setEnabled(enabled);
    }
}

// Marks the slice's item of a sub-menu; a slice without an item there is skipped.
void markSlice(MenuItem* holder, const Slice& slice, bool on) {
    Menu* menu = holder ? holder->submenu() : nullptr;
    if (MenuItem* item = menu ? menu->itemWithTag(slice.thisSliceNumber()) : nullptr) {
        item->setState(on);
    }
}

}  // namespace

void SliceMenuActions::addSliceItem(Menu& menu, const Slice& slice,
                                    void (SliceMenuActions::*action)(int)) {
    MenuItem* item = menu.addItem(slice.sliceTitle().value_or(""),
                                  [weak = weak_from_this(), action](MenuItem& chosen) {
                                      if (const auto self = weak.lock()) {
                                          ((*self).*action)(chosen.tag());
                                      }
                                  });
    item->setTag(slice.thisSliceNumber());
    item->setEnabled(true);
}

void SliceMenuActions::loadSlicePopup() {
    const auto host = host_.lock();
    if (!host) {
        return;
    }
    using A = SliceMenuActions;
    struct Kind {
        const char* title;
        void (A::*action)(int);
        MenuItem* main;
        MenuItem* contextual;
    };
    const std::array<Kind, 5> kinds{{
        {"active", &A::activeSubMenuChanged, menus_.activeShortcutsMenu, menus_.activeContextMenu},
        {"locked", &A::lockedSubMenuChanged, menus_.lockedShortcutsMenu, menus_.lockedContextMenu},
        {"transmit", &A::transmitSubMenuChanged, menus_.transmitShortcutsMenu,
         menus_.transmitContextMenu},
        {"center", &A::centerViewOnVFO, menus_.centerShortcutsMenu, menus_.centerContextMenu},
        {"remove", &A::removeVFO, menus_.vfoRemoveMenuItem, menus_.removeSliceContextMenu},
    }};
    std::array<std::unique_ptr<Menu>, 5> built;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        built[k] = std::make_unique<Menu>(kinds[k].title);
    }
    for (const auto& slice : host->clientSlices()) {
        const int number = slice->thisSliceNumber();
        if (number >= 0 && number < int(menus_.contextModeSubMenuItems.size())) {
            auto modes = std::make_unique<Menu>("ModeSubMenus");
            for (const auto& mode : slice->modeList().value_or(TextList{})) {
                MenuItem* item = modes->addItem(mode, [weak = weak_from_this()](MenuItem& chosen) {
                    if (const auto self = weak.lock()) {
                        self->contextModeSettingSubMenuChanged(chosen.tag(), chosen.title());
                    }
                });
                item->setTag(number);
                item->setState(mode == slice->sliceMode().value_or(""));
            }
            menus_.contextModeSubMenuItems[std::size_t(number)]->setSubmenu(std::move(modes));
        }
        for (std::size_t k = 0; k < kinds.size(); ++k) {
            addSliceItem(*built[k], *slice, kinds[k].action);
        }
    }
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        kinds[k].contextual->setSubmenu(built[k]->copy());
        kinds[k].main->setSubmenu(std::move(built[k]));
    }
}

void SliceMenuActions::adjustVFOMenu() {
    const auto host = host_.lock();
    if (!host) {
        return;
    }
    for (const auto& slice : host->clientSlices()) {
        const bool active = slice->sliceActive().value_or(false);
        const bool locked = slice->sliceLocked().value_or(false);
        const bool transmit = slice->sliceTxEnabled().value_or(false);
        markSlice(menus_.activeShortcutsMenu, *slice, active);
        markSlice(menus_.activeContextMenu, *slice, active);
        markSlice(menus_.lockedShortcutsMenu, *slice, locked);
        markSlice(menus_.lockedContextMenu, *slice, locked);
        markSlice(menus_.transmitShortcutsMenu, *slice, transmit);
        markSlice(menus_.transmitContextMenu, *slice, transmit);
    }
    const auto radio = host->openedRadio();
    menus_.vfoAddMenuItem->setEnabled(radio && radio->availableSlices().value_or(0) > 0);
    const bool a = host->sliceWithNumber(0) != nullptr;
    const bool b = host->sliceWithNumber(1) != nullptr;
    Menu& menu = *menus_.shortcutsMenu;
    for (const int index : kItemsForAandB) {
        setEnabledAt(menu, index, a && b);
    }
    for (const int index : kItemsForAorB) {
        setEnabledAt(menu, index, a || b);
    }
    const std::string band = host->focusedPanBand();
    if (MenuItem* centre = menu.itemAtIndex(kCentreItem)) {
        centre->setTitle(fmt::format("Center {}M Panadapter over", band));
        centre->setEnabled(!band.empty());
    }
}

void SliceMenuActions::adjustPanafallMenu() {
    const auto host = host_.lock();
    if (!host) {
        return;
    }
    const auto radio = host->openedRadio();
    const int shown = host->panafallCount();
    menus_.panafallAddMenuItem->setEnabled(
        radio && radio->availablePanadapters().value_or(0) >= 1 && shown < 4);
    menus_.panafallRemoveMenuItem->setEnabled(shown > 0);
}

void SliceMenuActions::activeSubMenuChanged(int sliceNumber) {
    const auto host = host_.lock();
    if (const auto slice = host ? host->sliceWithNumber(sliceNumber) : nullptr) {
        slice->setSliceActive(true);
    }
}

void SliceMenuActions::lockedSubMenuChanged(int sliceNumber) {
    const auto host = host_.lock();
    if (const auto slice = host ? host->sliceWithNumber(sliceNumber) : nullptr) {
        slice->setSliceLocked(!slice->sliceLocked().value_or(false));
    }
}

void SliceMenuActions::transmitSubMenuChanged(int sliceNumber) {
    const auto host = host_.lock();
    if (const auto slice = host ? host->sliceWithNumber(sliceNumber) : nullptr) {
        slice->setSliceTxEnabled(true);
    }
}

void SliceMenuActions::centerViewOnVFO(int sliceNumber) {
    const auto host = host_.lock();
    const auto slice = host ? host->sliceWithNumber(sliceNumber) : nullptr;
    if (!slice) {
        log("centerViewOnVFO:no slice {}", sliceNumber);
        beep();
        return;
    }
    const auto pan = host->panUnderHud();
    if (!pan) {
        log("centerViewOnVFO:no hudOverPanafall for slice {}", sliceNumber);
        beep();
        return;
    }
    pan->setCenter(static_cast<float>(strings::doubleValue(slice->sliceFrequency().value_or(""))));
}

void SliceMenuActions::contextModeSettingSubMenuChanged(int sliceNumber, const std::string& mode) {
    const auto host = host_.lock();
    const auto slice = host ? host->sliceWithNumber(sliceNumber) : nullptr;
    if (!slice) {
        log("contextModeSettingSubMenuChanged:no slice {}", sliceNumber);
        beep();
        return;
    }
    slice->setSliceMode(mode);
}

}  // namespace vm
