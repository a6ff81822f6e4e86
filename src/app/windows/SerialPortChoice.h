#pragma once
// The serial ports offered for the tuning knob: the USB serial devices present, then the symbolic
// links to serial devices in the temporary folder (/tmp for an administrator, else ~/tmp), which
// is how a user offers a port under a name of their own, then the device paths listed in the
// preference "vm_virtual_serial_port" (separated by ",": pseudo-terminals, say).
#include <string>
#include <vector>

namespace vm {

class PopUpButton;

// Fills the pop-up with the ports (link entries in a small italic font, shortened at the front);
// with no pop-up only logs what it finds.
void findPorts(PopUpButton* popup);

// The paths listed in "vm_virtual_serial_port", blanks stripped, empty ones left out.
std::vector<std::string> virtualSerialPorts();

}  // namespace vm
