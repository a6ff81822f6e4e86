// The session's side of the radio's spots: "spot <index> key=value ..." and "spot <index> removed"
// lines. The spots live in `radio_spots`, which the panadapters read while drawing; every change
// takes `radio_spots_lock`, waiting at most 0.1 s for it, so the session's queue never waits
// longer for a drawing pass.
#include "display/DisplayRoutes.h"
#include "display/PanSpotObject.h"
#include "platform/core/Log.h"
#include "radio/Radio.h"
#include "radio/RecordTable.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <chrono>
#include <mutex>

namespace vm {

namespace {

constexpr auto kSpotLockWait = std::chrono::milliseconds(100);

// One spot line as it is read: the session, the line's index and the spot its "callsign" started.
struct SpotLine {
    Radio& radio;
    int index = 0;
    std::shared_ptr<PanSpotObject> current;
};

// Runs `change` on the spot list under its lock; false (and nothing changed) when the lock could
// not be had within 0.1 s.
template <class F>
bool withSpots(Radio& radio, F&& change) {
    NamedLock& lock = *radio.radio_spots_lock();
    if (!lock.tryLockFor(kSpotLockWait)) {
        return false;
    }
    std::unique_lock hold(lock.mutex, std::adopt_lock);
    change(*radio.radio_spots());
    return true;
}

// A colour by its name ("red", "navy"...; letter case ignored) or written "#RRGGBB" or
// "#AARRGGBB" in hexadecimal; none for anything else.
std::optional<SpotColor> colorNamed(std::string_view name) {
    if (name.starts_with('#') && (name.size() == 7 || name.size() == 9)) {
        std::uint32_t value = 0;
        const auto [end, ec] =
            std::from_chars(name.data() + 1, name.data() + name.size(), value, 16);
        if (ec != std::errc() || end != name.data() + name.size()) {
            return std::nullopt;
        }
        const auto channel = [&](int shift) { return ((value >> shift) & 0xFF) / 255.0; };
        return SpotColor{channel(16), channel(8), channel(0), name.size() == 9 ? channel(24) : 1.0};
    }
    struct Named {
        std::string_view name;
        std::uint32_t rgb;
    };
    static constexpr std::array<Named, 17> colors{{
        {"black", 0x000000},
        {"silver", 0xC0C0C0},
        {"gray", 0x808080},
        {"white", 0xFFFFFF},
        {"maroon", 0x800000},
        {"red", 0xFF0000},
        {"purple", 0x800080},
        {"fuchsia", 0xFF00FF},
        {"green", 0x008000},
        {"lime", 0x00FF00},
        {"olive", 0x808000},
        {"yellow", 0xFFFF00},
        {"navy", 0x000080},
        {"blue", 0x0000FF},
        {"teal", 0x008080},
        {"aqua", 0x00FFFF},
        {"orange", 0xFFA500},
    }};
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const Named& color : colors) {
        if (color.name == lower) {
            return SpotColor{((color.rgb >> 16) & 0xFF) / 255.0, ((color.rgb >> 8) & 0xFF) / 255.0,
                             (color.rgb & 0xFF) / 255.0, 1.0};
        }
    }
    return std::nullopt;
}

// A new spot for the call; the older spots of the same call leave the list.
void callsign(SpotLine& line, const std::string& value) {
    line.current = std::make_shared<PanSpotObject>();
    line.current->spotIndex = line.index;
    line.current->combinedCallsign = value;
    if (!withSpots(line.radio, [&](SpotList& spots) {
            std::erase_if(spots, [&](const auto& spot) { return spot->combinedCallsign == value; });
        })) {
        log("parseSpotToken:failed to lock radio_spots during call_sign_token");
    }
}

// The first spot with the line's index leaves the list.
void removed(SpotLine& line, const std::string& /*value*/) {
    if (!withSpots(line.radio, [&](SpotList& spots) {
            const auto found = std::find_if(spots.begin(), spots.end(), [&](const auto& spot) {
                return spot->spotIndex == line.index;
            });
            if (found != spots.end()) {
                spots.erase(found);
            }
        })) {
        log("parseSpotToken:failed to lock radio_spots during remove_token");
    }
}

// A field of the spot that "callsign" started; a key before it changes nothing.
template <auto Field>
void spotField(SpotLine& line, const std::string& value) {
    if (line.current) {
        field<Field>(*line.current, value);
    }
}

void timestamp(SpotLine& line, const std::string& value) {
    if (line.current) {
        line.current->timestamp = Date::fromUnixTime(strings::doubleValue(value));
    }
}

void backgroundColor(SpotLine& line, const std::string& value) {
    if (line.current) {
        line.current->background_color = colorNamed(value);
    }
}

const RecordTable<SpotLine>& spotTable() {
    using P = PanSpotObject;
    static const RecordTable<SpotLine> table{"Radio:parseSpotToken:Unrecognized token:[{key}]",
                                             {
                                                 {"callsign", callsign},
                                                 {"removed", removed},
                                                 {"rx_freq", spotField<&P::megahertz>},
                                                 {"tx_freq", spotField<&P::qsx_megahertz>},
                                                 {"mode", spotField<&P::mode>},
                                                 {"color", nullptr},
                                                 {"source", nullptr},
                                                 {"spotter_callsign", spotField<&P::dxde>},
                                                 {"timestamp", timestamp},
                                                 {"lifetime_seconds", nullptr},
                                                 {"priority", nullptr},
                                                 {"comment", spotField<&P::comments>},
                                                 {"trigger_action", spotField<&P::trigger_action>},
                                                 {"background_color", backgroundColor},
                                             }};
    return table;
}

// On the session's queue, for every "spot" line (whichever client it is from).
void parseSpotToken(Radio& radio, Scanner& scan, bool /*selfStatus*/) {
    SpotLine line{radio, 0, nullptr};
    scan.setCharactersToBeSkipped(std::nullopt);
    scan.scanInt(&line.index);
    scan.scanString(" ");
    spotTable().read(line, scan);
    if (line.current &&
        !withSpots(radio, [&](SpotList& spots) { spots.push_back(std::move(line.current)); })) {
        log("parseSpotToken:failed to lock radio_spots during newPanSpot");
    }
}

}  // namespace

void attachSpots(Radio& radio) { radio.routeStatus(kStatusSpot, parseSpotToken); }

}  // namespace vm
