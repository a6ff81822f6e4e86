#pragma once
// Meter values on their way from the stream router to the main queue: each value with the meter
// it was found for, and the snapshots of the meter table those meters were found in, which keep
// them alive until their values are delivered (a meter taken out meanwhile still gets the values
// that came before).
#include "radio/VitaStreamHandler.h"
#include "radio/VitaStreamTables.h"

#include <memory>
#include <utility>
#include <vector>

namespace vm {

struct MeterValueBatch {
    std::vector<std::pair<VitaManagerMeterUpdate*, int>> values;
    std::vector<std::shared_ptr<const VitaMeterRoutes::Meters>> tables;

    // Keeps `meters` unless the values before were found in the same snapshot.
    void keep(const std::shared_ptr<const VitaMeterRoutes::Meters>& meters) {
        if (tables.empty() || tables.back() != meters) {
            tables.push_back(meters);
        }
    }
    bool empty() const { return values.empty(); }
    void clear() {
        values.clear();
        tables.clear();
    }
};

}  // namespace vm
