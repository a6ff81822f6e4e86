#pragma once
// The stream router's tables: who owns each stream, found by number on the packet path. The
// session's objects file themselves here (and take themselves out again) where their status lines
// make and drop them, beside the session's own collections; the router looks them up for every
// packet, with no text keys and no allocation. Each table has its own lock, held for the look-up
// only (and, for pre-V3 DAX audio, for the handler's call).
#include "radio/VitaStreamHandler.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace vm {

// Owners by stream id: a short list sorted by id (a session has a handful of streams).
template <class Handler>
class VitaStreamRoutes {
public:
    // Files `handler` under `streamId`, replacing the owner filed there before.
    void insert(std::uint32_t streamId, std::shared_ptr<Handler> handler) {
        std::lock_guard lock(mutex_);
        const auto at = lowerBound(streamId);
        if (at != entries_.end() && at->first == streamId) {
            at->second = std::move(handler);
        } else {
            entries_.emplace(at, streamId, std::move(handler));
        }
    }
    void erase(std::uint32_t streamId) {
        std::lock_guard lock(mutex_);
        const auto at = lowerBound(streamId);
        if (at != entries_.end() && at->first == streamId) {
            entries_.erase(at);
        }
    }
    void clear() {
        std::lock_guard lock(mutex_);
        entries_.clear();
    }
    // The owner of the stream, or nullptr.
    std::shared_ptr<Handler> find(std::uint32_t streamId) const {
        std::lock_guard lock(mutex_);
        const auto at = lowerBound(streamId);
        return at != entries_.end() && at->first == streamId ? at->second : nullptr;
    }
    // Calls `visit` with the owner (or nullptr) while the table stays locked.
    template <class Visit>
    void visit(std::uint32_t streamId, Visit&& visitor) const {
        std::lock_guard lock(mutex_);
        const auto at = lowerBound(streamId);
        visitor(at != entries_.end() && at->first == streamId ? at->second.get() : nullptr);
    }

private:
    using Entry = std::pair<std::uint32_t, std::shared_ptr<Handler>>;
    auto lowerBound(std::uint32_t streamId) const {
        return std::lower_bound(
            entries_.begin(), entries_.end(), streamId,
            [](const Entry& entry, std::uint32_t id) { return entry.first < id; });
    }
    auto lowerBound(std::uint32_t streamId) {
        return std::lower_bound(
            entries_.begin(), entries_.end(), streamId,
            [](const Entry& entry, std::uint32_t id) { return entry.first < id; });
    }

    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
};

// Meters by number: one slot per 16-bit number, so the values of a packet find their meters by
// index. A packet names a meter by a signed 16-bit number, the status lines by an integer; numbers
// outside -32768..32767 can never be named by a packet and are not filed.
class VitaMeterRoutes {
public:
    void insert(int meterNumber, std::shared_ptr<VitaManagerMeterUpdate> meter) {
        if (!fitsPacket(meterNumber)) {
            return;
        }
        const std::size_t slot = slotOf(static_cast<std::int16_t>(meterNumber));
        std::lock_guard lock(mutex_);
        if (slots_.size() <= slot) {
            slots_.resize(slot + 1);
        }
        slots_[slot] = std::move(meter);
    }
    void erase(int meterNumber) {
        if (!fitsPacket(meterNumber)) {
            return;
        }
        const std::size_t slot = slotOf(static_cast<std::int16_t>(meterNumber));
        std::lock_guard lock(mutex_);
        if (slot < slots_.size()) {
            slots_[slot] = nullptr;
        }
    }
    // Calls `visit(find)` while the table stays locked; `find(number)` gives the meter filed under
    // a packet's number, or nullptr.
    template <class Visit>
    void visit(Visit&& visitor) const {
        std::lock_guard lock(mutex_);
        visitor([this](std::int16_t number) -> const std::shared_ptr<VitaManagerMeterUpdate>* {
            const std::size_t slot = slotOf(number);
            return slot < slots_.size() && slots_[slot] ? &slots_[slot] : nullptr;
        });
    }

private:
    static bool fitsPacket(int number) { return number >= INT16_MIN && number <= INT16_MAX; }
    static std::size_t slotOf(std::int16_t number) { return static_cast<std::uint16_t>(number); }

    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<VitaManagerMeterUpdate>> slots_;
};

// One table per kind of stream. The session owns them and hands them to its stream manager.
struct VitaStreamTables {
    VitaMeterRoutes meters;
    VitaStreamRoutes<VitaStreamHandler> panafalls;
    VitaStreamRoutes<VitaStreamHandler> waterfalls;
    VitaStreamRoutes<VitaStreamHandler> opusAudioStreamHandlers;
    VitaStreamRoutes<VitaStreamHandler> remoteAudioStreamHandlers;
    VitaStreamRoutes<VitaStreamHandler> daxAudioStreamToStreamHandler;
};

}  // namespace vm
