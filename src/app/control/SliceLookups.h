#pragma once
// Which of this client's slices is meant: by number, the active, alternate or transmit slice, the
// last one, the one nearest a frequency, the first inside a panadapter's span. The list is the
// controller's `doroSlices`, in ascending slice number, so every "first" falls to the lowest
// number. Nothing here changes a slice.
#include "app/control/PanLookups.h"

#include <memory>
#include <vector>

namespace vm {

class Slice;

namespace lookups {

using SliceList = std::vector<std::shared_ptr<Slice>>;

// A slice's frequency in megahertz (0 when it has none).
double sliceMegahertz(const Slice& slice);
// The signed repeater offset of a slice in MHz: up +, down -, simplex or unknown 0. The radio
// reports and takes the direction in lower case ("up"), the panels show it in upper case: either
// form counts.
double transmitOffset(const Slice& slice);

std::shared_ptr<Slice> sliceWithNumber(const SliceList& slices, int number);
std::shared_ptr<Slice> activeVFO(const SliceList& slices);     // first with sliceActive
std::shared_ptr<Slice> alternateVFO(const SliceList& slices);  // first without sliceActive
std::shared_ptr<Slice> transmitVFO(const SliceList& slices);   // first with sliceTxEnabled
std::shared_ptr<Slice> lastSlice(const SliceList& slices);
// The nearest slice within 10000 MHz; on equal distances the earlier one.
std::shared_ptr<Slice> closestSlice(const SliceList& slices, double mhz);
// The first slice whose frequency lies in the span, both edges included.
std::shared_ptr<Slice> centerSliceInPan(const SliceList& slices, const PanSpan& pan);

}  // namespace lookups
}  // namespace vm
