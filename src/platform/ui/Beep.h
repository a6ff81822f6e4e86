#pragma once
// The system beep: the one sound with which the application refuses an action.
#include <functional>

namespace vm {

void beep();

// Replaces what a beep does (tests count the beeps); an empty function restores the system's
// sound. Returns the previous handler. Main thread only.
using BeepHandler = std::function<void()>;
BeepHandler setBeepHandler(BeepHandler handler);

}  // namespace vm
