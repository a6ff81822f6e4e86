#include "radio/FilterTable.h"

#include <utility>

namespace vm {

namespace {

struct Edges {
    const char* label;
    int lo;
    int hi;
};

// The upper-sideband widths: receive from 100 Hz up to the high edge.
constexpr Edges kUpperSideband[] = {
    {"1 KHz", 100, 1100},   {"1.5 KHz", 100, 1600}, {"1.8 KHz", 100, 1900}, {"2 KHz", 100, 2100},
    {"2.2 KHz", 100, 2300}, {"2.4 KHz", 100, 2500}, {"2.7 KHz", 100, 2800}, {"2.9 KHz", 100, 3000},
};

constexpr int kVoiceTxLo = 100;
constexpr int kVoiceTxHi = 2800;

void add(FilterTable& table, const char* mode, int txLo, int txHi, const Edges& e) {
    table[mode].emplace_back(e.label, mode, txLo, txHi, e.lo, e.hi);
}

FilterTable build() {
    FilterTable table;
    constexpr Edges cw[] = {
        {"10 Hz", -5, 5},      {"24 Hz", -12, 12},    {"50 Hz", -25, 25},    {"100 Hz", -50, 50},
        {"250 Hz", -125, 125}, {"400 Hz", -200, 200}, {"500 Hz", -250, 250}, {"1 KHz", -500, 500},
    };
    for (const auto& e : cw) {
        add(table, "CW", 0, 0, e);
    }
    for (const auto& e : kUpperSideband) {
        add(table, "USB", kVoiceTxLo, kVoiceTxHi, e);
        add(table, "LSB", kVoiceTxLo, kVoiceTxHi, {e.label, -e.hi, -e.lo});
    }
    // DIGU: the first seven USB widths, then a 2.8 KHz filter (its edges follow its label).
    for (std::size_t i = 0; i < 7; ++i) {
        add(table, "DIGU", kVoiceTxLo, kVoiceTxHi, kUpperSideband[i]);
    }
    add(table, "DIGU", kVoiceTxLo, kVoiceTxHi, {"2.8 KHz", 100, 2900});
    constexpr Edges digl[] = {
        {"270 Hz", -2345, -2075}, {"300 Hz", -2360, -2060},  {"500 Hz", -2460, -1960},
        {"1 KHz", -2710, -1710},  {"1.2 KHz", -2810, -1610},
    };
    for (const auto& e : digl) {
        add(table, "DIGL", kVoiceTxLo, kVoiceTxHi, e);
    }
    // AM and SAM: transmit from 1 Hz to half the width, receive symmetric about the carrier.
    constexpr std::pair<const char*, int> am[] = {
        {"5 KHz", 2500},  {"6 KHz", 3000},  {"8 KHz", 4000},  {"10 KHz", 5000},
        {"12 KHz", 6000}, {"14 KHz", 7000}, {"16 KHz", 8000}, {"20 KHz", 10000},
    };
    for (const char* mode : {"AM", "SAM"}) {
        for (const auto& [label, half] : am) {
            add(table, mode, 1, half, {label, -half, half});
        }
    }
    return table;
}

}  // namespace

const FilterTable& stockFilterTable() {
    static const FilterTable table = build();
    return table;
}

}  // namespace vm
