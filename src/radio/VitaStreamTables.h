#pragma once
// The stream router's tables: who owns each stream, found by number on the packet path. The
// session's objects file themselves here (and take themselves out again) where their status lines
// make and drop them, beside the session's own collections; the router looks them up for every
// packet, with no text keys, no allocation and no lock.
//
// Each table is kept as an immutable snapshot: filing or taking out an owner makes a new one
// under the table's lock and counts a change in the tables' shared counter. The router keeps the
// snapshots it last took and takes new ones when the counter has moved, before it routes the next
// packet; an owner taken out lives on until then. Pre-V3 DAX audio is the exception: its handler
// is called while its table stays locked.
#include "radio/VitaStreamHandler.h"

#include <algorithm>
#include <atomic>
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
    using Entry = std::pair<std::uint32_t, std::shared_ptr<Handler>>;
    using Entries = std::vector<Entry>;

    explicit VitaStreamRoutes(std::atomic<std::uint64_t>& changes) : changes_(changes) {}

    // Files `handler` under `streamId`, replacing the owner filed there before.
    void insert(std::uint32_t streamId, std::shared_ptr<Handler> handler) {
        change([&](Entries& entries) {
            const auto at = lowerBound(entries, streamId);
            if (at != entries.end() && at->first == streamId) {
                at->second = std::move(handler);
            } else {
                entries.emplace(at, streamId, std::move(handler));
            }
        });
    }
    void erase(std::uint32_t streamId) {
        change([&](Entries& entries) {
            const auto at = lowerBound(entries, streamId);
            if (at != entries.end() && at->first == streamId) {
                entries.erase(at);
            }
        });
    }
    void clear() {
        change([](Entries& entries) { entries.clear(); });
    }
    // The owner of the stream, or nullptr.
    std::shared_ptr<Handler> find(std::uint32_t streamId) const {
        std::lock_guard lock(mutex_);
        const auto at = lowerBound(*entries_, streamId);
        return at != entries_->end() && at->first == streamId ? at->second : nullptr;
    }
    // Calls `visit` with the owner (or nullptr) while the table stays locked.
    template <class Visit>
    void visit(std::uint32_t streamId, Visit&& visitor) const {
        std::lock_guard lock(mutex_);
        visitor(find(*entries_, streamId));
    }
    // The owners as they are filed now; later changes do not reach this snapshot.
    std::shared_ptr<const Entries> snapshot() const {
        std::lock_guard lock(mutex_);
        return entries_;
    }
    // The owner of the stream in `entries`, or nullptr.
    static Handler* find(const Entries& entries, std::uint32_t streamId) {
        const auto at = lowerBound(entries, streamId);
        return at != entries.end() && at->first == streamId ? at->second.get() : nullptr;
    }

private:
    template <class Change>
    void change(Change&& edit) {
        std::lock_guard lock(mutex_);
        auto next = std::make_shared<Entries>(*entries_);
        edit(*next);
        entries_ = std::move(next);
        changes_.fetch_add(1, std::memory_order_release);
    }
    template <class List>
    static auto lowerBound(List& entries, std::uint32_t streamId) {
        return std::lower_bound(
            entries.begin(), entries.end(), streamId,
            [](const Entry& entry, std::uint32_t id) { return entry.first < id; });
    }

    std::atomic<std::uint64_t>& changes_;
    mutable std::mutex mutex_;
    std::shared_ptr<const Entries> entries_ = std::make_shared<const Entries>();
};

// Meters by number: one slot per 16-bit number, so the values of a packet find their meters by
// index. A packet names a meter by a signed 16-bit number, the status lines by an integer; numbers
// outside -32768..32767 can never be named by a packet and are not filed. The meter values the
// router sends on to the main queue keep the snapshot they were found in rather than each meter.
class VitaMeterRoutes {
public:
    using Meter = VitaManagerMeterUpdate;
    using Meters = std::vector<std::shared_ptr<Meter>>;

    explicit VitaMeterRoutes(std::atomic<std::uint64_t>& changes) : changes_(changes) {}

    void insert(int meterNumber, std::shared_ptr<Meter> meter) {
        if (!fitsPacket(meterNumber)) {
            return;
        }
        const std::size_t slot = slotOf(static_cast<std::int16_t>(meterNumber));
        std::lock_guard lock(mutex_);
        auto next = std::make_shared<Meters>(*slots_);
        if (next->size() <= slot) {
            next->resize(slot + 1);
        }
        (*next)[slot] = std::move(meter);
        publish(std::move(next));
    }
    void erase(int meterNumber) {
        if (!fitsPacket(meterNumber)) {
            return;
        }
        const std::size_t slot = slotOf(static_cast<std::int16_t>(meterNumber));
        std::lock_guard lock(mutex_);
        if (slot < slots_->size() && (*slots_)[slot]) {
            auto next = std::make_shared<Meters>(*slots_);
            (*next)[slot] = nullptr;
            publish(std::move(next));
        }
    }
    // The slots as they are filed now; later changes do not reach this snapshot.
    std::shared_ptr<const Meters> snapshot() const {
        std::lock_guard lock(mutex_);
        return slots_;
    }
    // The meter filed under a packet's `number` in `meters`, or nullptr.
    static Meter* find(const Meters& meters, std::int16_t number) {
        const std::size_t slot = slotOf(number);
        return slot < meters.size() ? meters[slot].get() : nullptr;
    }

private:
    static bool fitsPacket(int number) { return number >= INT16_MIN && number <= INT16_MAX; }
    static std::size_t slotOf(std::int16_t number) { return static_cast<std::uint16_t>(number); }
    // Under mutex_.
    void publish(std::shared_ptr<const Meters> next) {
        slots_ = std::move(next);
        changes_.fetch_add(1, std::memory_order_release);
    }

    std::atomic<std::uint64_t>& changes_;
    mutable std::mutex mutex_;
    std::shared_ptr<const Meters> slots_ = std::make_shared<const Meters>();
};

// One table per kind of stream. The session owns them and hands them to its stream manager.
struct VitaStreamTables {
    VitaStreamTables() = default;
    VitaStreamTables(const VitaStreamTables&) = delete;
    VitaStreamTables& operator=(const VitaStreamTables&) = delete;

    // Counts every change of any table (the router's cue to take new snapshots).
    std::atomic<std::uint64_t> changes{0};
    VitaMeterRoutes meters{changes};
    VitaStreamRoutes<VitaStreamHandler> panafalls{changes};
    VitaStreamRoutes<VitaStreamHandler> waterfalls{changes};
    VitaStreamRoutes<VitaStreamHandler> opusAudioStreamHandlers{changes};
    VitaStreamRoutes<VitaStreamHandler> remoteAudioStreamHandlers{changes};
    VitaStreamRoutes<VitaStreamHandler> daxAudioStreamToStreamHandler{changes};
};

}  // namespace vm
