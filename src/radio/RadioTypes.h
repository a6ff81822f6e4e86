#pragma once
// Value types of the radio's state and the collections of the objects a radio owns.
//
// A number holds either a flag (0 or 1) or an integer, a text the radio's word as read; both are
// empty until their first writer runs, and observers accept that. The objects' properties add
// wider integers, true flags, floats and lists, also empty until first stored.
#include "platform/core/Guarded.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

namespace vm {

using Number = std::optional<int>;
using Text = std::optional<std::string>;
using TextList = std::vector<std::string>;
using Integer = std::optional<std::int64_t>;
using Flag = std::optional<bool>;
using Float = std::optional<float>;
using List = std::optional<TextList>;

// The objects the radio's status lines bring into being; each is built in a library above
// this one.
class Slice;
class Equalizer;
class Meter;
class Panafall;
class Waterfall;
class DAXAudio;
class OpusAudio;
class RemoteAudio;
class Xvtr;
class TNF;
class Client;
class PanSpotObject;
class Cwx;
class Amplifier;
class USBCable;
class VitaManager;
class Radio;

constexpr std::size_t kSliceSlots = 8;
constexpr std::size_t kEqualizerSlots = 2;  // 0 receive, 1 transmit

template <class T>
using ObjectsById = Guarded<std::map<std::string, std::shared_ptr<T>, std::less<>>>;
template <class T>
using ObjectList = Guarded<std::vector<std::shared_ptr<T>>>;
// Slots indexed by slice number; an empty slot holds no slice.
using SliceSlots = Guarded<std::array<std::shared_ptr<Slice>, kSliceSlots>>;
using EqualizerSlots = Guarded<std::array<std::shared_ptr<Equalizer>, kEqualizerSlots>>;

// A lock with a name, for waits that give up after a while.
struct NamedLock {
    explicit NamedLock(std::string lockName) : name(std::move(lockName)) {}
    // Takes the lock if it comes free within `wait`: true when it is held (the caller unlocks).
    // It retries every millisecond rather than blocking in a timed lock, whose wait the thread
    // sanitizer cannot follow.
    bool tryLockFor(std::chrono::milliseconds wait) {
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (!mutex.try_lock()) {
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }
    const std::string name;
    std::timed_mutex mutex;
};
// Spots from spot status lines; read and changed only while holding `radio_spots_lock`.
using SpotList = std::vector<std::shared_ptr<PanSpotObject>>;

// Who waits for the reply with a given sequence number (decimal text): another object, or one of
// the Radio's own reply callbacks.
using ResponseCallback = void (Radio::*)(const std::string& response);
class RadioDelegate;
using NotifyList = Guarded<std::unordered_map<std::string, std::weak_ptr<RadioDelegate>>>;
using ResponseCallbacks = Guarded<std::unordered_map<std::string, ResponseCallback>>;

}  // namespace vm
