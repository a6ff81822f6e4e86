// The panel's filter pop-up: filled with the presets of the slice's mode and "Other", and the
// entry that matches the slice's filter selected.
#include "app/panels/SlicePanelController.h"

#include "app/memory/FilterPresets.h"
#include "app/windows/SlicePanel.h"
#include "objects/Slice.h"

#include <QStringList>

namespace vm {

void SlicePanelController::loadPresetFiltersForVFO(const std::string& mode) {
    if (mode.empty()) {
        return;
    }
    QStringList titles;
    for (const std::string& title : presets_.popupTitles(mode)) {
        titles.push_back(QString::fromStdString(title));
    }
    PopUpButton* popup = panel_->filterPresetPopup;
    popup->clear();
    popup->addItems(titles);
}

void SlicePanelController::setPresetPopupBasedOnFilter(const std::shared_ptr<Slice>& slice) {
    if (!slice) {
        return;
    }
    const auto lo = std::int32_t(slice->sliceFilterLo().value_or(0));
    const auto hi = std::int32_t(slice->sliceFilterHi().value_or(0));
    if (const auto title = presets_.titleForFilter(slice->sliceMode().value_or(""), lo, hi)) {
        panel_->filterPresetPopup->selectItemWithTitle(*title);
    }
}

}  // namespace vm
