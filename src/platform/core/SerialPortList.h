#pragma once
// The USB serial devices present: the links of /dev/serial/by-id (stable names that tell the
// device's maker and serial number), then every /dev/ttyUSB* and /dev/ttyACM* device that no such
// link names, in natural order (ttyUSB2 before ttyUSB10).
#include <filesystem>
#include <string>
#include <vector>

namespace vm {

// `devFolder` is "/dev" but for tests.
std::vector<std::string> listSerialPorts(const std::filesystem::path& devFolder = "/dev");

// True for the device names that the list and the monitor cover: "ttyUSB<n>" and "ttyACM<n>".
bool isUsbSerialName(const std::string& name);

}  // namespace vm
