#include "display/PanSpotObject.h"

#include <cmath>

namespace vm {

namespace {

constexpr double kSimilarMegahertz = 0.0001;

}  // namespace

std::shared_ptr<PanSpotObject> PanSpotObject::copy() const {
    auto spot = std::make_shared<PanSpotObject>();
    spot->combinedCallsign = combinedCallsign;
    spot->dxde = dxde;
    spot->timestamp = timestamp;
    spot->mode = mode;
    spot->comments = comments;
    spot->megahertz = megahertz;
    spot->qsx_megahertz = qsx_megahertz;
    return spot;
}

bool PanSpotObject::similarSpot(const PanSpotObject& other) const {
    return duplicatesCall(other) && std::fabs(megahertz - other.megahertz) < kSimilarMegahertz;
}

bool PanSpotObject::duplicatesCall(const PanSpotObject& other) const {
    return combinedCallsign == other.combinedCallsign;
}

SpotOrder PanSpotObject::compareFrequency(const PanSpotObject& other) const {
    if (megahertz > other.megahertz) {
        return SpotOrder::Ascending;
    }
    if (megahertz < other.megahertz) {
        return SpotOrder::Descending;
    }
    return SpotOrder::Same;
}

ArchiveValue PanSpotObject::archiveValue() const {
    ArchiveObject record{kClassName, {}};
    record.fields.emplace("pan_spot_combined", combinedCallsign);
    record.fields.emplace("pan_spot_dxde", dxde);
    if (timestamp) {
        record.fields.emplace("time_stamp", ArchiveDate{timestamp->secondsSinceReferenceDate});
    }
    record.fields.emplace("megahertz", megahertz);
    record.fields.emplace("qsx_megahertz", qsx_megahertz);
    record.fields.emplace("mode", mode);
    record.fields.emplace("comments", comments);
    return record;
}

std::optional<PanSpotObject> PanSpotObject::fromArchive(const ArchiveValue& value) {
    const ArchiveObject* record = archive::recordOfClass(value, kClassName);
    if (!record) {
        return std::nullopt;
    }
    PanSpotObject spot;
    for (auto [key, text] : {std::pair{"pan_spot_combined", &spot.combinedCallsign},
                             std::pair{"pan_spot_dxde", &spot.dxde}, std::pair{"mode", &spot.mode},
                             std::pair{"comments", &spot.comments}}) {
        if (const std::string* stored = archive::textValue(record->field(key))) {
            *text = *stored;
        }
    }
    if (const ArchiveValue* stamp = record->field("time_stamp")) {
        if (const auto* date = stamp->get<ArchiveDate>()) {
            spot.timestamp = Date{date->secondsSinceReferenceDate};
        }
    }
    spot.megahertz = archive::realValue(record->field("megahertz")).value_or(0);
    spot.qsx_megahertz = archive::realValue(record->field("qsx_megahertz")).value_or(0);
    return spot;
}

const std::set<std::string>& PanSpotObject::archiveClasses() {
    static const std::set<std::string> classes{kClassName, archive::kStringClass,
                                               archive::kNumberClass, archive::kDateClass,
                                               archive::kArrayClass};
    return classes;
}

}  // namespace vm
