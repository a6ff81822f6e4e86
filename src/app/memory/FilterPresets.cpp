#include "app/memory/FilterPresets.h"

#include <array>
#include <utility>

namespace vm {

namespace {

struct ModePresets {
    const char* mode;
    std::array<Preset, 8> presets;
};

// In the order the pop-ups list them. CW is symmetric up to 1.0K and keeps -600 Hz below that;
// USB starts at +100 Hz and LSB mirrors it; AM, SAM and DFM are symmetric; DIGU is centred on
// 1500 Hz up to 2.0K, DIGL on -2210 Hz up to 3.0K; RTTY is centred on -85 Hz.
const std::array<ModePresets, 9> kPresetTable{{
    {"CW",
     {{{"50", -25, 25},
       {"100", -50, 50},
       {"250", -125, 125},
       {"400", -200, 200},
       {"800", -400, 400},
       {"1.0K", -500, 500},
       {"1.5K", -600, 900},
       {"3.0K", -600, 2400}}}},
    {"USB",
     {{{"1.6K", 100, 1700},
       {"1.8K", 100, 1900},
       {"2.1K", 100, 2200},
       {"2.4K", 100, 2500},
       {"2.7K", 100, 2800},
       {"2.9K", 100, 3000},
       {"3.3K", 100, 3400},
       {"4.0K", 100, 4100}}}},
    {"LSB",
     {{{"1.6K", -1700, -100},
       {"1.8K", -1900, -100},
       {"2.1K", -2200, -100},
       {"2.4K", -2500, -100},
       {"2.7K", -2800, -100},
       {"2.9K", -3000, -100},
       {"3.3K", -3400, -100},
       {"4.0K", -4100, -100}}}},
    {"AM",
     {{{"5.6K", -2800, 2800},
       {"6.0K", -3000, 3000},
       {"8.0K", -4000, 4000},
       {"10K", -5000, 5000},
       {"12K", -6000, 6000},
       {"14K", -7000, 7000},
       {"16K", -8000, 8000},
       {"20K", -10000, 10000}}}},
    {"SAM",
     {{{"5.6K", -2800, 2800},
       {"6.0K", -3000, 3000},
       {"8.0K", -4000, 4000},
       {"10K", -5000, 5000},
       {"12K", -6000, 6000},
       {"14K", -7000, 7000},
       {"16K", -8000, 8000},
       {"20K", -10000, 10000}}}},
    {"DFM",
     {{{"6.0K", -3000, 3000},
       {"8.0K", -4000, 4000},
       {"10K", -5000, 5000},
       {"12K", -6000, 6000},
       {"14K", -7000, 7000},
       {"16K", -8000, 8000},
       {"18K", -9000, 9000},
       {"20K", -10000, 10000}}}},
    {"DIGU",
     {{{"100", 1450, 1550},
       {"300", 1350, 1650},
       {"600", 1200, 1800},
       {"1.0K", 1000, 2000},
       {"1.5K", 750, 2250},
       {"2.0K", 500, 2500},
       {"3.0K", 0, 3000},
       {"5.0K", 0, 5000}}}},
    {"DIGL",
     {{{"100", -2260, -2160},
       {"300", -2360, -2060},
       {"600", -2510, -1910},
       {"1.0K", -2710, -1710},
       {"1.5K", -2960, -1460},
       {"2.0K", -3210, -1210},
       {"3.0K", -3710, -710},
       {"5.0K", -5000, 0}}}},
    {"RTTY",
     {{{"250", -220, 50},
       {"300", -235, 65},
       {"350", -260, 90},
       {"400", -285, 115},
       {"500", -335, 165},
       {"1.0K", -585, 415},
       {"1.5K", -835, 665},
       {"3.0K", -1585, 1415}}}},
}};

}  // namespace

void PresetDictionary::setupPresetDictionary() {
    for (const ModePresets& entry : kPresetTable) {
        std::vector<Preset>& presets = presets_[entry.mode];
        presets.assign(entry.presets.begin(), entry.presets.end());
    }
}

const std::vector<Preset>* PresetDictionary::presetsForMode(std::string_view mode) const {
    const auto found = presets_.find(mode);
    return found == presets_.end() ? nullptr : &found->second;
}

std::vector<std::string> PresetDictionary::popupTitles(std::string_view mode) const {
    std::vector<std::string> titles;
    if (const auto* presets = presetsForMode(mode)) {
        for (const Preset& preset : *presets) {
            titles.push_back(preset.title);
        }
    }
    titles.emplace_back(kOtherPresetTitle);
    return titles;
}

std::optional<Preset> PresetDictionary::presetForTitle(std::string_view title,
                                                       std::string_view mode) const {
    const auto* presets = title.empty() || mode.empty() ? nullptr : presetsForMode(mode);
    if (!presets) {
        return std::nullopt;
    }
    for (const Preset& preset : *presets) {
        if (preset.title == title) {
            return preset;
        }
    }
    return std::nullopt;
}

std::optional<std::string> PresetDictionary::titleForFilter(std::string_view mode, std::int32_t lo,
                                                            std::int32_t hi) const {
    const auto* presets = presetsForMode(mode);
    if (!presets) {
        return std::nullopt;
    }
    // No two presets of a mode share both edges, so the walk finds at most one.
    for (const Preset& preset : *presets) {
        if (preset.lo == lo && preset.hi == hi) {
            return preset.title;
        }
    }
    return std::string(kOtherPresetTitle);
}

}  // namespace vm
