#include "radio/TokenTable.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vm {

namespace {

constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ULL;

std::uint64_t mix(std::uint64_t h, std::uint64_t word) {
    h = (h ^ word) * kMultiplier;
    return h ^ (h >> 29);
}

}  // namespace

TokenTable::TokenTable(std::initializer_list<std::pair<std::string_view, int>> entries) {
    build(entries);
}

TokenTable::TokenTable(const std::vector<std::pair<std::string_view, int>>& entries) {
    build(entries);
}

template <class Entries>
void TokenTable::build(const Entries& entries) {
    std::size_t textSize = 0;
    for (const auto& entry : entries) {
        textSize += entry.first.size();
    }
    text_.reserve(textSize);
    slots_.assign(std::bit_ceil(std::max<std::size_t>(2 * entries.size(), 8)), Slot{});
    mask_ = slots_.size() - 1;
    for (const auto& [key, number] : entries) {
        const std::uint64_t hash = hashOf(key);
        std::size_t at = hash & mask_;
        bool present = false;
        while (slots_[at].used) {
            if (keyOf(slots_[at]) == key) {
                present = true;
                break;
            }
            at = (at + 1) & mask_;
        }
        if (present) {
            continue;
        }
        slots_[at] =
            Slot{static_cast<std::uint32_t>(hash >> 32), static_cast<std::uint32_t>(text_.size()),
                 static_cast<std::uint32_t>(key.size()), number, true};
        text_.append(key);
        ++size_;
    }
}

std::uint64_t TokenTable::hashOf(std::string_view key) {
    const char* p = key.data();
    std::size_t n = key.size();
    std::uint64_t h = n * kMultiplier;
    for (; n >= 8; p += 8, n -= 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, p, 8);
        h = mix(h, word);
    }
    if (n > 0) {
        // The last bytes a byte at a time: a copy of a length known only now is a library call.
        std::uint64_t word = 0;
        for (std::size_t i = 0; i < n; ++i) {
            word |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
        }
        h = mix(h, word);
    }
    return mix(h, 0);
}

int TokenTable::lookup(std::string_view key) const {
    const std::uint64_t hash = hashOf(key);
    const auto tag = static_cast<std::uint32_t>(hash >> 32);
    for (std::size_t at = hash & mask_;; at = (at + 1) & mask_) {
        const Slot& slot = slots_[at];
        if (!slot.used) {
            return 0;
        }
        if (slot.hash == tag && slot.length == key.size() &&
            (key.empty() || std::memcmp(text_.data() + slot.offset, key.data(), key.size()) == 0)) {
            return slot.number;
        }
    }
}

}  // namespace vm
