#pragma once
// The serial ports offered for the tuning knob: the USB serial devices present, then the symbolic
// links to serial devices in the temporary folder (/tmp for an administrator, else ~/tmp), which
// is how a user offers a port under a name of their own.
#include <string>

namespace vm {

class PopUpButton;

// Fills the pop-up with the ports (link entries in a small italic font, shortened at the front);
// with no pop-up only logs what it finds.
void findPorts(PopUpButton* popup);

}  // namespace vm
