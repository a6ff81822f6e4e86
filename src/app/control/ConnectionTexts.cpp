#include "app/control/ConnectionTexts.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>

namespace vm {

std::string connectionStateText(std::uint32_t state) {
    static const std::array<const char*, 10> kTexts{"disconnected",
                                                    "connecting",
                                                    "connected",
                                                    "secured",
                                                    "connected as gui",
                                                    "disconnecting",
                                                    "connect failed",
                                                    "timed out",
                                                    "too many gui clients",
                                                    "disconnected by remote peer"};
    return state < kTexts.size() ? kTexts[state] : "unknown";
}

std::string elapsedTimeString(std::chrono::seconds elapsed) {
    const long long total = std::max<long long>(elapsed.count(), 0);
    const long long days = total / 86400;
    return fmt::format("{} {}, {:02}:{:02}:{:02}", days, days == 1 ? "day" : "days",
                       total % 86400 / 3600, total % 3600 / 60, total % 60);
}

}  // namespace vm
