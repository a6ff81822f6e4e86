#include "util/ArrayAdditions.h"
#include "util/LockedArray.h"

#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

namespace vm {
namespace {

using V = std::vector<std::string>;

TEST(ArrayAdditionsTest, RemoveLinesShorterThan) {
    V lines{"abc", "", "ab", "\xF0\x9D\x84\x9E", "a"};  // the clef counts two code units
    EXPECT_EQ(arrays::removeLinesShorterThan(lines, 2), (V{"abc", "ab", "\xF0\x9D\x84\x9E"}));
    V none;
    EXPECT_TRUE(arrays::removeLinesShorterThan(none, 5).empty());
}

TEST(ArrayAdditionsTest, RemoveOldestAfterCount) {
    V items{"a", "b", "c", "d", "e"};
    arrays::removeOldestAfterCount(items, 2);
    EXPECT_EQ(items, (V{"d", "e"}));

    V repeated{"a", "b", "c", "a", "e"};  // a copy of an old element among the newest goes too
    arrays::removeOldestAfterCount(repeated, 2);
    EXPECT_EQ(repeated, (V{"e"}));

    V few{"a", "b"};
    arrays::removeOldestAfterCount(few, 2);
    EXPECT_EQ(few, (V{"a", "b"}));
}

TEST(ArrayAdditionsTest, RandomizedSortKeepsEveryElementOnce) {
    std::vector<int> items(100);
    for (int i = 0; i < 100; ++i)
        items[static_cast<std::size_t>(i)] = i;
    auto shuffled = items;
    arrays::randomizedSort(shuffled);
    EXPECT_EQ(std::multiset<int>(shuffled.begin(), shuffled.end()),
              std::multiset<int>(items.begin(), items.end()));
    EXPECT_NE(shuffled, items);  // 1 in 100! to fail

    // Every element reaches every place: the first of three lands in each of the three places.
    std::set<int> firstPlaces;
    for (int run = 0; run < 200 && firstPlaces.size() < 3; ++run) {
        std::vector<int> three{0, 1, 2};
        arrays::randomizedSort(three);
        firstPlaces.insert(
            static_cast<int>(std::find(three.begin(), three.end(), 0) - three.begin()));
    }
    EXPECT_EQ(firstPlaces.size(), 3u);
    std::vector<int> one{7};
    EXPECT_EQ(arrays::randomizedSort(one), std::vector<int>{7});
}

TEST(ArrayAdditionsTest, AddAndRemoveStrings) {
    test::LogCapture logs;
    V items{"a"};
    arrays::addStringIfNeeded(items, "a");
    arrays::addStringIfNeeded(items, "b");
    EXPECT_EQ(items, (V{"a", "b"}));
    EXPECT_TRUE(logs.lines().empty());  // a present string is not added and not logged
    arrays::addStringIfNeeded(items, "");
    EXPECT_EQ(logs.lines(), V{"addStringIfNeeded:null string"});

    items = {"a", "b", "a"};
    arrays::removeStringIfPresent(items, "a");
    arrays::removeStringIfPresent(items, "z");
    arrays::removeStringIfPresent(items, "");
    EXPECT_EQ(items, V{"b"});
    EXPECT_EQ(logs.lines(),
              (V{"addStringIfNeeded:null string", "removeStringIfPresent:[a] removed",
                 "removeStringIfPresent:[z] not found", "stringToRemove:null string"}));
}

TEST(LockedArrayTest, QueueAndStackOrder) {
    LockedArray<std::string> list;
    EXPECT_EQ(list.queuePop(), std::nullopt);
    EXPECT_EQ(list.stackPop(), std::nullopt);
    EXPECT_EQ(list.size(), 0u);
    list.queuePush("A");
    list.stackPush("B");
    list.queuePush("C");
    EXPECT_EQ(list.queuePop(), "A");
    EXPECT_EQ(list.stackPop(), "C");
    EXPECT_EQ(list.size(), 1u);
}

TEST(LockedArrayTest, ConcurrentPopsHandOutEachElementOnce) {
    LockedArray<int> list;
    constexpr int kCount = 20000;
    std::atomic<long long> sum{0};
    std::atomic<int> popped{0};
    std::thread producer([&] {
        for (int i = 1; i <= kCount; ++i)
            list.queuePush(i);
    });
    std::vector<std::thread> consumers;
    for (int t = 0; t < 4; ++t) {
        consumers.emplace_back([&, t] {
            while (popped.load() < kCount) {
                auto v = (t % 2) ? list.queuePop() : list.stackPop();
                if (v) {
                    sum += *v;
                    ++popped;
                }
            }
        });
    }
    producer.join();
    for (auto& c : consumers)
        c.join();
    EXPECT_EQ(popped.load(), kCount);
    EXPECT_EQ(sum.load(), static_cast<long long>(kCount) * (kCount + 1) / 2);
    EXPECT_EQ(list.size(), 0u);
}

}  // namespace
}  // namespace vm
