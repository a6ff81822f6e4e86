#include "app/control/SiblingValues.h"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace vm::sibling {

std::optional<double> plainMegahertz(std::string_view text) {
    constexpr std::size_t kLongest = 16;
    if (text.empty() || text.size() > kLongest) {
        return std::nullopt;
    }
    int points = 0, digits = 0;
    for (const char c : text) {
        if (c == '.') {
            ++points;
        } else if (c >= '0' && c <= '9') {
            ++digits;
        } else {
            return std::nullopt;
        }
    }
    if (points > 1 || digits == 0) {
        return std::nullopt;
    }
    double value = 0;
    // from_chars reads "7." and ".5" as the decimal numbers they are.
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !(value > 0) ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

bool offeredMode(const std::string& mode, const std::optional<std::vector<std::string>>& modes) {
    return !mode.empty() && modes && std::find(modes->begin(), modes->end(), mode) != modes->end();
}

std::optional<double> payloadNumber(const PlistDict& payload, const std::string& key) {
    const auto it = payload.find(key);
    if (it == payload.end()) {
        return std::nullopt;
    }
    if (const auto* integer = it->second.get<std::int64_t>()) {
        return static_cast<double>(*integer);
    }
    if (const auto* real = it->second.get<double>()) {
        return std::isfinite(*real) ? std::optional<double>(*real) : std::nullopt;
    }
    if (const auto* text = it->second.get<std::string>()) {
        return plainMegahertz(*text);
    }
    return std::nullopt;
}

std::string payloadText(const PlistDict& payload, const std::string& key) {
    const auto it = payload.find(key);
    const auto* text = it == payload.end() ? nullptr : it->second.get<std::string>();
    return text ? *text : std::string();
}

std::optional<bool> payloadFlag(const PlistDict& payload, const std::string& key) {
    const auto it = payload.find(key);
    if (it == payload.end()) {
        return std::nullopt;
    }
    if (const auto* flag = it->second.get<bool>()) {
        return *flag;
    }
    if (const auto* integer = it->second.get<std::int64_t>()) {
        return *integer != 0;
    }
    return std::nullopt;
}

std::string megahertzText(double mhz) { return fmt::format("{}", mhz); }

}  // namespace vm::sibling
