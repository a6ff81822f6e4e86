// The radio instance record, the stock filter table, and the transverter and USB device records.
#include "platform/core/KeyedArchiver.h"
#include "platform/core/KeyedUnarchiver.h"
#include "radio/FilterTable.h"
#include "radio/RadioInstance.h"
#include "radio/USBSerialDevice.h"
#include "radio/Xvtr.h"

#include <gtest/gtest.h>

#include <functional>

namespace vm {
namespace {

RadioInstance discovered() {
    RadioInstance r;
    r.ipAddress = "127.0.0.1";
    r.port = 4992;
    r.model = "DORO-6700";
    r.serialNum = "0610-1122-6700-4321";
    r.status = "Available";
    r.name = "Shack";
    r.callsign = "N0CALL";
    return r;
}

TEST(RadioInstance, EqualityComparesTheSevenIdentityFieldsOnly) {
    struct Case {
        const char* what;
        std::function<void(RadioInstance& mine, RadioInstance& theirs)> change;
        bool equal;
    };
    const Case cases[] = {
        {"same", [](auto&, auto&) {}, true},
        {"other counts, versions, lists",
         [](auto&, auto& t) {
             t.availableSlices = 3;
             t.version = "9.9.9.9";
             t.supportsV3_API = true;
             t.guiClientHosts = {"x"};
             t.public_tls_port = "443";
         },
         true},
        {"address differs", [](auto&, auto& t) { t.ipAddress = "127.0.0.2"; }, false},
        {"port differs", [](auto&, auto& t) { t.port = 4993; }, false},
        {"model differs", [](auto&, auto& t) { t.model = "DORO-6300"; }, false},
        {"serial differs", [](auto&, auto& t) { t.serialNum = "x"; }, false},
        {"status differs", [](auto&, auto& t) { t.status = "In_Use"; }, false},
        {"one has no name", [](auto&, auto& t) { t.name.reset(); }, false},
        {"neither has a name", [](auto& m, auto& t) { m.name.reset(), t.name.reset(); }, true},
        {"neither has a call sign",
         [](auto& m, auto& t) { m.callsign.reset(), t.callsign.reset(); }, true},
        {"call sign differs", [](auto&, auto& t) { t.callsign = "K1ABC"; }, false},
        {"both lack an address", [](auto& m, auto& t) { m.ipAddress.reset(), t.ipAddress.reset(); },
         true},
        {"both lack a status", [](auto& m, auto& t) { m.status.reset(), t.status.reset(); }, true},
        {"one lacks a status", [](auto&, auto& t) { t.status.reset(); }, false},
    };
    for (const auto& c : cases) {
        RadioInstance mine = discovered();
        RadioInstance theirs = discovered();
        c.change(mine, theirs);
        EXPECT_EQ(mine.isEqual(theirs), c.equal) << c.what;
    }
}

TEST(RadioInstance, LegacyInitializerStoresWhatIsGivenAndStampsLastSeen) {
    const auto before = DispatchClock::now();
    const RadioInstance r("127.0.0.1", 4992, "DORO-6500", "1234", std::nullopt, std::nullopt,
                          "2.0.0.0", "1.4.0.0", "Available", std::nullopt, "lic", 1);
    EXPECT_EQ(r.ipAddress, "127.0.0.1");
    EXPECT_EQ(r.port, 4992);
    EXPECT_FALSE(r.name);
    EXPECT_FALSE(r.callsign);
    EXPECT_FALSE(r.max_licensed_version);
    EXPECT_EQ(r.radio_license_id, "lic");
    EXPECT_EQ(r.requires_additional_license, 1);
    ASSERT_TRUE(r.lastSeen);
    EXPECT_GE(*r.lastSeen, before);
    // Nothing is derived from the version texts.
    EXPECT_EQ(r.fversion, 0.0);
    EXPECT_FALSE(r.supportsV3_API);
}

TEST(FilterSpecs, SevenModesWithTheirWidths) {
    const FilterTable& table = stockFilterTable();
    ASSERT_EQ(table.size(), 7u);
    for (const auto& [mode, specs] : table) {
        EXPECT_EQ(specs.size(), mode == "DIGL" ? 5u : 8u) << mode;
        for (const FilterSpec& spec : specs) {
            EXPECT_EQ(spec.mode, mode);
        }
    }
    EXPECT_FALSE(table.contains("FM"));
    EXPECT_EQ(table.at("CW").front(), FilterSpec("10 Hz", "CW", 0, 0, -5, 5));
    EXPECT_EQ(table.at("USB").back(), FilterSpec("2.9 KHz", "USB", 100, 2800, 100, 3000));
    EXPECT_EQ(table.at("DIGU").back(), FilterSpec("2.8 KHz", "DIGU", 100, 2800, 100, 2900));
    EXPECT_EQ(table.at("DIGL")[2], FilterSpec("500 Hz", "DIGL", 100, 2800, -2460, -1960));
    EXPECT_EQ(table.at("SAM")[7], FilterSpec("20 KHz", "SAM", 1, 10000, -10000, 10000));
    // LSB mirrors USB about the carrier; DIGU repeats the first seven USB widths.
    for (std::size_t i = 0; i < 8; ++i) {
        const FilterSpec& usb = table.at("USB")[i];
        const FilterSpec& lsb = table.at("LSB")[i];
        EXPECT_EQ(lsb.label, usb.label);
        EXPECT_EQ(lsb.lo, -usb.hi);
        EXPECT_EQ(lsb.hi, -100);
        if (i < 7) {
            EXPECT_EQ(table.at("DIGU")[i].lo, usb.lo);
            EXPECT_EQ(table.at("DIGU")[i].hi, usb.hi);
        }
    }
}

TEST(Xvtr, AKeyedArchiveKeepsTheThirteenValues) {
    Xvtr full;
    full.key = "0";
    full.name = "2m";
    full.rf_freq = 144.0;
    full.if_freq = 28.0;
    full.lo_error = 150;
    full.max_power = 10;
    full.rx_gain = -2.5;
    full.order = 1;
    full.rx_only = 1;
    full.is_valid = 1;
    full.preferred = 0;
    full.two_meter_int = 3;
    full.in_use = 1;
    Xvtr sparse;  // a line that named only the key and removed it
    sparse.key = "3";
    sparse.in_use = 0;

    Error error;
    const auto bytes =
        archivedData(ArchiveArray{full.archiveValue(), sparse.archiveValue()}, &error);
    ASSERT_TRUE(bytes) << error.description;
    const auto unarchiver = KeyedUnarchiver::create(*bytes);
    ASSERT_TRUE(unarchiver);
    const auto root = unarchiver->decodeTopObject(Xvtr::archiveClasses(), &error);
    ASSERT_TRUE(root) << error.description;
    const auto* list = root->get<ArchiveArray>();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 2u);
    EXPECT_EQ(Xvtr::fromArchive((*list)[0]), full);
    EXPECT_EQ(Xvtr::fromArchive((*list)[1]), sparse);
    const auto* record = (*list)[1].get<ArchiveObject>();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->fields.size(), 2u) << "fields without a value are left out";
}

