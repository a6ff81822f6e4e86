#pragma once
// The stream router's copies of its tables (see VitaStreamTables.h), taken again only when a table
// has changed since: the packet path reads them with no lock and no reference counting.
#include "radio/VitaStreamTables.h"

#include <cstdint>
#include <memory>

namespace vm {

class VitaRouteSnapshots {
public:
    using Routes = std::shared_ptr<const VitaStreamRoutes<VitaStreamHandler>::Entries>;

    // Takes new snapshots of `tables` when they changed since the last call (or on the first).
    void update(const VitaStreamTables& tables) {
        const std::uint64_t changes = tables.changes.load(std::memory_order_acquire);
        if (meters && changes == changes_) {
            return;
        }
        changes_ = changes;
        meters = tables.meters.snapshot();
        panafalls = tables.panafalls.snapshot();
        waterfalls = tables.waterfalls.snapshot();
        opusAudioStreamHandlers = tables.opusAudioStreamHandlers.snapshot();
        remoteAudioStreamHandlers = tables.remoteAudioStreamHandlers.snapshot();
    }

    std::shared_ptr<const VitaMeterRoutes::Meters> meters;  // null until the first update
    Routes panafalls;
    Routes waterfalls;
    Routes opusAudioStreamHandlers;
    Routes remoteAudioStreamHandlers;

private:
    std::uint64_t changes_ = 0;
};

}  // namespace vm
