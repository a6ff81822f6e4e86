#pragma once
// The filter presets of the slice panels: the table built at launch, which the panels read by
// reference, and a slice's filter shown in the pop-up of its panel. Main thread only.
#include "app/memory/FilterPresets.h"

#include <memory>

namespace vm {

class FilterPresetHost;
class Slice;

class FilterPresetController {
public:
    explicit FilterPresetController(std::weak_ptr<FilterPresetHost> host);

    void setupPresetDictionary();
    // Selects, in the pop-up of the slice's panel, the preset equal to the slice's filter, or
    // "Other"; a slice numbered 4 or more is only logged.
    void setPresetPopupBasedOnFilter(const std::shared_ptr<Slice>& slice);

    PresetDictionary presetDictionary;

private:
    std::weak_ptr<FilterPresetHost> host_;
};

}  // namespace vm
