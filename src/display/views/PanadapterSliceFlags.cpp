#include "display/views/PanadapterSliceFlags.h"

#include "objects/Slice.h"
#include "util/VMMegahertzFormatter.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>

namespace vm {

std::string sliceFlagText(const Slice& slice, double mhz, const VMMegahertzFormatter& formatter) {
    const bool tx = slice.sliceTxEnabled().value_or(false);
    return fmt::format("{} {}{}{}{} {}", slice.sliceTitle().value_or(""),
                       formatter.stringForObjectValue(mhz).value_or(""), tx ? " TX" : "",
                       slice.detached().value_or(0) != 0 ? " \u00D8" : "",
                       slice.sliceLocked().value_or(false) ? " \u2716\uFE0E" : "",
                       (tx ? slice.sliceTxAnt() : slice.sliceRxAnt()).value_or(""));
}

QRectF placeSliceFlag(double x, double viewWidth, double viewHeight, QSizeF size,
                      const std::vector<QRectF>& placed) {
    const double left = std::trunc(x < viewWidth / 2 ? x + 5 : x - size.width() - 6);
    QRectF flag(left, std::trunc(viewHeight - size.height()), size.width(), size.height());
    const auto covers = [&placed](const QRectF& rect) {
        return std::any_of(placed.begin(), placed.end(),
                           [&rect](const QRectF& other) { return other.intersects(rect); });
    };
    if (covers(flag)) {
        flag.moveTop(std::trunc(viewHeight - 2 * size.height()));
        if (covers(flag)) {
            flag.moveTop(std::trunc(viewHeight - 3 * size.height()));
        }
    }
    return flag;
}

}  // namespace vm
