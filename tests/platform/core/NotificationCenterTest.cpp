#include "platform/core/NotificationCenter.h"

#include <gtest/gtest.h>

#include <thread>

namespace vm {
namespace {

TEST(NotificationCenter, DeliversByNameAndObjectOnThePostersThread) {
    NotificationCenter center;
    auto slice = std::make_shared<int>(0);
    auto other = std::make_shared<int>(1);
    std::vector<std::string> seen;
    std::thread::id thread;
    center.addObserver("SliceCreated", [&](const Notification& n) {
        seen.push_back(n.name);
        thread = std::this_thread::get_id();
    });
    int forSliceOnly = 0;
    center.addObserver("SliceCreated", slice.get(), nullptr, [&](const Notification& n) {
        EXPECT_EQ(n.object, slice);
        EXPECT_EQ(std::any_cast<int>(n.userInfo.at("result")), 1);
        ++forSliceOnly;
    });
    center.post("SliceCreated", slice, {{"result", 1}});
    center.post("SliceCreated", other, {{"result", 1}});
    center.post("SliceDeleted", slice);
    EXPECT_EQ(seen, (std::vector<std::string>{"SliceCreated", "SliceCreated"}));
    EXPECT_EQ(forSliceOnly, 1);
    EXPECT_EQ(thread, std::this_thread::get_id());
}

TEST(NotificationCenter, RemovalIsIdempotentAndStopsQueuedDeliveries) {
    NotificationCenter center;
    int calls = 0;
    auto token = center.addObserver("PanafallCreated", nullptr, DispatchQueue::main(),
                                    [&](const Notification&) { ++calls; });
    center.post("PanafallCreated");
    EXPECT_EQ(calls, 0);  // delivered on the queue, not here
    runMainUntil([&] { return calls == 1; });
    EXPECT_EQ(calls, 1);

    center.post("PanafallCreated");
    center.removeObserver(token);  // before the queued delivery runs
    center.removeObserver(token);
    center.removeObserver(12345);
    DispatchQueue::drainMain();
    EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace vm
