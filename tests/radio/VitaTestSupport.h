#pragma once
// Test doubles of the objects that own streams: a stream handler that records the packets routed
// to it, a meter that records its raw values, and stream tables of them like the session's own.
#include "platform/core/DispatchQueue.h"
#include "radio/VITA.h"
#include "radio/VitaStreamTables.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vm::test {

struct RoutedPacket {
    std::uint32_t streamId = 0;
    std::uint16_t classCode = 0;
    std::uint16_t packetCount = 0;
    std::string payload;
    double fversion = 0;
};

class FakeStreamHandler : public VitaStreamHandler {
public:
    explicit FakeStreamHandler(DispatchQueuePtr expectedQueue = nullptr)
        : queue_(std::move(expectedQueue)) {}
    void streamHandler(const VITA& packet) override {
        if (queue_) {
            EXPECT_TRUE(queue_->isCurrent());
        }
        std::lock_guard lock(mutex_);
        packets_.push_back({packet.streamId, packet.packetClassCode, packet.packetCount,
                            std::string(packet.payload, packet.payloadLength), packet.fversion});
    }
    std::vector<RoutedPacket> packets() const {
        std::lock_guard lock(mutex_);
        return packets_;
    }
    std::size_t count() const { return packets().size(); }

private:
    DispatchQueuePtr queue_;
    mutable std::mutex mutex_;
    std::vector<RoutedPacket> packets_;
};

// Meter values arrive on the main queue, which the tests drain on the main thread.
class FakeMeter : public VitaManagerMeterUpdate {
public:
    void updateMeter(int value) override {
        EXPECT_TRUE(isMainThread());
        values.push_back(value);
    }
    std::vector<int> values;
};

// The session's kind of stream tables, which the tests fill with these doubles.
struct FakeStreamTables {
    std::shared_ptr<VitaStreamTables> routes = std::make_shared<VitaStreamTables>();

    std::shared_ptr<const VitaStreamTables> views() const { return routes; }
    template <class T>
    static std::shared_ptr<T> add(VitaStreamRoutes<VitaStreamHandler>& table,
                                  std::uint32_t streamId, std::shared_ptr<T> object) {
        table.insert(streamId, object);
        return object;
    }
    template <class T>
    static std::shared_ptr<T> add(VitaMeterRoutes& table, int number, std::shared_ptr<T> object) {
        table.insert(number, object);
        return object;
    }
};

}  // namespace vm::test
