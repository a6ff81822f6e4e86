#pragma once
// Sort descriptors: the keys a table is sorted by, the first one first, each ascending or
// descending. sortUsingDescriptors() sorts a list by them, stably: numbers compare as numbers,
// texts as texts (case-sensitive), and a value that cannot be compared with the other counts as
// equal to it.
#include <QVariant>

#include <algorithm>
#include <string>
#include <vector>

namespace vm {

struct SortDescriptor {
    std::string key;
    bool ascending = true;

    bool operator==(const SortDescriptor&) const = default;
};

// -1, 0 or 1 as `a` sorts before, with or after `b` under one descriptor's direction.
int compareSortValues(const QVariant& a, const QVariant& b, bool ascending);

// `valueForKey(item, key)` gives an item's value for a descriptor's key, as a QVariant.
template <class T, class ValueForKey>
void sortUsingDescriptors(std::vector<T>& items, const std::vector<SortDescriptor>& descriptors,
                          ValueForKey valueForKey) {
    if (descriptors.empty()) {
        return;
    }
    std::stable_sort(items.begin(), items.end(), [&](const T& a, const T& b) {
        for (const SortDescriptor& d : descriptors) {
            const int order =
                compareSortValues(valueForKey(a, d.key), valueForKey(b, d.key), d.ascending);
            if (order != 0) {
                return order < 0;
            }
        }
        return false;
    });
}

}  // namespace vm
