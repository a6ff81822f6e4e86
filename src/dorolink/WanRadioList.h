#pragma once
// The DoroLink server's list of the user's remote radios: "radio list " followed by entries
// separated by "|", each entry blank-separated key=value words. Every entry of at least 17
// characters becomes a fresh record marked as a DoroLink radio (`wanRadio`); shorter entries (the
// empty piece after a final "|") are skipped.
#include "dorolink/WanMessagePairs.h"
#include "radio/RadioInstance.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace vm::wan {

inline constexpr const char* kRadioListPrefix = "radio list ";
inline constexpr std::size_t kShortestListEntry = 17;

// The records of the list, in the server's order.
std::vector<std::shared_ptr<RadioInstance>> radioListRecords(const std::string& message);

// The record of one entry's pairs. A missing key leaves its field unset; a missing or empty
// "radio_name" gives the name derived from the serial number.
std::shared_ptr<RadioInstance> radioFromListPairs(const MessagePairs& pairs);

}  // namespace vm::wan
