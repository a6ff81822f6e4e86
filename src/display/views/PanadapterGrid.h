#pragma once
// The grid of the panadapter: round steps (2, 2.5, 4, 5 or 10 times a power of ten) that divide
// the span and the level range into about `ticks` - 1 parts, and the lines with their labels.
#include <string>
#include <vector>

namespace vm {

// The step for `range` and a tick setting (the slider's value, the number of divisions plus
// one). A setting below 2 counts as 2 (one division), so a setting of 1 never divides by zero.
// 0 for a range that is not a positive finite number: no grid on that axis.
double niceTickStep(double range, int ticks);

// One grid line: where it lies and its label.
struct GridMark {
    double offset = 0;
    std::string label;
};

// The frequency lines of a span: offset in MHz from the span's start. They start at the start
// rounded to 0.001 MHz below a 0.05 MHz span ("%0.04f" labels), else to 0.01 MHz ("%0.03f"),
// which may lie left of the view.
std::vector<GridMark> frequencyGridMarks(double center, double span, int ticks);
// The level lines: offset as the share of the view's height from the bottom, labels "%0.0f dBm".
std::vector<GridMark> levelGridMarks(double minDbm, double maxDbm, int ticks);

}  // namespace vm
