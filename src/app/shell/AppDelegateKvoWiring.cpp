// How the controls learn of the model: one VMKVOManager per observed slice, panadapter and
// waterfall, bound when the radio reports this client's slice or panadapter and cancelled when it
// drops it. Slices 0 to 3 are bound to the slice panels A to D, whose controllers hold their
// managers; pans 0 to 3 (by stream id) are the four windows. A slice or pan outside those is
// listed but observed by nothing.
#include "app/shell/AppDelegate.h"

#include "app/control/PanLookups.h"
#include "app/memory/FilterPresetController.h"
#include "app/panels/PanadapterController.h"
#include "app/panels/SlicePanelController.h"
#include "app/windows/MainControlsBar.h"
#include "display/Panafall.h"
#include "display/Waterfall.h"
#include "display/views/PanAdapterView.h"
#include "objects/Slice.h"
#include "platform/core/Log.h"
#include "radio/Radio.h"
#include "util/VMKVOManager.h"

#include <algorithm>

namespace vm {

namespace {

std::string radioName(const std::shared_ptr<RadioInstance>& instance) {
    return instance ? instance->name.value_or("") : "";
}

std::string sliceRadioName(const Slice& slice) {
    const auto link = slice.radio();
    return link ? radioName(link->radioRecord()) : "";
}

std::string panRadioName(const Panafall& pan) {
    const auto link = pan.radio();
    return link ? radioName(link->radioRecord()) : "";
}

int panIndexOf(const Panafall& pan) { return lookups::streamToInt(pan.streamId()); }

template <class Target, class Object>
VMKVOManager::Table table(
    const std::vector<std::pair<std::string, void (Target::*)(const std::shared_ptr<Object>&,
                                                              const Change*)>>& rows) {
    VMKVOManager::Table out;
    for (const auto& [key, method] : rows) {
        out.emplace_back(key, VMKVOManager::handler(method));
    }
    return out;
}

}  // namespace

// --- Slices

void AppDelegate::sliceCreatedNotification(const Notification& notification) {
    if (!notification.object) {
        log("sliceCreatedNotification: did not contain an object");
        return;
    }
    const auto slice = std::static_pointer_cast<Slice>(notification.object);
    if (mainControls->vfo_mode->numberOfItems() == 0) {
        for (const auto& mode : slice->modeList().value_or(TextList{})) {
            mainControls->vfo_mode->addItem(QString::fromStdString(mode));
        }
    }
    const std::string sliceRadio = sliceRadioName(*slice);
    const std::string ourRadio = openRadio ? radioName(openRadio->radioInstance()) : "";
    const int number = slice->thisSliceNumber();
    if (sliceRadio.empty() || ourRadio.empty()) {
        log("sliceCreatedNotification: missing sliceRadioName: {}, ourRadioName:{}", sliceRadio,
            ourRadio);
        return;
    }
    if (sliceRadio != ourRadio) {
        log("sliceCreatedNotification: thisSliceNumber:[{}] belongs to radio:[{}] not to selected "
            "radio:[{}]",
            number, sliceRadio, ourRadio);
        return;
    }
    // An older slice with the same number is replaced; its binding goes with it.
    std::vector<std::shared_ptr<Slice>> older;
    for (const auto& listed : doroSlices) {
        if (listed->thisSliceNumber() == number) {
            log("sliceCreatedNotification: thisSliceNumber:[{}] replaces an older one", number);
            older.push_back(listed);
        }
    }
    for (const auto& old : older) {
        std::erase(doroSlices, old);
    }
    log("sliceCreatedNotification:Slice:[{} {}] panForSlice:[{}]", number,
        slice->sliceTitle().value_or(""), slice->panForSlice().value_or(""));
    doroSlices.push_back(slice);
    std::stable_sort(doroSlices.begin(), doroSlices.end(), [](const auto& a, const auto& b) {
        return a->thisSliceNumber() < b->thisSliceNumber();
    });
    loadSlicePopup();
    loadAntennas(slice);
    loadKVOSlice(slice);
    if (SlicePanelController* panel = slicePanelFor(*slice)) {
        panel->slicePanOwnerText(slice);
    }
    adjustSliceControls();
    adjustVFOMenu();
    adjustSplitControls();
    // The mode menus refill the filter pop-up: its entry is selected after them.
    if (SlicePanelController* panel = slicePanelFor(*slice)) {
        panel->updateModeMenus(slice);
    }
    filterPresetController->setPresetPopupBasedOnFilter(slice);
}

void AppDelegate::loadKVOSlice(const std::shared_ptr<Slice>& slice) {
    if (SlicePanelController* panel = slice ? slicePanelFor(*slice) : nullptr) {
        panel->bind(slice);
    }
}

void AppDelegate::sliceDeletedNotification(const Notification& notification) {
    if (!notification.object) {
        log("sliceDeletedNotification: did not contain an object");
        return;
    }
    const auto slice = std::static_pointer_cast<Slice>(notification.object);
    const std::string sliceRadio = sliceRadioName(*slice);
    const std::string ourRadio = openRadio ? radioName(openRadio->radioInstance()) : "";
    const int number = slice->thisSliceNumber();
    if (sliceRadio.empty() || ourRadio.empty()) {
        log("sliceDeletedNotification: missing sliceRadioName: {}, ourRadioName:{}", sliceRadio,
            ourRadio);
        return;
    }
    if (sliceRadio != ourRadio) {
        log("sliceDeletedNotification: thisSliceNumber:[{}] belongs to radio:[{}] not to selected "
            "radio:[{}]",
            number, sliceRadio, ourRadio);
        return;
    }
    const auto found = std::find_if(doroSlices.begin(), doroSlices.end(), [&](const auto& listed) {
        return listed->thisSliceNumber() == number;
    });
    if (found == doroSlices.end()) {
        log("sliceDeletedNotification: Slice Not Found");
        return;
    }
    const std::shared_ptr<Slice> listed = *found;
    log("sliceDeletedNotification: thisSliceNumber:[{}] radio:[{}]", number, sliceRadio);
    if (listed == alternateVFO()) {
        mainControls->vfo_alt_mhz->setDoubleValue(0.0);
        mainControls->vfoAltText->setText(QString());
    }
    cancelKVOSLice(listed);
    std::erase(doroSlices, listed);
    loadSlicePopup();
    adjustSliceControls();
    adjustVFOMenu();
    adjustSplitControls();
}

void AppDelegate::cancelKVOSLice(const std::shared_ptr<Slice>& slice) {
    if (SlicePanelController* panel = slice ? slicePanelFor(*slice) : nullptr) {
        panel->unbind();
    }
}

// --- Panadapters

void AppDelegate::panafallCreatedNotification(const Notification& notification) {
    if (!notification.object) {
        return;
    }
    const auto pan = std::static_pointer_cast<Panafall>(notification.object);
    const std::string ourRadio = openRadio ? radioName(openRadio->radioInstance()) : "";
    if (panRadioName(*pan) != ourRadio) {
        log("panafallCreatedNotification:Not for our radio:[{}]", panRadioName(*pan));
        return;
    }
    const std::string band = pan->band().value_or("");
    const double bandwidth = pan->bandwidth().value_or(0);
    if (debugEnabled()) {
        log("panafallCreatedNotification:adding panafall streamID:[{}] band:[{}] bandwidth:[{}] "
            "MHz",
            pan->streamId(), band, bandwidth);
    }
    const auto earlier =
        std::find_if(doroPanafalls.rbegin(), doroPanafalls.rend(),
                     [&](const auto& listed) { return listed->streamId() == pan->streamId(); });
    if (earlier != doroPanafalls.rend()) {
        const std::shared_ptr<Panafall> old = *earlier;
        log("panafallCreatedNotification:removing pre_existing_panfall with streamID:[{}] "
            "band:[{}] bandwidth:[{}] MHz",
            old->streamId(), old->band().value_or(""), old->bandwidth().value_or(0));
        doroPanafalls.erase(std::next(earlier).base());
        cancelPanafalKVO(old);
        adjustPanafallMenu();
        adjustPanafallControls();
    }
    log("panafallCreatedNotification:streamID:[{}] waterfall:[{}] clientHandle:[{}]",
        pan->streamId(), pan->waterfallId().value_or(""), pan->clientHandle().value_or(""));
    loadPanafallKVO(pan);
    doroPanafalls.push_back(pan);
    QWidget* panView = loadPanafallWindow(pan);
    if (band.empty() || bandwidth == 0) {
        pan->setBand("20");
        pan->setCenter(14.1f);
        pan->setBandwidth(0.2f);
        pan->setMaxDbm(-50.0f);
        pan->setMinDbm(-133.0f);
        if (const auto waterfall = pan->waterfall()) {
            waterfall->setColorGain(10);
        }
        log("panafallCreatedNotification:streamID:[{}] null band:[{}] or bandwidth:[{}] MHz",
            pan->streamId(), band, bandwidth);
    }
    pan->setPanDimensions(panView ? PanSize{double(panView->width()), double(panView->height())}
                                  : PanSize{0, 0});
    adjustPanafallMenu();
    adjustPanafallControls();
}

void AppDelegate::loadPanafallKVO(const std::shared_ptr<Panafall>& pan) {
    if (debugEnabled()) {
        log("loadPanafallKVO:adding KVO for panIndex:{} streamID:[{}] band:[{}] bandwidth:[{}] MHz",
            panIndexOf(*pan), pan->streamId(), pan->band().value_or(""),
            pan->bandwidth().value_or(0));
    }
    if (PanadapterController* panadapter = panadapterFor(*pan)) {
        panadapter->loadPanafallKVO(pan);
    }
}

QWidget* AppDelegate::loadPanafallWindow(const std::shared_ptr<Panafall>& pan) {
    PanadapterController* panadapter = panadapterFor(*pan);
    return panadapter ? panadapter->loadPanafallWindow(pan) : nullptr;
}

void AppDelegate::panafallDeletedNotification(const Notification& notification) {
    if (!notification.object) {
        return;
    }
    const auto pan = std::static_pointer_cast<Panafall>(notification.object);
    log("panafallDeletedNotification:streamID:[{}]", pan->streamId());
    if (PanadapterController* panadapter = panadapterFor(*pan)) {
        panadapter->saveWindowFrame();
    }
    cancelPanafalKVO(pan);
    adjustPanafallMenu();
    adjustPanafallControls();
}

void AppDelegate::cancelPanafalKVO(const std::shared_ptr<Panafall>& pan) {
    const auto listed =
        std::find_if(doroPanafalls.rbegin(), doroPanafalls.rend(),
                     [&](const auto& entry) { return entry->streamId() == pan->streamId(); });
    if (listed != doroPanafalls.rend()) {
        doroPanafalls.erase(std::next(listed).base());
        if (debugEnabled()) {
            log("cancelPanafalKVO:removed Panafall streamId:[{}] from doroPanafalls",
                pan->streamId());
        }
    } else {
        log("cancelPanafalKVO:could not remove Panafall with streamId:[{}] from this clients "
            "doroPanafalls",
            pan->streamId());
    }
    for (const auto& panadapter : panadapters) {
        if (panadapter->cancelPanafalKVO(pan)) {
            return;
        }
    }
    log("cancelPanafalKVO:streamID:[{}] owned by:[{}] not us:[{}]", pan->streamId(),
        pan->clientHandle().value_or(""),
        openRadio ? openRadio->clientHandle().value_or("") : std::string());
}

void AppDelegate::releaseSliceAndPanBindings() {
    for (const auto& panel : slicePanelControllers) {
        panel->unbind();
    }
    for (const auto& panadapter : panadapters) {
        if (const std::shared_ptr<Panafall> shown = panadapter->panafall) {
            cancelPanafalKVO(shown);
        }
    }
}

}  // namespace vm
