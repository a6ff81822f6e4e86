#include "util/ArrayAdditions.h"

#include "platform/core/Log.h"
#include "util/Utf16.h"

namespace vm::arrays {

std::vector<std::string>& removeLinesShorterThan(std::vector<std::string>& lines,
                                                 std::size_t length) {
    std::erase_if(lines, [&](const std::string& line) { return utf16::length(line) < length; });
    return lines;
}

void addStringIfNeeded(std::vector<std::string>& items, const std::string& s) {
    if (s.empty()) {
        log("addStringIfNeeded:null string");
        return;
    }
    if (std::find(items.begin(), items.end(), s) == items.end()) {
        items.push_back(s);
    }
}

void removeStringIfPresent(std::vector<std::string>& items, const std::string& s) {
    if (s.empty()) {
        log("stringToRemove:null string");
        return;
    }
    if (std::erase(items, s) > 0) {
        log("removeStringIfPresent:[{}] removed", s);
    } else {
        log("removeStringIfPresent:[{}] not found", s);
    }
}

}  // namespace vm::arrays
