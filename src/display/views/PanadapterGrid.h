#pragma once
// The grid steps of the panadapter: a round step (2, 2.5, 4, 5 or 10 times a power of ten) that
// divides a range into about `ticks` - 1 parts.
namespace vm {

// The step for `range` and a tick setting (the slider's value, the number of divisions plus
// one). A setting below 2 counts as 2 (one division), so a setting of 1 never divides by zero.
// 0 for a range that is not a positive finite number: no grid on that axis.
double niceTickStep(double range, int ticks);

}  // namespace vm
