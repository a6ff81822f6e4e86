#pragma once
// Which of this client's panadapters is meant: the one that shows a frequency, the one a slice
// sits in, the one with a stream id, and the pan index of a stream id. A panadapter is seen here
// only through its span and stream id (`PanSpan`), so the rules are tested without a radio; the
// lists are the controller's `doroPanafalls` in order of arrival, so every "first" falls to the
// earliest panadapter. Results are indexes into the list.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vm::lookups {

struct PanSpan {
    double center = 0;     // MHz
    double bandwidth = 0;  // MHz
    std::string streamId;  // "0x40000000"
};

// Edges closer than this to a panadapter's border do not count as shown by it.
inline constexpr double kPanEdgeMargin = 0.001;  // MHz

// The first panadapter whose span, less the margin at each edge, holds the frequency; otherwise
// the one whose centre is nearest within 10000 MHz (the earlier one on equal distances).
std::optional<std::size_t> panForFrequency(const std::vector<PanSpan>& pans, double mhz);
// The first panadapter with this stream id; none for an empty id.
std::optional<std::size_t> streamIdToPan(const std::vector<PanSpan>& pans,
                                         const std::string& streamId);
// How far the frequency lies below (negative) or above (positive) the span less its margins;
// 0 inside.
double frequencyOutSidePanadapter(const PanSpan& pan, double mhz);
// "0x40000000" to "0x40000007" give 0 to 7; any other text is logged and gives 0.
int streamToInt(const std::string& streamId);
// Two written forms of one stream id ("0x4000000A", "0x4000000a", "4000000a") are the same id.
bool sameStreamId(const std::string& a, const std::string& b);

}  // namespace vm::lookups
