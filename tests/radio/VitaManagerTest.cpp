// The stream manager against the simulated radio on loopback: routing by class code and stream
// id to test doubles, meter values, malformed packets, the port search, and the DoroLink path
// (registration, pings, transmit).
#include "platform/core/DispatchClock.h"
#include "radio/Radio.h"
#include "radio/VitaManager.h"
#include "support/LogCapture.h"
#include "support/LoopbackPort.h"
#include "support/QueueBarrier.h"
#include "support/sim/SimRadio.h"

#include "RadioTestSupport.h"
#include "VitaTestSupport.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace vm {
namespace {

using namespace std::chrono_literals;
using test::FakeMeter;
using test::FakeStreamHandler;
using test::FakeStreamTables;
using test::LogCapture;
using test::settle;
using test::waitFor;

std::shared_ptr<Radio> radioFor(const std::function<void(RadioInstance&)>& edit) {
    auto instance = std::make_shared<RadioInstance>();
    instance->name = "SimRadio";
    instance->ipAddress = "127.0.0.1";
    instance->fversion = 3.3;
    edit(*instance);
    return Radio::createDetached(instance, {}, "test", 0);
}

std::size_t datagramsStartingWith(const sim::SimRadio& sim, const std::string& prefix) {
    const auto all = sim.datagrams();
    return static_cast<std::size_t>(std::count_if(
        all.begin(), all.end(), [&](const auto& d) { return d.bytes.starts_with(prefix); }));
}

class VitaStreams : public ::testing::Test {
protected:
    void SetUp() override {
        sim = sim::SimRadio::start();
        ASSERT_TRUE(sim);
    }
    // A manager for a radio on the local network, its streams coming from the simulated radio.
    std::shared_ptr<VitaManager> lanManager(bool supportsV3) {
        radio = radioFor([&](RadioInstance& r) { r.supportsV3_API = supportsV3; });
        auto manager = VitaManager::create();
        EXPECT_TRUE(manager->handleRadio(radio));
        manager->setStreamTables(tables.views());
        sim->setStreamDestination({"127.0.0.1", static_cast<std::uint16_t>(manager->vitaPort())});
        return manager;
    }

