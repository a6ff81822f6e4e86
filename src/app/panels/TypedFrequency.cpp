// The operator's typed frequency, sent or taken back.
#include "app/panels/TypedFrequency.h"

#include "app/control/SliceLookups.h"
#include "objects/Slice.h"
#include "platform/core/Log.h"
#include "platform/ui/TextField.h"

#include <fmt/format.h>

#include <cmath>

namespace vm {

void tuneToTypedFrequency(Slice& slice, TextField& field) {
    const double megahertz = field.doubleValue();
    if (slice.sliceLocked().value_or(false)) {
        log("setHertz:VFO is frequency locked.");
    } else if (std::isfinite(megahertz) && megahertz > 0) {
        slice.setSliceFrequency(fmt::format("{:0.5f}", megahertz));
        return;
    }
    field.setDoubleValue(lookups::sliceMegahertz(slice));
}

}  // namespace vm
