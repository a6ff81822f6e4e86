#pragma once
// The arithmetic of tuning with the pointer, shared by the panadapter and the waterfall views:
// the frequency under the pointer, the slice whose line it rests on, the grid a pointer
// frequency is rounded to, the steps of a wheel event and of a drag of the split bar. No Qt here:
// positions and sizes are plain numbers.
//
// Also the checks that stand between a spot and what the view does with it: a spot's mode and
// call sign come from the network (the radio's spot lines, the sibling logger) and are used
// only when they cannot change the meaning of the command or script they go into.
#include "radio/RadioTypes.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

class Slice;

namespace pointer_tuning {

// The frequency at x pixels from the left of a view `width` pixels wide that shows the pan
// `center` ± `bandwidth` / 2 (all MHz); the left edge without a width.
double pointerMHz(double center, double bandwidth, double x, double width);

// Pixels and megahertz across a view `width` pixels wide that shows `bandwidth` MHz: widths,
// not positions (0 without a width or a bandwidth).
double pixelsToMHz(double pixels, double width, double bandwidth);
double mhzToPixels(double mhz, double width, double bandwidth);

// The slice's frequency as a number, MHz; 0 without one.
double sliceMHz(const Slice& slice);

// Which of several slices whose lines lie within the tolerance a search takes.
enum class Pick { First, Last };
// The slice whose frequency lies strictly within `skirt` MHz of `mhz`; nullptr when none does.
std::shared_ptr<Slice> sliceNear(const std::vector<std::shared_ptr<Slice>>& slices, double mhz,
                                 double skirt, Pick pick);

// Steps per MHz to which a pointer frequency is rounded: 10 Hz with Shift, 10 kHz with Control
// (Shift wins), else 100 Hz; ten times finer in the "CW", "RTTY" and "DIGU" modes.
double tuningFactor(bool shift, bool control, std::string_view mode);
// `mhz` rounded to the grid (halves away from zero) as the "%f" text the slice is tuned with.
std::string roundedFrequencyText(double mhz, double factor);

// The tuning steps (Hz, in order) of one wheel event: `step` for a rightward or downward roll,
// -`step` for a leftward or upward one, at most one per axis whatever the size of the delta.
std::vector<double> wheelSteps(double deltaX, double deltaY, double step);

// The change of the panadapter's share of its window, in percent, when the split bar is dragged
// `dyDown` pixels downward in a window content `contentHeight` pixels high: negative downward,
// positive upward, 0 without a move or a height.
double splitDragPercent(double dyDown, double contentHeight);

// A spot's mode as the slice may be set to it: only a mode of the slice's own list, holding no
// blank or control character; nullopt otherwise.
std::optional<std::string> spotModeForSlice(const std::string& mode, const List& modeList);
// A spot's frequency as the "%g" text a slice is tuned with (at most six significant digits);
// nullopt for a frequency that is not a positive finite number.
std::optional<std::string> spotFrequencyText(double megahertz);
// The sibling logger's lookup script for a call sign, blanks turned into "-"; nullopt when the
// call sign is empty or holds anything but letters, digits, "/" and "-", which could leave its
// quotes.
std::optional<std::string> lookupScript(const std::string& combinedCallsign);

}  // namespace pointer_tuning
}  // namespace vm
