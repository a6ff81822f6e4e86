// The radio's small records on a session without a connection: GUI clients, transverters, notch
// filters, the USB cable and memories, read from their status lines on the session's queue, with
// the main queue drained by the test; the transverter lookups; profile commands that cannot be
// sent.
#include "platform/core/NotificationCenter.h"
#include "radio/Client.h"
#include "radio/Radio.h"
#include "radio/RadioRecordTables.h"
#include "radio/TNF.h"
#include "radio/USBCable.h"
#include "radio/Xvtr.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"

#include "RadioTestSupport.h"

#include <gtest/gtest.h>

#include <any>
#include <string>
#include <vector>

namespace vm {
namespace {

using test::LogCapture;
using test::NotificationRecorder;

class RadioRecords : public ::testing::Test {
protected:
    void SetUp() override { radio = makeRadio(false); }
    static std::shared_ptr<Radio> makeRadio(bool multiClient, int logLevel = 0) {
        auto instance = std::make_shared<RadioInstance>();
        instance->name = "Shack";
        instance->supportsMultiDoro = multiClient;
        return Radio::createDetached(instance, {}, "velmoraSDR", logLevel);
    }
    // Parses the line on the session's queue and lets the main queue run what it queued.
    void apply(const std::string& line) {
        radio->radioRunQueue()->sync([&] { radio->parseRadioStream(line); });
        test::mainQueueBarrier();
    }
    auto clients() const { return test::contents(radio->guiClients()); }
    auto xvtrs() const { return test::contents(radio->xvtrs()); }
    auto tnfs() const { return test::contents(radio->tnfs()); }
    std::vector<std::string> keys() const {
        std::vector<std::string> out;
        for (const auto& x : xvtrs()) {
            out.push_back(x->key.value_or("-"));
        }
        return out;
    }

