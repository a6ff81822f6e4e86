#pragma once
// The flags that name the slices at the top of the panadapter: their text and where they go so
// that they do not cover one another.
#include <QRectF>
#include <QSizeF>

#include <string>
#include <vector>

namespace vm {

class Slice;
class VMMegahertzFormatter;

// The letter, the frequency, the transmit mark " TX", the detached mark " Ø", the lock mark "
// ✖︎", then a space and the antenna (the transmit antenna of a transmit slice, else the receive
// one).
std::string sliceFlagText(const Slice& slice, double mhz, const VMMegahertzFormatter& formatter);

// The flag's rectangle in view coordinates (x, y: lower-left corner, origin at the view's lower
// left) for a slice line at x in a view of `viewWidth` x `viewHeight`: right of the line in the
// left half, left of it in the right half, touching the top edge; one row down when it covers a
// flag `placed` before it, and a third row (untested) when it still does.
QRectF placeSliceFlag(double x, double viewWidth, double viewHeight, QSizeF size,
                      const std::vector<QRectF>& placed);

}  // namespace vm
