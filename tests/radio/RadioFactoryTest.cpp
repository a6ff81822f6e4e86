// Discovery on loopback: the simulated radio announces itself to the listener's port; records
// are added, refreshed, replaced and aged out with the dispatch clock moved forward.
#include "platform/core/DispatchClock.h"
#include "platform/core/NotificationCenter.h"
#include "radio/RadioFactory.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"
#include "support/sim/SimRadio.h"

#include "RadioTestSupport.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vm {
namespace {

using namespace std::chrono_literals;
using test::LogCapture;
using test::waitFor;

class Discovery : public ::testing::Test {
protected:
    void SetUp() override {
        token = NotificationCenter::defaultCenter().addObserver(
            kAvailableRadioListChanged, [this](const Notification& n) {
                EXPECT_TRUE(isMainThread());
                notified.push_back(std::static_pointer_cast<RadioInstance>(n.object));
            });
        factory = RadioFactory::create(0);
        ASSERT_TRUE(factory);
        sim = sim::SimRadio::start();
        ASSERT_TRUE(sim);
        to = {"127.0.0.1", factory->localPort()};
    }
    void TearDown() override { NotificationCenter::defaultCenter().removeObserver(token); }

    NotificationCenter::Token token = 0;
    std::vector<std::shared_ptr<RadioInstance>> notified;  // main thread only
    std::shared_ptr<RadioFactory> factory;
    std::unique_ptr<sim::SimRadio> sim;
    sim::Endpoint to;
};

TEST_F(Discovery, AnnouncementAddsRefreshesReplacesAndAgesOut) {
    LogCapture capture;
    ASSERT_TRUE(sim->announce(to));
    ASSERT_TRUE(waitFor([&] { return notified.size() == 1; }));
    auto records = factory->availableRadioInstances();
    ASSERT_EQ(records.size(), 1u);
    const auto record = records.front();
    EXPECT_EQ(notified.front(), record);
    EXPECT_EQ(record->serialNum, sim->identity().serial);
    EXPECT_EQ(record->name, sim->identity().nickname);
    EXPECT_EQ(record->ipAddress, "127.0.0.1");
    EXPECT_EQ(record->port, sim->commandPort());
    EXPECT_TRUE(record->supportsV3_API);
    EXPECT_TRUE(capture.contains("RadioFactory:radioFound:Radio added:[SimRadio] key(s/n):[" +
                                 sim->identity().serial + "]"));

    // The same announcement, with only free counts changed: the stored record stays, its time
    // moves.
    DispatchClock::advance(3s);
    auto fields = sim->discoveryFields();
    sim::setField(fields, "available_slices", "1");
    ASSERT_TRUE(sim->announce(to, fields));
    ASSERT_TRUE(
        waitFor([&] { return record->lastSeen && DispatchClock::now() - *record->lastSeen < 1s; }));
    test::mainQueueBarrier();
    EXPECT_EQ(notified.size(), 1u);
    EXPECT_EQ(factory->availableRadioInstances().front(), record);
    EXPECT_EQ(record->availableSlices, 4);

    // Another status replaces the record.
    sim::setField(fields, "status", "In_Use");
    ASSERT_TRUE(sim->announce(to, fields));
    ASSERT_TRUE(waitFor([&] { return notified.size() == 2; }));
    EXPECT_NE(notified.back(), record);
    EXPECT_EQ(notified.back()->status, "In_Use");
    EXPECT_EQ(factory->availableRadioInstances(),
              std::vector<std::shared_ptr<RadioInstance>>{notified.back()});
    EXPECT_TRUE(capture.contains("RadioFactory:radioFound:Radio updated:[SimRadio]"));

    // Silence: a warning after 5 s, removal after 30 s, with one notification without a record.
    DispatchClock::advance(6s);
    ASSERT_TRUE(waitFor([&] {
        return capture.contains("RadioFactory:radioTimeoutCheck:Warning: SimRadio last seen 6.");
    }));
    EXPECT_EQ(factory->availableRadioInstances().size(), 1u);
    DispatchClock::advance(25s);
    ASSERT_TRUE(waitFor([&] { return notified.size() == 3; }));
    EXPECT_EQ(notified.back(), nullptr);
    EXPECT_TRUE(factory->availableRadioInstances().empty());
    EXPECT_TRUE(capture.contains("RadioFactory:radioTimeoutCheck:Timeout: SimRadio last seen 31."));
    EXPECT_TRUE(capture.contains("seconds ago, removed from discoveredRadios"));

    // Heard again: added afresh.
    ASSERT_TRUE(sim->announce(to));
    ASSERT_TRUE(waitFor([&] { return notified.size() == 4; }));
    EXPECT_EQ(notified.back()->status, "Available");
}

TEST_F(Discovery, LegacyAnnouncementTakesTheSendersAddress) {
    ASSERT_TRUE(sim->announceLegacy(to));
    ASSERT_TRUE(waitFor([&] { return notified.size() == 1; }));
    const auto record = notified.front();
    EXPECT_EQ(record->ipAddress, "127.0.0.1");
    EXPECT_EQ(record->port, 4992);
    EXPECT_EQ(record->serialNum, sim->identity().serial);
    EXPECT_EQ(record->model, sim->identity().model);

    // The legacy form carries no status: heard again, it is the same radio, not a changed one.
    ASSERT_TRUE(sim->announceLegacy(to));
    ASSERT_TRUE(sim->announceLegacy(to));
    ASSERT_TRUE(waitFor([&] { return record->lastSeen != std::nullopt; }));
    const auto firstSeen = *record->lastSeen;
    DispatchClock::advance(1s);
    ASSERT_TRUE(sim->announceLegacy(to));
    ASSERT_TRUE(waitFor([&] { return *record->lastSeen > firstSeen; }));
    test::mainQueueBarrier();
    EXPECT_EQ(notified.size(), 1u);
    EXPECT_EQ(factory->availableRadioInstances().front(), record);
}

TEST_F(Discovery, AnnouncementWithoutSerialNumberIsDropped) {
    LogCapture capture;
    auto fields = sim->discoveryFields();
    sim::setField(fields, "serial", "");
    ASSERT_TRUE(sim->announce(to, fields));
    ASSERT_TRUE(waitFor([&] {
        return capture.contains(
            "RadioFactory:radioFound:Radio:name:[SimRadio] is missing serial number!");
    }));
    test::mainQueueBarrier();
    EXPECT_TRUE(notified.empty());
    EXPECT_TRUE(factory->availableRadioInstances().empty());
}

TEST_F(Discovery, ListenersShareThePortButAPortHeldElsewhereFails) {
    const auto second = RadioFactory::create(factory->localPort());
    ASSERT_TRUE(second) << "several clients on one machine hear the broadcasts";

    const int holder = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(holder, reinterpret_cast<const ::sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(holder, reinterpret_cast<::sockaddr*>(&address), &length);
    LogCapture capture;
    EXPECT_FALSE(RadioFactory::create(ntohs(address.sin_port)));
    EXPECT_TRUE(capture.contains("Error binding: "));
    ::close(holder);
}

}  // namespace
}  // namespace vm