    std::shared_ptr<Radio> radio;
};

TEST(RadioRecordTables, EveryKeyFindsItsOwnRow) {
    const auto check = [](const auto& table) {
        for (const auto& row : table.rows()) {
            EXPECT_EQ(table.find(row.key), &row) << row.key;
        }
    };
    check(clientRecordTable());
    check(xvtrRecordTable());
    check(tnfRecordTable());
    check(usbCableRecordTable());
    check(memoryRecordTable());
    const auto radio = Radio::createDetached(nullptr, {}, "velmoraSDR", 0);
    EXPECT_EQ(radio->clientTokens()->lookup("station"), 7);
    EXPECT_EQ(radio->statusXvtrTokens()->lookup("in_use"), 12);
}

TEST_F(RadioRecords, ClientLinesKeepTheListOfConnectedClients) {
    LogCapture capture;
    apply(
        "S1|client 0x1A2B3C4D connected client_id=ABC program=velmoraSDR station=Shack "
        "local_ptt=1 forced=0 bogus=7");
    apply("S1|client 0x55667788 connected program=Logger station=Desk wan_validation_failed=T");
    ASSERT_EQ(clients().size(), 2u);
    const auto first = clients()[0];
    EXPECT_EQ(first->clientHandle, "0x1A2B3C4D");
    EXPECT_EQ(first->clientStatus, "connected");
    EXPECT_EQ(first->clientId, "ABC");
    EXPECT_EQ(first->program, "velmoraSDR");
    EXPECT_EQ(first->station, "Shack");
    EXPECT_TRUE(first->localPtt);
    EXPECT_FALSE(first->forced);
    EXPECT_TRUE(clients()[1]->wanValidationFailed);

    // A second "connected" line replaces the record in its place; the old record keeps its values.
    apply("S1|client 0x1A2B3C4D connected station=Tower");
    ASSERT_EQ(clients().size(), 2u);
    EXPECT_NE(clients()[0], first);
    EXPECT_EQ(clients()[0]->station, "Tower");
    EXPECT_EQ(first->station, "Shack");
    Client wanted;
    wanted.clientHandle = "0x55667788";
    EXPECT_EQ(radio->findGuiClientByClientHandle(wanted), clients()[1]);

    apply("S1|client 0x1A2B3C4D disconnected");
    apply("S1|client 0x99999999 disconnected");
    apply("S1|client 0x55667788 reconnecting");
    apply("S1|client");
    apply("S1|client 0x55667788");
    ASSERT_EQ(clients().size(), 1u);
    EXPECT_EQ(clients()[0]->clientHandle, "0x55667788");
    EXPECT_EQ(test::loggedLines(capture),
              (std::vector<std::string>{
                  "Radio:parseClientToken:Unrecognized token:[bogus] stringVal:[7]",
                  "parseClientToken:adding client 0x1A2B3C4D",
                  "parseClientToken:adding client 0x55667788",
                  "parseClientToken:removing disconnected client 0x1A2B3C4D",
                  "parseClientToken:disconnected client 0x99999999",
                  "parseClientToken:clientStatusToken:         [reconnecting] ???",
                  "parseClientToken:no client handle",
                  "parseClientToken:no client status",
              }));
}

TEST_F(RadioRecords, TheClientListChangeIsPostedOnTheSessionsQueueOnlyForMultiClientRadios) {
    for (const bool multiClient : {true, false}) {
        radio = makeRadio(multiClient);
        std::vector<bool> onSessionQueue;
        const auto token = NotificationCenter::defaultCenter().addObserver(
            "com.velmorasoftware.doro.available_client_list_changed", radio.get(), nullptr,
            [&](const Notification& note) {
                EXPECT_EQ(note.object, radio);
                onSessionQueue.push_back(radio->radioRunQueue()->isCurrent());
            });
        apply("S1|client 0x1A2B3C4D connected station=Shack");
        apply("S1|client 0x1A2B3C4D disconnected");
        NotificationCenter::defaultCenter().removeObserver(token);
        EXPECT_EQ(clients().size(), 0u);
        const std::vector<bool> expected =
            multiClient ? std::vector<bool>{true, true} : std::vector<bool>{};
        EXPECT_EQ(onSessionQueue, expected) << multiClient;
    }
}

TEST_F(RadioRecords, TransverterLinesReplaceAndRemoveTheRecordOfTheirKey) {
    NotificationRecorder notes({"xvtrAdded"});
    LogCapture capture;
    apply(
        "S1|xvtr 0 name=2m rf_freq=144.0 if_freq=28.0 lo_error=0.000150 max_power=10.5 "
        "rx_gain=-2 order=0 rx_only=1 is_valid=T preferred=0 two_meter_int=3 bogus=1");
    apply("S1|xvtr 1 name=70cm rf_freq=432.0 in_use=1");
    ASSERT_EQ(keys(), (std::vector<std::string>{"0", "1"}));
    const auto twoMetres = xvtrs()[0];
    EXPECT_EQ(twoMetres->name, "2m");
    EXPECT_DOUBLE_EQ(*twoMetres->rf_freq, 144.0);
    EXPECT_DOUBLE_EQ(*twoMetres->if_freq, 28.0);
    EXPECT_DOUBLE_EQ(*twoMetres->lo_error, 150.0);
    EXPECT_DOUBLE_EQ(*twoMetres->max_power, 10.5);
    EXPECT_DOUBLE_EQ(*twoMetres->rx_gain, -2.0);
    EXPECT_EQ(twoMetres->rx_only, 1);
    EXPECT_EQ(twoMetres->is_valid, 1);
    EXPECT_EQ(twoMetres->preferred, 0);
    EXPECT_DOUBLE_EQ(*twoMetres->two_meter_int, 3.0);
    EXPECT_EQ(twoMetres->in_use, 1);
    EXPECT_EQ(test::loggedLines(capture),
              std::vector<std::string>{"Radio:parseXvtrToken:Unrecognized token:[bogus]"});

    // Keys compare as integers: "00" replaces "0" (the new record goes to the end).
    apply("S1|xvtr 00 name=2m-new rf_freq=144.5");
    ASSERT_EQ(keys(), (std::vector<std::string>{"1", "00"}));
    EXPECT_EQ(xvtrs()[1]->name, "2m-new");
    apply("S1|xvtr 1 in_use=0");
    EXPECT_EQ(keys(), std::vector<std::string>{"00"});

    const auto seen = notes.seen();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].object, twoMetres);
    const auto removal = std::static_pointer_cast<Xvtr>(seen[3].object);
    EXPECT_EQ(removal->key, "1");
    EXPECT_EQ(removal->in_use, 0);
}

TEST_F(RadioRecords, TransverterLookups) {
    apply("S1|xvtr 0 rf_freq=144.0");
    apply("S1|xvtr 3 rf_freq=432.0");
    EXPECT_EQ(radio->xvtrForKey("03"), xvtrs()[1]);
    EXPECT_EQ(radio->xvtrForKey("abc"), xvtrs()[0]);  // no leading digits: key 0
    EXPECT_EQ(radio->xvtrForKey("7"), nullptr);
    const std::pair<double, const char*> nearest[] = {
        {145.5, "0"}, {200.0, "0"}, {300.0, "3"}, {288.0, "0"}, {1296.0, "3"}};
    for (const auto& [mhz, key] : nearest) {
        ASSERT_TRUE(radio->xvtrForFrequency(mhz)) << mhz;
        EXPECT_EQ(radio->xvtrForFrequency(mhz)->key, key) << mhz;
    }
    EXPECT_EQ(makeRadio(false)->xvtrForFrequency(145.0), nullptr);
}

