// The logger's DX spots, its band plan and the panadapter it asks to centre.
#include "app/control/SiblingBridge.h"

#include "app/control/SiblingValues.h"
#include "display/PanSpotObject.h"
#include "platform/core/Defaults.h"
#include "platform/core/KeyedArchiver.h"
#include "platform/core/KeyedUnarchiver.h"
#include "platform/core/Log.h"

#include <QString>

#include <algorithm>
#include <cmath>
#include <ctime>

namespace vm {

namespace {

constexpr const char* kLowerEdgesKey = "trvl_band_lower_edge_array";
constexpr const char* kUpperEdgesKey = "trvl_band_upper_edge_array";

// The logger writes its spot times as a date would describe itself ("2026-12-11 12:00:00 +0000")
// or in ISO 8601 ("2026-12-11T12:00:00Z"); a time without a zone is UTC.
std::optional<vm::Date> spotTime(const std::string& text) {
    static const char* const kForms[] = {"%Y-%m-%d %H:%M:%S %z", "%Y-%m-%dT%H:%M:%S%z",
                                         "%Y-%m-%dT%H:%M:%SZ", "%Y-%m-%d %H:%M:%S"};
    for (const char* form : kForms) {
        std::tm tm{};
        const char* end = ::strptime(text.c_str(), form, &tm);
        if (end && *end == '\0') {
            const long offset = tm.tm_gmtoff;
            const std::time_t utc = ::timegm(&tm) - offset;
            return vm::Date::fromUnixTime(static_cast<double>(utc));
        }
    }
    return std::nullopt;
}

ArchiveArray edgesFromDefaults(const char* key) {
    const auto data = Defaults::standard().dataForKey(key);
    if (!data) {
        return {};
    }
    const auto unarchiver = KeyedUnarchiver::create(std::string(data->begin(), data->end()));
    const auto value =
        unarchiver ? unarchiver->decodeTopObject({"Array", "Number", "String"}) : std::nullopt;
    const auto* array = value ? value->get<ArchiveArray>() : nullptr;
    return array ? *array : ArchiveArray{};
}

// A band edge as the logger sent it, when it is a number or a text.
std::optional<ArchiveValue> edgeValue(const PlistValue& value) {
    if (const auto* integer = value.get<std::int64_t>()) {
        return ArchiveValue(static_cast<long long>(*integer));
    }
    if (const auto* real = value.get<double>()) {
        return ArchiveValue(*real);
    }
    if (const auto* text = value.get<std::string>()) {
        return ArchiveValue(*text);
    }
    return std::nullopt;
}

void storeEdges(const char* key, const ArchiveArray& edges) {
    if (const auto data = archivedData(ArchiveValue(edges))) {
        Defaults::standard().set(key, PlistData(data->begin(), data->end()));
    }
}

}  // namespace

void SiblingBridge::restoreBandPlan() {
    bandLowerEdges_ = edgesFromDefaults(kLowerEdgesKey);
    bandUpperEdges_ = edgesFromDefaults(kUpperEdgesKey);
}

void SiblingBridge::newSpotNotification(const PlistDict& payload) {
    // The lifetime of every spot follows the latest one that gives a usable lifetime; a spot
    // without one leaves it as it was rather than ending every spot at once.
    if (const auto hours = sibling::payloadNumber(payload, "timeout_hours"); hours && *hours > 0) {
        spot_timeout_hours_ = *hours;
    }
    const auto megahertz = sibling::payloadNumber(payload, "megahertz");
    const std::string call = sibling::payloadText(payload, "combinedCallsign");
    if (!megahertz || *megahertz <= 0 || call.empty()) {
        log("addSpot:ignored:[{}] megahertz:[{}]", call,
            megahertz ? fmt::format("{:g}", *megahertz) : std::string("none"));
        return;
    }
    auto spot = std::make_shared<PanSpotObject>();
    spot->combinedCallsign = call;
    const std::string time = sibling::payloadText(payload, "timestamp");
    spot->timestamp = spotTime(time);
    if (!spot->timestamp) {
        spot->timestamp = vm::Date::now();  // an unreadable time counts as now
    }
    spot->workedThisBand = sibling::payloadFlag(payload, "workedThisBand").value_or(false);
    spot->megahertz = *megahertz;
    spot->mode = sibling::payloadText(payload, "mode");
    spot->callStatus = static_cast<int>(sibling::payloadNumber(payload, "callStatus").value_or(0));
    spot->comments = sibling::payloadText(payload, "comments");
    spot->dxde = sibling::payloadText(payload, "dxde");
    spot->qsx_megahertz = sibling::payloadNumber(payload, "qsx_megahertz").value_or(0);
    addSpot(spot);
}

bool SiblingBridge::expired(const PanSpotObject& spot, double now) const {
    return spot.timestamp &&
           now - spot.timestamp->secondsSinceReferenceDate > spot_timeout_hours_ * 3600;
}

template <class Drop>
std::size_t SiblingBridge::removeSpots(Drop drop, const std::shared_ptr<PanSpotObject>& append) {
    loadingSpots_ = true;
    const std::size_t removed = std::erase_if(localSpots_, drop);
    if (append) {
        localSpots_.push_back(append);
        if (localSpots_.size() > kMaxSpots) {
            localSpots_.erase(
                localSpots_.begin(),
                localSpots_.begin() + static_cast<std::ptrdiff_t>(localSpots_.size() - kMaxSpots));
        }
    }
    loadingSpots_ = false;
    if (const auto host = host_.lock(); host && (removed > 0 || append)) {
        host->spotsChanged();
    }
    return removed;
}

void SiblingBridge::addSpot(const std::shared_ptr<PanSpotObject>& spot) {
    const auto host = host_.lock();
    if (!spot || !host || !host->loggerSpotsOn()) {
        return;
    }
    const double now = vm::Date::now().secondsSinceReferenceDate;
    removeSpots(
        [&](const std::shared_ptr<PanSpotObject>& old) {
            return expired(*old, now) || old->similarSpot(*spot);
        },
        spot);
}

void SiblingBridge::ageTRVLSpots() {
    const double now = vm::Date::now().secondsSinceReferenceDate;
    const bool any = std::any_of(localSpots_.begin(), localSpots_.end(),
                                 [&](const auto& spot) { return expired(*spot, now); });
    if (any) {
        removeSpots(
            [&](const std::shared_ptr<PanSpotObject>& spot) { return expired(*spot, now); });
    }
}

void SiblingBridge::resetSpots() {
    removeSpots([](const std::shared_ptr<PanSpotObject>&) { return true; });
}

void SiblingBridge::loadBandPlan(const PlistDict& plan) {
    loadingBandEdges_ = true;
    std::vector<std::string> keys;
    for (const auto& entry : plan) {
        keys.push_back(entry.first);
    }
    std::stable_sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) {
        return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) <
               0;
    });
    auto collect = [&](ArchiveArray& edges, const char* marker) {
        edges.clear();
        for (const auto& key : keys) {
            if (key.find(marker) != std::string::npos) {
                if (auto value = edgeValue(plan.at(key))) {
                    edges.push_back(std::move(*value));
                }
            }
        }
    };
    collect(bandLowerEdges_, "Lower Bandedge");
    collect(bandUpperEdges_, "Upper Bandedge");
    loadingBandEdges_ = false;
    log("loadBandPlan:{} lower, {} upper edges loaded", bandLowerEdges_.size(),
        bandUpperEdges_.size());
    storeEdges(kLowerEdgesKey, bandLowerEdges_);
    storeEdges(kUpperEdgesKey, bandUpperEdges_);
}

void SiblingBridge::centerPanNotification(const PlistDict& payload) {
    const std::string pan = sibling::payloadText(payload, "panForSlice");
    const auto mhz = sibling::payloadNumber(payload, "megahertz");
    if (pan.empty() || !mhz || *mhz <= 0) {
        log("centerPan:onFreqeuncy:ignored:[{}]", pan);
        return;
    }
    if (const auto host = host_.lock()) {
        host->centerPan(pan, *mhz);
    }
}

}  // namespace vm
