// The server's key=value words and its radio list turned into DoroLink radio records.
#include "dorolink/WanMessagePairs.h"
#include "dorolink/WanRadioList.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using wan::MessagePairs;

TEST(MessagePairs, ReadsKeyValueWordsAfterTheName) {
    EXPECT_EQ(
        wan::messagePairs("radio connect_ready  handle=H1 serial=S1 junk k=a=b handle=H2", true),
        (MessagePairs{{"handle", "H2"}, {"serial", "S1"}, {"k", "a"}}))
        << "the name words and words without '=' are skipped; a later key wins";
    EXPECT_EQ(wan::messagePairs("serial=S1 status=", false),
              (MessagePairs{{"serial", "S1"}, {"status", ""}}));
    EXPECT_EQ(wan::messagePairs("x=1 y=2", true), (MessagePairs{{"y", "2"}}))
        << "the first word is skipped even when it holds '='";
}

TEST(RadioList, AnEntryBecomesADoroLinkRadioAndThePieceAfterTheLastBarIsSkipped) {
    const auto radios = wan::radioListRecords(
        "radio list radio_name=A serial=1-2-3-4 status=Available version=3.3.28.0|");
    ASSERT_EQ(radios.size(), 1u);
    const RadioInstance& radio = *radios[0];
    EXPECT_EQ(radio.name, "A");
    EXPECT_EQ(radio.serialNum, "1-2-3-4");
    EXPECT_EQ(radio.status, "Available");
    EXPECT_EQ(radio.wanRadio, true);
    EXPECT_DOUBLE_EQ(radio.fversion, 3.3);
    EXPECT_TRUE(radio.supportsV3_API);
    EXPECT_TRUE(radio.supportsMultiDoro);
    EXPECT_TRUE(radio.supportsNewPan);
}

TEST(RadioList, EveryKeyFillsItsFieldAndAMissingKeyLeavesItUnset) {
    const auto radios = wan::radioListRecords(
        "radio list callsign=W1AW inUseHost=shack inUseIp=10.1.1.1 last_seen=2024-01-01 "
        "max_licensed_version=v3 model=DR-6600 public_ip=203.0.113.9 public_tls_port=4994 "
        "public_udp_port=4993 public_upnp_tls_port=21000 public_upnp_udp_port=22000 "
        "radio_license_id=LIC radio_name=Shack requires_additional_license=1 "
        "serial=1111-2222-3333-4444 status=In_Use upnp_supported=Y version=3.0.27.0|"
        "serial=9999-8888-7777-6666 status=Available");
    ASSERT_EQ(radios.size(), 2u);
    const RadioInstance& full = *radios[0];
    EXPECT_EQ(full.callsign, "W1AW");
    EXPECT_EQ(full.inUseHost, "shack");
    EXPECT_EQ(full.inUseIp, "10.1.1.1");
    EXPECT_EQ(full.lastSeen, std::nullopt) << "the server's text is not a time of ours";
    EXPECT_EQ(full.max_licensed_version, "v3");
    EXPECT_EQ(full.model, "DR-6600");
    EXPECT_EQ(full.publicIp, "203.0.113.9");
    EXPECT_EQ(full.public_tls_port, "4994");
    EXPECT_EQ(full.public_udp_port, "4993");
    EXPECT_EQ(full.public_upnp_tls_port, "21000");
    EXPECT_EQ(full.public_upnp_udp_port, "22000");
    EXPECT_EQ(full.radio_license_id, "LIC");
    EXPECT_EQ(full.name, "Shack");
    EXPECT_EQ(full.requires_additional_license, 1);
    EXPECT_EQ(full.status, "In_Use");
    EXPECT_EQ(full.upnpSupported, true);
    EXPECT_EQ(full.version, "3.0.27.0");

    const RadioInstance& bare = *radios[1];
    EXPECT_EQ(bare.name, "7777-6666") << "no radio_name: the name comes from the serial";
    EXPECT_EQ(bare.model, std::nullopt);
    EXPECT_EQ(bare.publicIp, std::nullopt);
    EXPECT_EQ(bare.upnpSupported, std::nullopt);
    EXPECT_EQ(bare.requires_additional_license, std::nullopt);
    EXPECT_EQ(bare.wanRadio, true);
}

struct VersionCase {
    const char* name;
    const char* version;
    double fversion;
    bool v3, multi, newPan;
};

void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.name; }

class ListedVersion : public ::testing::TestWithParam<VersionCase> {};

TEST_P(ListedVersion, GrantsTheCapabilitiesItReaches) {
    const VersionCase& c = GetParam();
    const auto radios =
        wan::radioListRecords(std::string("radio list serial=1-2-3-4 version=") + c.version);
    ASSERT_EQ(radios.size(), 1u);
    EXPECT_DOUBLE_EQ(radios[0]->fversion, c.fversion);
    EXPECT_EQ(radios[0]->supportsV3_API, c.v3);
    EXPECT_EQ(radios[0]->supportsMultiDoro, c.multi);
    EXPECT_EQ(radios[0]->supportsNewPan, c.newPan);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, ListedVersion,
    ::testing::Values(VersionCase{"Older", "2.4.9.1", 2.4, false, false, false},
                      VersionCase{"Three", "3.0.27.0", 3.0, true, true, false},
                      VersionCase{"NewPan", "3.3.28.0", 3.3, true, true, true},
                      VersionCase{"NotFourParts", "3.3", 0, false, false, false}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// An entry shorter than 17 characters is no radio; the rest of the list is used.
TEST(RadioList, SkipsShortEntries) {
    const auto radios =
        wan::radioListRecords("radio list serial=1-2|radio_name=Long serial=5-6-7-8|   |");
    ASSERT_EQ(radios.size(), 1u);
    EXPECT_EQ(radios[0]->name, "Long");
    EXPECT_TRUE(wan::radioListRecords("radio list ").empty());
}

}  // namespace
}  // namespace vm
