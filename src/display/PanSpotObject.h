#pragma once
// One DX spot that a panadapter marks at its frequency: a station (the call sign) heard by a
// spotter on a frequency, with mode, time and comments. Spots come from the radio's spot status
// lines (the session's `radio_spots`) and from the sibling logging application (the controller's
// lists); the panadapter view draws them and records in each where it drew it.
//
// A plain record: every field is stored as set, with nothing hanging on it. Readers and writers
// share a spot through its list's lock. A spot can be copied (copy) and archived in a keyed
// archive (archiveValue / fromArchive) under the keys "pan_spot_combined", "pan_spot_dxde",
// "time_stamp", "megahertz", "qsx_megahertz", "mode" and "comments"; nothing else is archived.
#include "display/RgbaColor.h"
#include "platform/core/ArchiveValue.h"
#include "util/Dates.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>

namespace vm {

// A spot's colour as red, green, blue and alpha from 0 to 1 (sRGB).
using SpotColor = RgbaColor;

// A rectangle in the view's coordinates.
struct SpotRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    bool operator==(const SpotRect&) const = default;
};

// How two spots order by frequency: Ascending when the first has the higher frequency, so that a
// list sorted by it runs from the highest frequency down.
enum class SpotOrder { Ascending = -1, Same = 0, Descending = 1 };

class PanSpotObject {
public:
    static constexpr const char* kClassName = "PanSpotObject";

    std::int64_t spotIndex = 0;    // the radio's index of the spot (radio spots only)
    std::string combinedCallsign;  // the spotted station
    std::string dxde;              // the spotter
    std::optional<Date> timestamp;
    int callStatus = 0;           // status of the call in the logger (logger spots only)
    bool workedThisBand = false;  // logger spots only
    std::string mode;
    double megahertz = 0;      // the station's frequency
    double qsx_megahertz = 0;  // where it listens (split)
    double marker_x = 0;       // where the view last drew the marker
    double marker_y = 0;
    SpotRect label_rect;  // where the view last drew the label (for mouse hits)
    std::string comments;
    std::string trigger_action;                 // radio spots only
    std::optional<SpotColor> background_color;  // radio spots only

    // A new spot with the call sign, spotter, time, mode, comments and both frequencies of this
    // one; the index, logger status, drawing places, trigger action and colour start afresh.
    std::shared_ptr<PanSpotObject> copy() const;

    // The same call sign (exactly, letter case included) less than 0.0001 MHz away.
    bool similarSpot(const PanSpotObject& other) const;
    // The same call sign, whatever the frequencies.
    bool duplicatesCall(const PanSpotObject& other) const;
    SpotOrder compareFrequency(const PanSpotObject& other) const;

    // The spot as a record of class kClassName for a keyed archive.
    ArchiveValue archiveValue() const;
    // A spot from such a record: the archived fields over a fresh spot; a field of another kind
    // is left as a fresh spot has it. Nothing for a value that is not a record of kClassName.
    static std::optional<PanSpotObject> fromArchive(const ArchiveValue& value);
    // The classes a keyed archive of spots holds, for KeyedUnarchiver::decodeTopObject.
    static const std::set<std::string>& archiveClasses();
};

}  // namespace vm
