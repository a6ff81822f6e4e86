#pragma once
// The profiles a radio had loaded when the program last left it, kept in the user defaults under
// the radio's serial number as a dictionary of "saved_profile_name" (global),
// "saved_tx_profile_name" (transmit) and "saved_mic_profile_name" (microphone).
#include <string>

namespace vm {

struct ProfileNames {
    std::string global;
    std::string transmit;
    std::string mic;

    bool operator==(const ProfileNames&) const = default;
};

inline constexpr const char* kDefaultProfileName = "Default";

// The names to load for the radio: the saved ones when there is a dictionary holding a global
// name; "Default" for all three without a serial number, without a dictionary or without a saved
// global name. A transmit or microphone name missing beside a saved global one is "Default" too.
ProfileNames savedProfileNames(const std::string& serialNumber);
// Writes the dictionary; nothing without a serial number (false).
bool storeProfileNames(const std::string& serialNumber, const ProfileNames& names);

}  // namespace vm