    std::unique_ptr<sim::SimRadio> sim;
    std::shared_ptr<Radio> radio;
    FakeStreamTables tables;
};

TEST_F(VitaStreams, EachClassCodeReachesTheHandlerOfItsStream) {
    for (const bool v3 : {false, true}) {
        SCOPED_TRACE(v3 ? "V3 radio" : "older radio");
        tables = FakeStreamTables{};
        const auto manager = lanManager(v3);
        const auto queue = manager->vitaRunQueue();
        const std::uint32_t key = 0x40000001;
        const auto pan = FakeStreamTables::add(tables.routes->panafalls, key,
                                               std::make_shared<FakeStreamHandler>(queue));
        const auto waterfall = FakeStreamTables::add(tables.routes->waterfalls, key,
                                                     std::make_shared<FakeStreamHandler>(queue));
        const auto opus = FakeStreamTables::add(tables.routes->opusAudioStreamHandlers, key,
                                                std::make_shared<FakeStreamHandler>(queue));
        const auto remote = FakeStreamTables::add(tables.routes->remoteAudioStreamHandlers, key,
                                                  std::make_shared<FakeStreamHandler>(queue));
        const auto dax = FakeStreamTables::add(tables.routes->daxAudioStreamToStreamHandler, key,
                                               std::make_shared<FakeStreamHandler>(queue));

        sim::FftFrame frame;
        frame.bins = {100, 200, 300};
        ASSERT_TRUE(sim->sendFft(0x40000001, frame));
        ASSERT_TRUE(sim->sendWaterfall(0x40000001, sim::WaterfallTile{}));
        ASSERT_TRUE(sim->sendOpus(0x40000001, "opus-bytes"));
        ASSERT_TRUE(sim->sendDax(0x40000001, "dax-bytes!!!"));
        ASSERT_TRUE(sim->sendOpus(0x40000002, "nobody's"));  // no handler: dropped without a word
        ASSERT_TRUE(sim->sendFft(0x40000001, frame));        // the last one in
        ASSERT_TRUE(waitFor([&] { return pan->count() == 2; }));

        EXPECT_EQ(waterfall->count(), 1u);
        EXPECT_EQ(opus->count(), v3 ? 0u : 1u);
        EXPECT_EQ(dax->count(), v3 ? 0u : 1u);
        EXPECT_EQ(remote->count(), v3 ? 2u : 0u);
        const auto first = pan->packets().front();
        EXPECT_EQ(first.streamId, 0x40000001u);
        EXPECT_EQ(first.classCode, sim::kClassPanFft);
        EXPECT_EQ(first.payload, sim::fftPayload(frame));
        EXPECT_DOUBLE_EQ(first.fversion, 3.3);
        EXPECT_EQ(pan->packets().back().packetCount, (first.packetCount + 4) % 16)
            << "the fifth of its stream";
        const auto audio = (v3 ? remote : opus)->packets().front();
        EXPECT_EQ(audio.payload, "opus-bytes");
    }
}

TEST_F(VitaStreams, MeterValuesReachTheirMetersOnTheMainQueue) {
    const auto manager = lanManager(true);
    const auto one = FakeStreamTables::add(tables.routes->meters, 1, std::make_shared<FakeMeter>());
    const auto three =
        FakeStreamTables::add(tables.routes->meters, 3, std::make_shared<FakeMeter>());
    const auto minusOne =
        FakeStreamTables::add(tables.routes->meters, -1, std::make_shared<FakeMeter>());
    ASSERT_TRUE(sim->sendMeters({{1, 100}, {2, 200}, {3, -12800}}));  // meter 2 is unknown
    ASSERT_TRUE(sim->sendMeters({{0xFFFF, 5}}));
    // A payload with half a pair at its end: only the whole pair is read.
    ASSERT_TRUE(sim->sendStream(sim::kClassMeter, sim::kMeterStreamId,
                                sim::meterPayload({{1, 7}}) + "\x00\x03"));
    ASSERT_TRUE(waitFor([&] { return one->values.size() == 2; }));
    EXPECT_EQ(one->values, (std::vector<int>{100, 7}));
    EXPECT_EQ(three->values, std::vector<int>{-12800});
    EXPECT_EQ(minusOne->values, std::vector<int>{5});
}

// The router reads its own copy of the tables: a change reaches the packet after it, and an owner
// taken out is let go of once the next datagram has been routed.
TEST_F(VitaStreams, TableChangesReachTheNextPacketAndRemovedOwnersAreLetGo) {
    const auto manager = lanManager(true);
    const auto queue = manager->vitaRunQueue();
    const std::uint32_t key = 0x40000001;
    auto first = FakeStreamTables::add(tables.routes->panafalls, key,
                                       std::make_shared<FakeStreamHandler>(queue));
    sim::FftFrame frame;
    frame.bins = {1, 2, 3};
    ASSERT_TRUE(sim->sendFft(key, frame));
    ASSERT_TRUE(waitFor([&] { return first->count() == 1; }));

    const auto second = std::make_shared<FakeStreamHandler>(queue);
    tables.routes->panafalls.insert(key, second);
    const auto waterfall = FakeStreamTables::add(tables.routes->waterfalls, key,
                                                 std::make_shared<FakeStreamHandler>(queue));
    const std::weak_ptr<FakeStreamHandler> replaced = first;
    first.reset();
    EXPECT_FALSE(replaced.expired()) << "the router still holds the table it read last";

    ASSERT_TRUE(sim->sendFft(key, frame));
    ASSERT_TRUE(sim->sendWaterfall(key, sim::WaterfallTile{}));
    ASSERT_TRUE(waitFor([&] { return second->count() == 1 && waterfall->count() == 1; }));
    test::queueBarrier(queue);
    EXPECT_TRUE(replaced.expired());

    tables.routes->panafalls.erase(key);
    ASSERT_TRUE(sim->sendFft(key, frame));
    ASSERT_TRUE(sim->sendWaterfall(key, sim::WaterfallTile{}));  // the last one in
    ASSERT_TRUE(waitFor([&] { return waterfall->count() == 2; }));
    EXPECT_EQ(second->count(), 1u) << "taken out before the packet came";
}

// Values wait for the main queue with the table they were found in: a meter taken out meanwhile
// still gets them, and is let go of afterwards.
TEST_F(VitaStreams, AMeterTakenOutStillGetsTheValuesThatCameBefore) {
    const auto manager = lanManager(true);
    auto meter = FakeStreamTables::add(tables.routes->meters, 4, std::make_shared<FakeMeter>());
    const std::weak_ptr<FakeMeter> weak = meter;
    const std::string values =
        sim::encodeVita(sim::streamHeader(sim::kClassMeter, sim::kMeterStreamId),
                        sim::meterPayload({{4, 40}, {4, 41}}));
    manager->vitaRunQueue()->sync([&] { manager->receiveDatagram(values); });
    tables.routes->meters.erase(4);
    const FakeMeter* held = meter.get();
    meter.reset();
    ASSERT_FALSE(weak.expired());

    test::mainQueueBarrier();
    EXPECT_EQ(held->values, (std::vector<int>{40, 41}));
    manager->vitaRunQueue()->sync([&] { manager->receiveDatagram(values); });
    test::mainQueueBarrier();
    EXPECT_TRUE(weak.expired()) << "the second packet finds no meter 4 and keeps nothing";
}

TEST_F(VitaStreams, MalformedAndForeignPacketsAreDroppedAndLogged) {
    LogCapture capture;
    const auto manager = lanManager(true);
    const auto pan = FakeStreamTables::add(tables.routes->panafalls, 0x40000001,
                                           std::make_shared<FakeStreamHandler>());
    const auto meter =
        FakeStreamTables::add(tables.routes->meters, 1, std::make_shared<FakeMeter>());
    using sim::Malformation;
    for (const Malformation kind : {Malformation::Short, Malformation::TruncatedHeader,
                                    Malformation::LyingLength, Malformation::WrongOui}) {
        ASSERT_TRUE(sim->sendMalformed(kind));
        ASSERT_TRUE(sim->sendMalformed(kind, sim::kClassPanFft, 0x40000001));
    }
    sim::VitaHeader context = sim::streamHeader(sim::kClassPanFft, 0x40000001);
    context.packetType = 4;
    ASSERT_TRUE(sim->sendPacket(context, "context!"));
    sim::VitaHeader daxTx = sim::streamHeader(sim::kClassDaxAudio, 0x40000001);
    daxTx.packetType = 1;
    ASSERT_TRUE(sim->sendPacket(daxTx, "silent"));
    ASSERT_TRUE(sim->sendStream(0x00E3, 0x40000001, "iq"));
    ASSERT_TRUE(sim->sendFft(0x40000001, sim::FftFrame{}));
    ASSERT_TRUE(waitFor([&] { return pan->count() == 1; }));
    // The packets before the last one were read before it.
    test::queueBarrier(manager->vitaRunQueue());
    EXPECT_EQ(pan->count(), 1u);
    EXPECT_TRUE(meter->values.empty());

    const auto lines = capture.lines();
    const auto count = [&](const std::string& text) {
        return std::count_if(lines.begin(), lines.end(),
                             [&](const auto& l) { return l.find(text) != std::string::npos; });
    };
    EXPECT_EQ(count("VitaManager:didReceiveData:data length short:[12]"), 2);
    EXPECT_EQ(count("VitaManager:didReceiveData:not oui:[0]"), 2);  // 24 bytes decode to nothing
    EXPECT_EQ(count("VitaManager:didReceiveData:header does not fit the datagram:"), 2);
    EXPECT_EQ(count("VitaManager:didReceiveData:not oui:[a0b0c0]"), 2);
    EXPECT_EQ(count("VitaManager:udpSuccessfulRegistration: [4 VS_PAN_FFT 32]"), 1);
    EXPECT_EQ(count("VitaManager:udpSuccessfulRegistration:"), 1);
    EXPECT_EQ(count("VitaManager:Unrecognized vita packet:[4] val:[VITA type:4"), 1);
    EXPECT_EQ(count("VitaManager:unrecognized packet:packetClassCode:[227]"), 1);
    EXPECT_EQ(count("silent"), 0);
}

TEST_F(VitaStreams, BusyPortsAreSkippedAndNeverShared) {
    LogCapture capture;
    // Hold 4991 (another test program may hold it for a while instead).
    const int holder = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(VitaManager::kLanStreamPort);
    const bool held =
        ::bind(holder, reinterpret_cast<const ::sockaddr*>(&address), sizeof address) == 0;

    const auto first = lanManager(false);
    const auto second = VitaManager::create();
    ASSERT_TRUE(second->handleRadio(radio));
    EXPECT_NE(first->vitaPort(), second->vitaPort());
    if (held) {
        EXPECT_GT(first->vitaPort(), VitaManager::kLanStreamPort);
        EXPECT_GT(second->vitaPort(), VitaManager::kLanStreamPort);
        EXPECT_TRUE(
            capture.contains("VitaManager:handleRadio:vitaSocket: Error binding to port: 4991, "));
    }
    EXPECT_TRUE(
        capture.contains("VitaManager:handleRadio:vitaSocket bound to host: 127.0.0.1 on port: " +
                         std::to_string(first->vitaPort()) + " "));
    ::close(holder);

    // Room for bursts of several streams, well beyond 64 KiB.
    int size = 0;
    first->vitaSocket()->performBlock([&] {
        socklen_t length = sizeof size;
        ::getsockopt(first->vitaSocket()->socket4FD(), SOL_SOCKET, SO_RCVBUF, &size, &length);
    });
    EXPECT_GT(size, 2 * 65535);
}

TEST_F(VitaStreams, NoPortToBindLeavesTheSessionWithoutStreams) {
    LogCapture capture;
    radio = radioFor([](RadioInstance& r) {
        r.wanRadio = true;
        r.publicIp = "127.0.0.1";
        r.public_udp_port = "65500";
    });
    // All 80 ports from 65500 run into the end of the port range after 36.
    const auto manager = VitaManager::create("127.0.0.1");
    std::vector<int> holders;
    for (int port = 65500; port <= 65535; ++port) {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        ::bind(fd, reinterpret_cast<const ::sockaddr*>(&address), sizeof address);
        holders.push_back(fd);
    }
    EXPECT_FALSE(manager->handleRadio(radio));
    for (const int fd : holders) {
        ::close(fd);
    }
    EXPECT_TRUE(capture.contains("VitaManager:handleRadio:vitaSocket: Unable to find free socket"));
    EXPECT_FALSE(capture.contains("Error binding to port: 0,"));
}

// A DoroLink radio: the simulated radio stands at 127.0.0.2 and the manager binds 127.0.0.1, so
// both can use the same port number, as the radio's public port and the client's local one.
class RemoteStreams : public ::testing::Test {
protected:
    void SetUp() override {
        sim::SimRadioOptions options;
        options.address = "127.0.0.2";
        sim = sim::SimRadio::start(options);
        ASSERT_TRUE(sim);
        radio = radioFor([&](RadioInstance& r) {
            r.wanRadio = true;
            r.publicIp = "127.0.0.2";
            r.public_udp_port = std::to_string(sim->udpPort());
        });
        manager = VitaManager::create("127.0.0.1");
        ASSERT_TRUE(manager->handleRadio(radio));
        ASSERT_EQ(manager->vitaPort(), sim->udpPort());
        manager->setStreamTables(tables.views());
    }

