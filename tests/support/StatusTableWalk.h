#pragma once
// The walk over an object's status table: each row's key is written once (looking it up finds its
// own row) and a line with only that key reaches the row's property (one announcement, under the
// property's own name) and nothing else; a row without a property changes nothing. Every reader
// takes "1" as a value.
#include "platform/core/Observable.h"
#include "radio/StatusTable.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vm::test {

template <class Object>
void walkStatusTable(const StatusTable<Object>& table,
                     const std::function<std::shared_ptr<Object>()>& make) {
    ASSERT_FALSE(table.rows().empty());
    for (const StatusRow<Object>& row : table.rows()) {
        const std::string key(row.key());
        SCOPED_TRACE(key);
        EXPECT_EQ(table.find(key), &row) << "the key is written twice";

        const std::shared_ptr<Object> object = make();
        std::mutex mutex;
        std::vector<std::string> announced;
        for (const std::string& name : object->propertyNames()) {
            object->addObserver(name, [&](const Change& change) {
                std::lock_guard lock(mutex);
                announced.push_back(change.keyPath);
            });
        }
        LogCapture capture;
        Scanner scan(key + "=1");
        table.read(*object, scan);
        EXPECT_TRUE(scan.isAtEnd());
        mainQueueBarrier();

        const ObservedProperty* property = row.property(*object);
        std::lock_guard lock(mutex);
        EXPECT_EQ(announced, property ? std::vector<std::string>{property->key()}
                                      : std::vector<std::string>{});
        auto logged = capture.lines();
        std::erase(logged, "Radio:dealloc completed");  // sessions of earlier rows going away
        EXPECT_EQ(logged, std::vector<std::string>{});
    }
}

}  // namespace vm::test