TEST(Xvtr, ArchivedFieldsAreReadByTheirKind) {
    struct Case {
        const char* name;
        ArchiveDictionary fields;
        std::function<void(Xvtr&)> expected;  // applied to a transverter with no value at all
    };
    const Case cases[] = {
        {"AbsentFieldsAreEmpty", {}, [](Xvtr&) {}},
        {"TextsFromStrings",
         {{"key", "2"}, {"name", "70cm"}},
         [](Xvtr& x) {
             x.key = "2";
             x.name = "70cm";
         }},
        {"NumbersFromIntegersRealsAndBooleans",
         {{"rf_freq", 432}, {"lo_error", 12.5}, {"order", true}},
         [](Xvtr& x) {
             x.rf_freq = 432;
             x.lo_error = 12.5;
             x.order = 1;
         }},
        {"FlagsByTheirTruth",
         {{"rx_only", 2.0}, {"is_valid", 0}, {"preferred", true}, {"in_use", 1}},
         [](Xvtr& x) {
             x.rx_only = 1;
             x.is_valid = 0;
             x.preferred = 1;
             x.in_use = 1;
         }},
        {"OtherKindsAreEmpty",
         {{"key", 7}, {"name", ArchiveArray{}}, {"rf_freq", "fast"}, {"in_use", "yes"}},
         [](Xvtr&) {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Xvtr expected;
        expected.in_use = std::nullopt;
        c.expected(expected);
        EXPECT_EQ(Xvtr::fromArchive(ArchiveObject{Xvtr::kClassName, c.fields}), expected);
    }
    EXPECT_EQ(Xvtr::fromArchive(ArchiveObject{"PanSpotObject", {}}), std::nullopt);
    EXPECT_EQ(Xvtr::fromArchive(ArchiveValue("Xvtr")), std::nullopt);
}

TEST(USBSerialDevice, AFreshRecordIsEmptyAndZero) {
    const USBSerialDevice device;
    EXPECT_EQ(device.serialNumber + device.deviceName + device.bsdName + device.vendorName, "");
    EXPECT_EQ(device.vendorId | device.productId | device.releaseId, 0);
}

}  // namespace
}  // namespace vm
