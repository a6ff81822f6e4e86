#pragma once
// A USB serial device as the system describes it: its names and its USB numbers. A plain record;
// nothing in the program makes or reads one yet.
#include <cstdint>
#include <string>

namespace vm {

class USBSerialDevice {
public:
    std::string serialNumber;
    std::string deviceName;
    std::string bsdName;  // the name of its device file ("ttyUSB0")
    std::string vendorName;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t releaseId = 0;
};

}  // namespace vm
