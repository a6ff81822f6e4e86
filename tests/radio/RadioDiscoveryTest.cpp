// Discovery datagrams into radio records: the VITA-49 key=value announcement, the legacy fixed
// layout, and the version and name helpers.
#include "radio/RadioDiscovery.h"
#include "radio/RadioVersion.h"
#include "support/LogCapture.h"
#include "support/sim/SimDiscovery.h"
#include "support/sim/SimVita.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using test::LogCapture;

RadioInstance announced(const sim::DiscoveryFields& fields) {
    const auto record = discovery::recordFromDatagram(sim::discoveryPacket(fields), "127.0.0.9");
    EXPECT_TRUE(record);
    return record.value_or(RadioInstance{});
}

TEST(RadioDiscovery, AnnouncementFillsTheRecord) {
    sim::RadioIdentity id;
    auto fields = sim::discoveryFields(id, "127.0.0.1", 4992);
    sim::setField(fields, "gui_client_hosts", "shack-pc,laptop");
    sim::setField(fields, "available_slices", "3");
    const RadioInstance r = announced(fields);
    EXPECT_EQ(r.ipAddress, "127.0.0.1");  // from the key, not from the sender
    EXPECT_EQ(r.port, 4992);
    EXPECT_EQ(r.model, id.model);
    EXPECT_EQ(r.serialNum, id.serial);
    EXPECT_EQ(r.name, id.nickname);
    EXPECT_EQ(r.callsign, id.callsign);
    EXPECT_EQ(r.dpVersion, id.discoveryProtocolVersion);
    EXPECT_DOUBLE_EQ(r.pversion, 3.0);
    EXPECT_EQ(r.version, "3.3.28.0");
    EXPECT_DOUBLE_EQ(r.fversion, 3.3);
    EXPECT_TRUE(r.supportsV3_API && r.supportsMultiDoro && r.supportsNewPan);
    EXPECT_EQ(r.status, "Available");
    EXPECT_EQ(r.max_licensed_version, "v3");
    EXPECT_EQ(r.radio_license_id, "00-00-00-00-00-01");
    EXPECT_EQ(r.requires_additional_license, 0);
    EXPECT_EQ(r.licensedClients, 2);
    EXPECT_EQ(r.availableSlices, 3);
    EXPECT_EQ(r.maxPanadapters, 4);
    EXPECT_EQ(r.guiClientHosts, (std::vector<std::string>{"shack-pc", "laptop"}));
    EXPECT_EQ(r.guiClientIps, std::vector<std::string>{""});
    EXPECT_TRUE(r.lastSeen);
    EXPECT_FALSE(r.wanRadio);
}

