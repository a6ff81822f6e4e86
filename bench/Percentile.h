#pragma once
// The p-th percentile (0 < p <= 1) of a set of measurements, the nearest-rank way; 0 for none.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace vm::bench {

inline double percentile(std::vector<double> values, double p) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto index = std::size_t(std::ceil(p * double(values.size()))) - 1;
    return values[std::min(index, values.size() - 1)];
}

}  // namespace vm::bench
