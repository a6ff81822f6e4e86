// The filter presets of the slice panels: the table built at launch, each panel's pop-up filled
// for its slice's mode, and the entry that matches the slice's filter selected.
#include "app/shell/AppDelegate.h"

#include "app/windows/SlicePanel.h"
#include "objects/Slice.h"
#include "platform/core/Log.h"

#include <QStringList>

namespace vm {

void AppDelegate::setupPresetDictionary() { presetDictionary.setupPresetDictionary(); }

void AppDelegate::loadPresetFiltersForVFO(int panel, const std::string& mode) {
    if (mode.empty() || panel < 0 || panel > 3 || !slicePanels[panel]) {
        return;
    }
    QStringList titles;
    for (const std::string& title : presetDictionary.popupTitles(mode)) {
        titles.push_back(QString::fromStdString(title));
    }
    PopUpButton* popup = slicePanels[panel]->filterPresetPopup;
    popup->clear();
    popup->addItems(titles);
}

void AppDelegate::setPresetPopupBasedOnFilter(const std::shared_ptr<Slice>& slice) {
    if (!slice) {
        return;
    }
    const int number = slice->thisSliceNumber();
    const auto lo = std::int32_t(slice->sliceFilterLo().value_or(0));
    const auto hi = std::int32_t(slice->sliceFilterHi().value_or(0));
    if (number >= 4) {
        log("setPresetPopupBasedOnFilter:Slice:{} Low:{} Hi:{} Slice number out of range", number,
            lo, hi);
        return;
    }
    if (number < 0 || !slicePanels[number]) {
        return;
    }
    if (const auto title =
            presetDictionary.titleForFilter(slice->sliceMode().value_or(""), lo, hi)) {
        slicePanels[number]->filterPresetPopup->selectItemWithTitle(*title);
    }
}

std::optional<Preset> AppDelegate::presetForTitle(const std::string& title,
                                                  const std::string& mode) const {
    return presetDictionary.presetForTitle(title, mode);
}

}  // namespace vm
