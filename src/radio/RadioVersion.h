#pragma once
// Texts that radios announce, turned into record fields; the DoroLink radio list uses them too.
#include <string>

namespace vm {

struct RadioInstance;

// "3.3.28.0" gives 3.3: with exactly four dot-separated parts, the first two read as a decimal
// number (no digits give 0.0; "2.10.1.0" gives 2.1). Any other text is logged and gives 0.0.
double versionStringToDouble(const std::string& version);

// "0610-1122-6700-4321" gives "6700-4321": the last two of exactly four dash-separated groups;
// anything else gives the empty text.
std::string doroRadioNameFromSerialNumber(const std::string& serialNumber);

// Stores the firmware version in the record with its number (`fversion`) and grants the
// capabilities that version reaches; a capability is only ever granted here, never withdrawn.
void applyFirmwareVersion(RadioInstance& record, const std::string& version);

// Firmware thresholds of the radio's capabilities.
inline constexpr double kV3ApiVersion = 2.5;
inline constexpr double kMultiDoroVersion = 3.0;
inline constexpr double kNewPanVersion = 3.3;

}  // namespace vm
