#pragma once
// The receive-filter widths each slice panel offers for its slice's mode: eight named presets per
// mode for CW, USB, LSB, AM, SAM, DFM, DIGU, DIGL and RTTY, and the entry "Other" that every
// panel's pop-up ends with. Every other mode (FM, NFM...) has no presets. Mode keys are the
// radio's own upper-case words and are compared exactly.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

// One named filter width: its pop-up title and its edges in Hz from the slice frequency.
struct Preset {
    std::string title;
    std::int32_t lo = 0;
    std::int32_t hi = 0;

    bool operator==(const Preset&) const = default;
};

// The pop-up entry that stands for any filter no preset describes.
inline constexpr std::string_view kOtherPresetTitle = "Other";

class PresetDictionary {
public:
    // Builds the table; building again gives the same content, eight presets per mode.
    void setupPresetDictionary();

    // The mode's presets in pop-up order; null for a mode without presets.
    const std::vector<Preset>* presetsForMode(std::string_view mode) const;
    // The pop-up's entries for the mode: its preset titles, then "Other" (alone for a mode
    // without presets).
    std::vector<std::string> popupTitles(std::string_view mode) const;
    // The first preset of the mode with exactly this title; nothing for an empty title or mode,
    // a mode without presets or a title it does not have.
    std::optional<Preset> presetForTitle(std::string_view title, std::string_view mode) const;
    // The title of the mode's preset with these very edges, or "Other"; nothing for a mode
    // without presets.
    std::optional<std::string> titleForFilter(std::string_view mode, std::int32_t lo,
                                              std::int32_t hi) const;

    std::size_t modeCount() const { return presets_.size(); }

private:
    std::map<std::string, std::vector<Preset>, std::less<>> presets_;
};

}  // namespace vm