TEST_F(RadioRecords, ANotchFilterIsOneRecordUpdatedByItsLines) {
    radio->radioRunQueue()->sync([&] { radio->parseRadioStream("H2DE0B1A5"); });
    NotificationRecorder notes({"com.velmorasoftware.doro.tnf_created"});
    apply("S99|tnf 4 freq=14.1 depth=2 width=0.0001 permanent=1");  // another client's
    EXPECT_TRUE(tnfs().empty());

    apply("S2DE0B1A5|tnf 4 freq=14.1 width=0.0001 permanent=1");
    apply("S2DE0B1A5|tnf 4 freq=14.1 depth=3 width=0.0001 permanent=1");
    apply("S2DE0B1A5|tnf 4 freq=14.2");
    ASSERT_EQ(tnfs().size(), 1u);
    const auto tnf = tnfs()[0];
    EXPECT_EQ(tnf->tnf_id, 4);
    EXPECT_DOUBLE_EQ(tnf->frequency, 14.2);
    EXPECT_EQ(tnf->depth, 3);
    EXPECT_DOUBLE_EQ(tnf->width, 0.0001);
    EXPECT_EQ(tnf->permanent, 1);
    ASSERT_EQ(notes.seen().size(), 1u);
    EXPECT_EQ(notes.seen()[0].object, tnf);

    apply("S2DE0B1A5|tnf 5 freq=7.05");
    ASSERT_EQ(tnfs().size(), 2u);
    EXPECT_EQ(tnfs()[1]->depth, 0);  // a new filter without depth
    apply("S2DE0B1A5|tnf 6 freq=7.06");
    apply("S2DE0B1A5|tnf 7 freq=7.07");
    // A removal is any line whose words include "removed"; it never updates or adds a filter.
    LogCapture capture;
    apply("S2DE0B1A5|tnf 4 removed");
    apply("S2DE0B1A5|tnf 6 removed freq=14.3");
    apply("S2DE0B1A5|tnf 7 freq=14.4 removed");
    apply("S2DE0B1A5|tnf 9 removed");
    ASSERT_EQ(tnfs().size(), 1u);
    EXPECT_EQ(tnfs()[0]->tnf_id, 5);
    EXPECT_DOUBLE_EQ(tnfs()[0]->frequency, 7.05);
    EXPECT_EQ(notes.seen().size(), 4u);
    EXPECT_TRUE(capture.lines().empty());
}

TEST_F(RadioRecords, TheUsbCableIsOneRecordWhateverItsHandle) {
    apply("S1|usb_cable 0x11 type=cat enable=1 name=Rig speed=9600 data_bits=8");
    const auto cable = radio->usbCable();
    ASSERT_TRUE(cable);
    apply("S1|usb_cable 0x22 speed=19200 parity=none flow_control=");
    EXPECT_EQ(radio->usbCable(), cable);
    EXPECT_EQ(cable->handle(), "0x22");
    EXPECT_EQ(cable->type(), "cat");
    EXPECT_EQ(cable->name(), "Rig");
    EXPECT_EQ(cable->speed(), "19200");
    EXPECT_EQ(cable->data_bits(), "8");
    EXPECT_EQ(cable->parity(), "none");
    EXPECT_EQ(cable->flow_control(), "");
}

TEST_F(RadioRecords, MemoryLinesAreLoggedAndNotKept) {
    radio = makeRadio(false, 2);
    LogCapture capture;
    apply("S1|memory 7 owner=K1ABC freq=14.250000 repeater=up mode=USB rf_power=50");
    EXPECT_TRUE(
        capture.contains("Radio:parseMemoryStatusToken:number:[7] owner:[K1ABC] "
                         "freq:[14.250000]"));
    EXPECT_TRUE(capture.contains("Radio:parseMemoryStatusToken:Unrecognized token:[rf_power]"));
    EXPECT_FALSE(capture.contains("Unrecognized token:[repeater]"));
}

TEST_F(RadioRecords, AProfileCommandThatCannotBeSentIsAnsweredAsFailed) {
    struct Case {
        std::function<void(Radio&)> call;
        std::string notification;
        std::string command;
    };
    const Case cases[] = {
        {[](Radio& r) { r.setCurrentGlobalProfile("Contest"); }, "RadioGlobalProfileLoaded",
         "profile global load \"Contest\""},
        {[](Radio& r) { r.setCurrentTxProfile("SSB"); }, "RadioTransmitProfileLoaded",
         "profile transmit load \"SSB\""},
        {[](Radio& r) { r.setCurrentMicProfile("Desk"); }, "RadioMicProfileLoaded",
         "profile mic load \"Desk\""},
        {[](Radio& r) { r.cmdSaveGlobalProfile("Contest"); }, "RadioGlobalProfileSaved",
         "profile global save \"Contest\""},
        {[](Radio& r) { r.cmdNewMicProfile("Desk"); }, "RadioMicProfileSaved",
         "profile mic created \"Desk\""},
    };
    for (const Case& c : cases) {
        LogCapture capture;
        std::vector<std::any> results;
        const auto token = NotificationCenter::defaultCenter().addObserver(
            c.notification, radio.get(), nullptr, [&](const Notification& note) {
                EXPECT_TRUE(isMainThread());
                results.push_back(note.userInfo.at("result"));
            });
        c.call(*radio);
        test::queueBarrier(radio->radioRunQueue());
        NotificationCenter::defaultCenter().removeObserver(token);
        ASSERT_EQ(results.size(), 1u) << c.notification;
        EXPECT_EQ(std::any_cast<int>(results[0]), Radio::kProfileNotSent);
        EXPECT_TRUE(capture.contains("Radio:sendProfileCommand:not sent:[" + c.command + "]"));
        EXPECT_TRUE(radio->notifyList()->with([](const auto& table) { return table.empty(); }))
            << "nothing waits for a reply";
    }
}

}  // namespace
}  // namespace vm
