#pragma once
// List operations: pruning by text length or by age, an unbiased shuffle, and set-like adding and
// removing of strings. None of them locks; see LockedArray for a list shared between threads.
#include <algorithm>
#include <cstddef>
#include <random>
#include <string>
#include <vector>

namespace vm::arrays {

// Removes every text shorter than `length` UTF-16 code units.
std::vector<std::string>& removeLinesShorterThan(std::vector<std::string>& lines,
                                                 std::size_t length);

// When more than `count` elements are held, removes every element equal to one of the oldest
// (size - count) elements, wherever it stands.
template <class T>
void removeOldestAfterCount(std::vector<T>& items, std::size_t count) {
    if (items.size() <= count) {
        return;
    }
    const std::vector<T> oldest(items.begin(), items.end() - static_cast<std::ptrdiff_t>(count));
    std::erase_if(items, [&](const T& item) {
        return std::find(oldest.begin(), oldest.end(), item) != oldest.end();
    });
}

// Fisher-Yates shuffle in place with an unbiased bounded random choice.
template <class T>
std::vector<T>& randomizedSort(std::vector<T>& items) {
    thread_local std::mt19937_64 engine{std::random_device{}()};
    for (std::size_t i = items.size(); i > 1; --i) {
        std::uniform_int_distribution<std::size_t> pick(0, i - 1);
        std::swap(items[i - 1], items[pick(engine)]);
    }
    return items;
}

void addStringIfNeeded(std::vector<std::string>& items, const std::string& s);
void removeStringIfPresent(std::vector<std::string>& items, const std::string& s);

}  // namespace vm::arrays