    std::unique_ptr<sim::SimRadio> sim;
    std::shared_ptr<Radio> radio;
    std::shared_ptr<VitaManager> manager;
    FakeStreamTables tables;
    const std::string handle = "0x5A3C1F07";
};

TEST_F(RemoteStreams, RegistersThenPingsAndTransmitsOnceStreamsArrive) {
    const std::string opus =
        sim::encodeVita(sim::streamHeader(sim::kClassOpus, 0x04000008), "encoded audio");
    manager->txStreamPacket(opus);  // before the first packet: dropped
    manager->startVitaPingTimer();
    manager->registerRemoteUdp(handle);
    ASSERT_TRUE(sim->waitForStreamDestination());
    EXPECT_EQ(sim->datagrams().front().bytes, "client udp_register handle=" + handle);
    EXPECT_EQ(*sim->streamDestination(), (sim::Endpoint{"127.0.0.1", sim->udpPort()}));
    DispatchClock::advance(6s);
    settle(50ms);
    EXPECT_EQ(datagramsStartingWith(*sim, "client ping"), 0u) << "no ping before the first packet";

    const auto meter =
        FakeStreamTables::add(tables.routes->meters, 1, std::make_shared<FakeMeter>());
    ASSERT_TRUE(sim->sendMeters({{1, 42}}));
    ASSERT_TRUE(waitFor([&] { return !meter->values.empty(); }));
    EXPECT_TRUE(manager->vitaPacketReceived());
    settle(100ms);
    const std::size_t registrations = datagramsStartingWith(*sim, "client udp_register");
    DispatchClock::advance(1s);
    settle(100ms);
    EXPECT_EQ(datagramsStartingWith(*sim, "client udp_register"), registrations)
        << "registration ended";

    DispatchClock::advance(5s);
    ASSERT_TRUE(
        waitFor([&] { return datagramsStartingWith(*sim, "client ping handle=" + handle) == 1; }));
    manager->txStreamPacket(opus);
    ASSERT_TRUE(waitFor([&] { return datagramsStartingWith(*sim, opus) == 1; }));

    manager->stopVitaPingTimer();
    DispatchClock::advance(5s);
    settle(100ms);
    EXPECT_EQ(datagramsStartingWith(*sim, "client ping"), 1u);

    // The next session starts unregistered.
    const auto next = VitaManager::create("127.0.0.1");
    EXPECT_FALSE(next->vitaPacketReceived());
}

TEST_F(RemoteStreams, RegistrationGivesUpAfterAHundredSends) {
    LogCapture capture;
    manager->registerRemoteUdp(handle);
    for (std::size_t sent = 1; sent <= VitaManager::kRegisterAttempts; ++sent) {
        ASSERT_TRUE(sim->waitForDatagramCount(sent)) << sent;
        DispatchClock::advance(VitaManager::kRegisterInterval);
    }
    ASSERT_TRUE(waitFor([&] { return capture.contains("VitaManager:registerRemoteUDP: failed"); }));
    DispatchClock::advance(1s);
    settle(100ms);
    EXPECT_EQ(sim->datagrams().size(), static_cast<std::size_t>(VitaManager::kRegisterAttempts));
}

// A DoroLink radio's stream path leads to its public address: at the UPnP-mapped port when the
// radio says it supports UPnP, else at the forwarded port. The client binds the same port.
TEST(RemoteStreamPort, UpnpSupportChoosesTheMappedPort) {
    const std::uint16_t forwarded = test::unusedLoopbackPort(SOCK_DGRAM);
    std::uint16_t mapped = forwarded;
    while (mapped == forwarded) {
        mapped = test::unusedLoopbackPort(SOCK_DGRAM);
    }
    for (const std::optional<bool> upnp :
         {std::optional<bool>(), std::optional<bool>(false), std::optional<bool>(true)}) {
        SCOPED_TRACE(upnp ? (*upnp ? "UPnP" : "no UPnP") : "not said");
        const auto radio = radioFor([&](RadioInstance& r) {
            r.wanRadio = true;
            r.publicIp = "127.0.0.2";
            r.public_udp_port = std::to_string(forwarded);
            r.public_upnp_udp_port = std::to_string(mapped);
            r.upnpSupported = upnp;
        });
        const auto manager = VitaManager::create("127.0.0.1");
        ASSERT_TRUE(manager->handleRadio(radio));
        EXPECT_EQ(manager->host(), "127.0.0.2");
        EXPECT_EQ(manager->port(), upnp.value_or(false) ? mapped : forwarded);
        EXPECT_EQ(manager->vitaPort(), manager->port());
    }
}

}  // namespace
}  // namespace vm
