// The filter presets of the slice panels: the table built at launch, and a slice's filter shown
// in the pop-up of its panel.
#include "app/shell/AppDelegate.h"

#include "app/panels/SlicePanelController.h"
#include "objects/Slice.h"
#include "platform/core/Log.h"

namespace vm {

void AppDelegate::setupPresetDictionary() { presetDictionary.setupPresetDictionary(); }

void AppDelegate::setPresetPopupBasedOnFilter(const std::shared_ptr<Slice>& slice) {
    if (!slice) {
        return;
    }
    if (const int number = slice->thisSliceNumber(); number >= 4) {
        log("setPresetPopupBasedOnFilter:Slice:{} Low:{} Hi:{} Slice number out of range", number,
            std::int32_t(slice->sliceFilterLo().value_or(0)),
            std::int32_t(slice->sliceFilterHi().value_or(0)));
        return;
    }
    if (SlicePanelController* panel = slicePanelFor(*slice)) {
        panel->setPresetPopupBasedOnFilter(slice);
    }
}

}  // namespace vm
