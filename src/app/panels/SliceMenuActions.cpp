// Swapping, copying and removing slices from the slice menu.
#include "app/panels/SliceMenuActions.h"

#include "app/panels/TuningHost.h"
#include "app/windows/MainMenus.h"
#include "display/Panafall.h"
#include "objects/Slice.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"
#include "platform/ui/Beep.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "radio/Radio.h"
#include "util/StringAdditions.h"

#include <utility>

namespace vm {

std::shared_ptr<SliceMenuActions> SliceMenuActions::create(MainMenus& menus,
                                                           std::weak_ptr<TuningHost> host) {
    auto room = std::make_shared<SliceMenuActions>(Private{}, menus, std::move(host));
    room->connectItems(menus);
    return room;
}

SliceMenuActions::SliceMenuActions(Private, MainMenus& menus, std::weak_ptr<TuningHost> host)
    : menus_(menus), host_(std::move(host)) {}

void SliceMenuActions::connectItems(MainMenus& menus) {
    const std::pair<const char*, void (SliceMenuActions::*)()> items[] = {
        {"swapVFOsMenuItem", &SliceMenuActions::swapVFOs},
        {"setVFOBequalsVFOAMenuItem", &SliceMenuActions::setVFOBequalsVFOA},
        {"setVFOAequalsVFOBMenuItem", &SliceMenuActions::setVFOAequalsVFOB},
        {"toggleActiveVFOsMenuItem", &SliceMenuActions::toggleActiveVFOs},
        {"toggleVFOTransmitMenuItem", &SliceMenuActions::toggleVFOTransmit},
        {"panafallRemoveMenuItem", &SliceMenuActions::panadapterRemove},
        {"swapVFOsContextMenuItem", &SliceMenuActions::swapVFOs},
        {"setVFOBequalsVFOAContextMenuItem", &SliceMenuActions::setVFOBequalsVFOA},
        {"setVFOAequalsVFOBContextMenuItem", &SliceMenuActions::setVFOAequalsVFOB},
        {"vfoAddContextMenuItem", &SliceMenuActions::addVFO},
    };
    const auto weakRoom = weak_from_this();
    menus.vfoAddMenuItem->setAction([weakRoom](MenuItem&) {
        if (const auto room = weakRoom.lock()) {
            room->addVFO();
        }
    });
    menus.panafallAddMenuItem->setAction([weakRoom](MenuItem&) {
        if (const auto room = weakRoom.lock()) {
            room->panadapterAdd();
        }
    });
    Menu* menu = menus.shortcutsMenu;
    // The items follow the slices as the menu opens.
    QObject::connect(menu, &QMenu::aboutToShow, menu, [weakRoom] {
        if (const auto room = weakRoom.lock()) {
            room->adjustVFOMenu();
        }
    });
    for (Menu* withItems : {menu, menus.panContextMenu.get()}) {
        for (int i = 0; i < withItems->numberOfItems(); ++i) {
            MenuItem* item = withItems->itemAtIndex(i);
            for (const auto& [name, action] : items) {
                if (item && item->objectName() == QLatin1String(name)) {
                    item->setAction([weak = weak_from_this(), action](MenuItem&) {
                        if (const auto self = weak.lock()) {
                            ((*self).*action)();
                        }
                    });
                }
            }
        }
    }
}

std::pair<std::shared_ptr<Slice>, std::shared_ptr<Slice>> SliceMenuActions::slicesAB() const {
    const auto host = host_.lock();
    if (!host) {
        return {};
    }
    return {host->sliceWithNumber(0), host->sliceWithNumber(1)};
}

void SliceMenuActions::swapVFOs() {
    const auto [a, b] = slicesAB();
    if (!a || !b) {
        beep();
        return;
    }
    const std::string frequency = b->sliceFrequency().value_or("");
    const std::string mode = b->sliceMode().value_or("");
    const bool transmit = b->sliceTxEnabled().value_or(false);
    b->setSliceFrequency(a->sliceFrequency().value_or(""));
    b->setSliceMode(a->sliceMode().value_or(""));
    b->setSliceTxEnabled(a->sliceTxEnabled().value_or(false));
    a->setSliceFrequency(frequency);
    a->setSliceMode(mode);
    a->setSliceTxEnabled(transmit);
}

void SliceMenuActions::setVFOBequalsVFOA() {
    const auto [a, b] = slicesAB();
    if (!a || !b) {
        beep();
        return;
    }
    copySlice(*a, *b);
}

void SliceMenuActions::setVFOAequalsVFOB() {
    const auto [a, b] = slicesAB();
    if (!a || !b) {
        beep();
        return;
    }
    copySlice(*b, *a);
}

void SliceMenuActions::toggleActiveVFOs() {
    const auto [a, b] = slicesAB();
    if (!a || !b) {
        beep();
        return;
    }
    (a->sliceActive().value_or(false) ? b : a)->setSliceActive(true);
}

void SliceMenuActions::toggleVFOTransmit() {
    const auto [a, b] = slicesAB();
    if (!a || !b) {
        beep();
        return;
    }
    (a->sliceTxEnabled().value_or(false) ? b : a)->setSliceTxEnabled(true);
}

void SliceMenuActions::copySlice(Slice& from, Slice& to) {
    const std::string frequency = from.sliceFrequency().value_or("");
    to.setSliceFrequency(frequency);
    const auto host = host_.lock();
    if (const auto pan = host ? host->panUnderHud() : nullptr) {
        pan->setCenter(static_cast<float>(strings::doubleValue(frequency)));
    }
    to.setSliceActive(true);
    to.setSliceMode(from.sliceMode().value_or(""));
    to.setSliceTxEnabled(true);
}

void SliceMenuActions::removeVFO(int sliceNumber) {
    const auto host = host_.lock();
    const auto radio = host ? host->openedRadio() : nullptr;
    if (!radio) {
        return;
    }
    if (!host->sliceWithNumber(sliceNumber)) {
        log("removeVFO:no slice:[{}]", sliceNumber);
        beep();
        return;
    }
    radio->cmdRemoveSlice(sliceNumber);
}

void SliceMenuActions::addVFO() {
    const auto host = host_.lock();
    if (!host) {
        return;
    }
    const auto slices = host->clientSlices();
    std::shared_ptr<Slice> last = slices.empty() ? nullptr : slices.back();
    DispatchQueue::main()->async([radio = host->openedRadio(), last] {
        if (!radio) {
            return;
        }
        if (!last) {
            radio->cmdNewSlice();
        } else {
            radio->cmdNewSlice(last->sliceFrequency().value_or(""), last->sliceRxAnt().value_or(""),
                               last->sliceMode().value_or(""));
        }
    });
}

void SliceMenuActions::panadapterRemove() {
    const auto host = host_.lock();
    const auto radio = host ? host->openedRadio() : nullptr;
    const auto pan = radio ? host->panUnderHud() : nullptr;
    if (pan) {
        log("panadaperRemoveMenuSelected:cmdRemovePanafall {}", pan->streamId());
        radio->cmdRemovePanafall(pan->streamId());
    }
}

void SliceMenuActions::panadapterAdd() {
    const auto host = host_.lock();
    if (const auto radio = host ? host->openedRadio() : nullptr) {
        const bool asked = radio->cmdNewPanafall(100, 100);
        log("panadaperAddMenuSelected:cmdNewPanafall:{:f} {:f} result:{}", 100.0, 100.0,
            asked ? 1 : 0);
    }
}

}  // namespace vm
