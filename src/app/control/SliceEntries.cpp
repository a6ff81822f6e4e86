#include "app/control/SliceEntries.h"

#include <charconv>
#include <cmath>
#include <type_traits>

namespace vm::entries {

namespace {

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

template <class T>
std::optional<T> numberIn(std::string_view text, T lowest, T highest) {
    text = trimmed(text);
    T value{};
    const char* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || at != end) {
        return std::nullopt;
    }
    if constexpr (std::is_floating_point_v<T>) {
        if (!std::isfinite(value)) {
            return std::nullopt;
        }
    }
    if (value < lowest || value > highest) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<float> toneFrequency(std::string_view text) {
    const auto hertz = numberIn<double>(text, kLowestToneHz, kHighestToneHz);
    return hertz ? std::optional<float>(float(*hertz)) : std::nullopt;
}

std::optional<float> repeaterOffset(std::string_view text) {
    const auto megahertz = numberIn<double>(text, 0.0, kHighestRepeaterOffsetMHz);
    return megahertz ? std::optional<float>(float(*megahertz)) : std::nullopt;
}

std::optional<std::int64_t> daxChannel(std::string_view text) {
    if (trimmed(text) == "None") {
        return 0;
    }
    return numberIn<std::int64_t>(text, 0, kHighestDaxChannel);
}

}  // namespace vm::entries