TEST(RadioDiscovery, KeysApplyInTheirOrder) {
    struct Case {
        const char* what;
        sim::DiscoveryFields fields;
        std::function<void(const RadioInstance&)> check;
    };
    const Case cases[] = {
        {"empty nickname before the serial number",
         {{"nickname", ""}, {"serial", "0610-1122-6700-4321"}},
         [](const RadioInstance& r) { EXPECT_EQ(r.name, ""); }},
        {"empty nickname after it",
         {{"serial", "0610-1122-6700-4321"}, {"nickname", ""}},
         [](const RadioInstance& r) { EXPECT_EQ(r.name, "6700-4321"); }},
        {"later value wins",
         {{"model", "DORO-6300"}, {"model", "DORO-6500"}},
         [](const RadioInstance& r) { EXPECT_EQ(r.model, "DORO-6500"); }},
        {"no discovery protocol version",
         {{"serial", "1"}},
         [](const RadioInstance& r) { EXPECT_DOUBLE_EQ(r.pversion, 0.0); }},
        {"malformed discovery protocol version",
         {{"discovery_protocol_version", "3.0"}},
         [](const RadioInstance& r) { EXPECT_DOUBLE_EQ(r.pversion, 2.0); }},
        {"minor version 10 reads as 2.1",
         {{"version", "2.10.1.0"}},
         [](const RadioInstance& r) {
             EXPECT_DOUBLE_EQ(r.fversion, 2.1);
             EXPECT_FALSE(r.supportsV3_API);
         }},
        {"3.0 thresholds",
         {{"version", "3.0.0.1"}},
         [](const RadioInstance& r) {
             EXPECT_TRUE(r.supportsV3_API && r.supportsMultiDoro);
             EXPECT_FALSE(r.supportsNewPan);
         }},
        {"capabilities are never withdrawn",
         {{"version", "3.3.1.0"}, {"version", "1.0.0.0"}},
         [](const RadioInstance& r) {
             EXPECT_DOUBLE_EQ(r.fversion, 1.0);
             EXPECT_TRUE(r.supportsNewPan);
         }},
        {"a second '=' drops the rest",
         {{"callsign", "N0CALL=x"}},
         [](const RadioInstance& r) { EXPECT_EQ(r.callsign, "N0CALL"); }},
        {"numbers read their leading digits",
         {{"port", "4992xyz"}, {"max_slices", "abc"}},
         [](const RadioInstance& r) {
             EXPECT_EQ(r.port, 4992);
             EXPECT_EQ(r.maxSlices, 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.check(announced(c.fields));
    }
}

TEST(RadioDiscovery, UnknownKeysAreLoggedAndTokensWithoutValueSkipped) {
    LogCapture capture;
    auto packet = sim::discoveryPacket({{"serial", "1"}, {"colour", "blue"}});
    packet += "  lonely";  // the size field stays; the payload runs to the datagram's end
    const auto record = discovery::recordFromDatagram(packet, "");
    ASSERT_TRUE(record);
    EXPECT_EQ(record->serialNum, "1");
    EXPECT_EQ(capture.lines(),
              std::vector<std::string>{
                  "udpSocket:didReceiveData Unrecognized token:[0] k:[colour] value:[blue]"});
}

TEST(RadioDiscovery, OtherPacketsAreNoAnnouncement) {
    const std::string meter = sim::encodeVita(sim::streamHeader(sim::kClassMeter, 7), "serial=1 ");
    EXPECT_FALSE(discovery::recordFromDatagram(meter, ""));
    EXPECT_FALSE(
        discovery::recordFromDatagram(sim::discoveryPacket({{"serial", "1"}}).substr(0, 27), ""));
    EXPECT_FALSE(discovery::recordFromDatagram("", ""));
}

TEST(RadioDiscovery, LegacyDatagramIsReadWithinItsLength) {
    const std::string full =
        sim::legacyDiscoveryPacket("DORO-6500", "0610-1122-6500-0001", "Shack");
    const auto r = discovery::recordFromDatagram(full, "127.0.0.5");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->ipAddress, "127.0.0.5");
    EXPECT_EQ(r->port, 4992);
    EXPECT_EQ(r->model, "DORO-6500");
    EXPECT_EQ(r->serialNum, "0610-1122-6500-0001");
    EXPECT_EQ(r->name, "Shack");
    EXPECT_FALSE(r->status);

    // No name: derived from the serial number.
    const auto unnamed = discovery::recordFromDatagram(
        sim::legacyDiscoveryPacket("M", "0610-1122-6500-0001", ""), "");
    EXPECT_EQ(unnamed->name, "6500-0001");

    // Cut inside the serial number's slot, with no NUL: the text ends with the datagram.
    const auto cut = discovery::recordFromDatagram(full.substr(0, 60), "");
    EXPECT_EQ(cut->model, "DORO-6500");
    EXPECT_EQ(cut->serialNum, "0610-112");
    EXPECT_EQ(cut->name, "");

    // A model slot filled to its end without NUL stops at the slot, not in the serial number.
    std::string noNul = full;
    for (std::size_t i = 16; i < 52; ++i) {
        noNul[i] = 'M';
    }
    EXPECT_EQ(discovery::recordFromDatagram(noNul, "")->model, std::string(36, 'M'));

    // The marker alone: every text is empty.
    const auto bare = discovery::recordFromDatagram(full.substr(0, 6), "");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->serialNum, "");
    EXPECT_FALSE(discovery::recordFromDatagram(full.substr(0, 5), ""));
}

TEST(RadioVersion, VersionTextsAndNames) {
    LogCapture capture;
    const std::pair<const char*, double> versions[] = {
        {"3.3.28.0", 3.3}, {"2.10.1.0", 2.1}, {"2.5.0.0", 2.5},
        {"3.3.28", 0.0},   {"", 0.0},         {"x.y.z.w", 0.0},
    };
    for (const auto& [text, value] : versions) {
        EXPECT_DOUBLE_EQ(versionStringToDouble(text), value) << text;
    }
    EXPECT_TRUE(capture.contains("versionStringToDouble:Error:3.3.28"));

    const std::pair<const char*, const char*> names[] = {
        {"0610-1122-6700-4321", "6700-4321"},
        {"06101122", ""},
        {"a-b-c", ""},
        {"", ""},
        {"a-b-c-d-e", ""},
    };
    for (const auto& [serial, name] : names) {
        EXPECT_EQ(doroRadioNameFromSerialNumber(serial), name) << serial;
    }
}

}  // namespace
}  // namespace vm
