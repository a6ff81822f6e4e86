#pragma once
// The tuning step chosen by the keyboard modifiers held: Shift 10 Hz, Control 1 kHz, Alt (option)
// 10 kHz, Meta (command) 100 kHz, none of them 100 Hz; the first that is held in that order wins.
// Qt reports no Caps Lock state, so the 1 Hz step that Caps Lock selects on other systems is not
// offered here: with Caps Lock on, the other modifiers decide as usual.
#include <Qt>

namespace vm {

double frequencyStepForModifiers(Qt::KeyboardModifiers modifiers);
// The step for the modifiers of the input event the application handled last.
double getFrequencyKeyModifier();

}  // namespace vm
