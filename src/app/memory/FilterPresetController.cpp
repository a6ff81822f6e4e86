// The filter-preset room: the table built at launch, and a slice's filter shown in the pop-up of
// its panel.
#include "app/memory/FilterPresetController.h"

#include "app/memory/FilterPresetHost.h"
#include "objects/Slice.h"
#include "platform/core/Log.h"

namespace vm {

FilterPresetController::FilterPresetController(std::weak_ptr<FilterPresetHost> host)
    : host_(std::move(host)) {}

void FilterPresetController::setupPresetDictionary() { presetDictionary.setupPresetDictionary(); }

void FilterPresetController::setPresetPopupBasedOnFilter(const std::shared_ptr<Slice>& slice) {
    if (!slice) {
        return;
    }
    if (const int number = slice->thisSliceNumber(); number >= 4) {
        log("setPresetPopupBasedOnFilter:Slice:{} Low:{} Hi:{} Slice number out of range", number,
            std::int32_t(slice->sliceFilterLo().value_or(0)),
            std::int32_t(slice->sliceFilterHi().value_or(0)));
        return;
    }
    if (const auto host = host_.lock()) {
        host->showPresetOfSlice(slice);
    }
}

}  // namespace vm
