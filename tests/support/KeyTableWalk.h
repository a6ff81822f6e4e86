#pragma once
// The walk over a controller's key table: every row names a property the object declares, no two
// rows name the same key (a second row would silently replace the first), and once bound, the
// announcement of each row's property reaches that row alone, on the main thread.
#include "platform/core/DispatchQueue.h"
#include "util/KeyTable.h"
#include "util/VMKVOManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace vm::test {

template <class Target, class Object>
void walkKeyTable(const KeyTable<Target, Object>& rows, const std::shared_ptr<Object>& object) {
    ASSERT_FALSE(rows.empty());
    std::set<std::string> keys;
    VMKVOManager::Table recorder;
    auto reached = std::make_shared<std::vector<std::string>>();
    for (const auto& row : rows) {
        const std::string key = row.key(*object);
        EXPECT_TRUE(object->declares(key)) << key;
        EXPECT_TRUE(keys.insert(key).second) << key << " has two rows";
        recorder.emplace_back(
            key, [reached, key](const std::shared_ptr<void>&, const std::shared_ptr<Observable>&,
                                const Change* change) {
                if (change) {
                    reached->push_back(key);
                }
            });
    }
    const auto manager = VMKVOManager::create();
    manager->setKvoTargets(recorder);
    const auto target = std::make_shared<int>(0);
    manager->initKVO(object, target);
    for (const auto& row : rows) {
        const std::string key = row.key(*object);
        reached->clear();
        row.property(*object).announce();
        DispatchQueue::drainMain();
        EXPECT_EQ(*reached, std::vector<std::string>{key});
    }
    manager->cancelKVO();
}

}  // namespace vm::test
