// Keyed archives: a tree of every kind of value and two record classes survives the round trip,
// the file is a binary property list of the keyed-archive structure that plistutil reads, and
// decoding refuses classes outside the allowed list and archives that do not fit the structure.
#include "platform/core/AtomicFile.h"
#include "platform/core/Defaults.h"
#include "platform/core/KeyedArchiver.h"
#include "platform/core/KeyedUnarchiver.h"
#include "platform/core/PlistNode.h"
#include "platform/core/Process.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>

namespace vm {
namespace {

ArchiveObject entry(const char* megahertz, const char* mode, double stamp) {
    return ArchiveObject{
        "FrequencyAndMode",
        {{"megahertz", megahertz}, {"mode", mode}, {"timeStamp", ArchiveDate{stamp}}}};
}

// Band stacks as the station memory keeps them, plus the other kinds of value.
ArchiveValue sampleTree() {
    ArchiveObject twenty{"BandStack",
                         {{"stackEntries", ArchiveArray{entry("14.24", "USB", 760000000.25),
                                                        entry("14.074", "DIGU", -86400.5)}},
                          {"currentEntry", 1}}};
    ArchiveObject forty{"BandStack", {{"stackEntries", ArchiveArray{entry("7.1", "LSB", 0)}}}};
    return ArchiveDictionary{
        {"20M", twenty},
        {"40M", forty},
        {"other", ArchiveDictionary{{"nested", ArchiveArray{ArchiveArray{}, ArchiveDictionary{}, "",
                                                            -42, 1.5e-300, true, false}},
                                    {"data", PlistData{0, 1, 0xff}},
                                    {"big", std::numeric_limits<long long>::min()}}},
    };
}

const std::set<std::string> kBandStackClasses = {
    "Dictionary", "BandStack", "FrequencyAndMode", "Array", "String", "Date", "Number"};
const std::set<std::string> kEveryClass = [] {
    auto all = kBandStackClasses;
    all.insert("Data");
    return all;
}();

// Turns every {"CF$UID": n} dictionary of a hand-written XML archive into the reference it stands
// for, as the binary form holds it, and answers the binary form.
plist_t withReferences(plist_t node) {
    if (plist_get_node_type(node) == PLIST_DICT) {
        plist_t uid = plist_dict_get_item(node, "CF$UID");
        if (uid && plist_dict_get_size(node) == 1) {
            uint64_t index = 0;
            plist_get_uint_val(uid, &index);
            plist_free(node);
            return plist_new_uid(index);
        }
        plist::forEachEntry(node, [&](const std::string& key, plist_t item) {
            plist_dict_set_item(node, key.c_str(), withReferences(plist_copy(item)));
            return true;
        });
    } else if (plist_get_node_type(node) == PLIST_ARRAY) {
        for (uint32_t i = 0; i < plist_array_get_size(node); ++i) {
            plist_array_set_item(node, withReferences(plist_copy(plist_array_get_item(node, i))),
                                 i);
        }
    }
    return node;
}

std::string binaryOf(const std::string& xml) {
    plist_t root = nullptr;
    plist_from_xml(xml.c_str(), static_cast<uint32_t>(xml.size()), &root);
    if (!root) {
        return xml;  // not a property list: handed on as it is
    }
    plist::Node owner(withReferences(root));
    return plist::binaryBytes(owner.get());
}

std::optional<ArchiveValue> decode(const std::string& bytes, const std::set<std::string>& allowed,
                                   Error* error) {
    auto unarchiver = KeyedUnarchiver::create(bytes, error);
    return unarchiver ? unarchiver->decodeTopObject(allowed, error) : std::nullopt;
}

TEST(KeyedArchiveTest, ATreeOfEveryKindAndTwoClassesRoundTrips) {
    const auto tree = sampleTree();
    const auto bytes = archivedData(tree);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->substr(0, 8), "bplist00");
    Error error;
    const auto back = decode(*bytes, kEveryClass, &error);
    ASSERT_TRUE(back) << error.description;
    EXPECT_EQ(*back, tree);
    // The field that was never set stays absent.
    const auto* forty = back->get<ArchiveDictionary>()->at("40M").get<ArchiveObject>();
    ASSERT_TRUE(forty);
    EXPECT_EQ(forty->field("currentEntry"), nullptr);
}

TEST(KeyedArchiveTest, AnArchivedArrayKeepsInTheDefaults) {
    const auto file = std::filesystem::path(std::getenv("HOME")) / "archived-defaults.plist";
    const ArchiveValue edges = ArchiveArray{1.8, 3.5, 7.0, 14.0};
    const auto bytes = *archivedData(edges);
    ASSERT_TRUE(
        Defaults(file).set("trvl_band_lower_edge_array", PlistData(bytes.begin(), bytes.end())));
    const auto stored = Defaults(file).dataForKey("trvl_band_lower_edge_array");
    ASSERT_TRUE(stored);
    EXPECT_EQ(decode(std::string(stored->begin(), stored->end()), {"Array", "Number"}, nullptr),
              edges);
}

TEST(KeyedArchiveTest, PlistutilShowsTheKeyedArchiveStructure) {
    const auto path = std::filesystem::path(std::getenv("HOME")) / "band_stack.plist_002";
    ASSERT_TRUE(writeFileAtomically(path, *archivedData(sampleTree())));
    const auto shown = runProcess("plistutil", {"-i", path.string(), "-f", "xml"}, Seconds(10));
    ASSERT_TRUE(shown.started) << "plistutil (libplist-utils) is not installed";
    ASSERT_EQ(shown.exitCode, 0) << shown.output;
    for (const char* part :
         {"<key>$archiver</key>\n\t<string>VMKeyedArchiver</string>", "<key>$version</key>",
          "<key>$top</key>\n\t<dict>\n\t\t<key>root</key>\n\t\t<dict>\n\t\t\t<key>CF$UID</key>",
          "<key>$objects</key>\n\t<array>\n\t\t<string>$null</string>",
          "<key>$classname</key>\n\t\t\t<string>BandStack</string>",
          "<key>$classname</key>\n\t\t\t<string>FrequencyAndMode</string>", "<key>$classes</key>",
          "<key>stackEntries</key>", "<key>currentEntry</key>", "<key>timeStamp</key>",
          "<key>time</key>\n\t\t\t<real>760000000.25", "<key>time</key>\n\t\t\t<real>-86400.5",
          "<string>14.074</string>"}) {
        EXPECT_NE(shown.output.find(part), std::string::npos) << part << "\n" << shown.output;
    }
}

TEST(KeyedArchiveTest, DecodingRefusesAClassOutsideTheAllowedList) {
    const auto bytes = *archivedData(sampleTree());
    struct Case {
        const char* name;
        const char* left_out;
    };
    for (const auto& c : {Case{"record class", "FrequencyAndMode"}, Case{"built-in kind", "Date"},
                          Case{"root class", "Dictionary"}}) {
        auto allowed = kEveryClass;
        allowed.erase(c.left_out);
        Error error;
        EXPECT_FALSE(decode(bytes, allowed, &error)) << c.name;
        EXPECT_EQ(error.code, archive::kClassNotAllowed) << c.name;
        EXPECT_NE(error.description.find(std::string("\"") + c.left_out + "\""), std::string::npos)
            << c.name << ": " << error.description;
    }
}

// Archives written by hand in the XML form, where <dict><key>CF$UID</key>... is a reference.
std::string archiveXml(const std::string& root, const std::string& objects) {
    return "<plist version=\"1.0\"><dict><key>$archiver</key><string>VMKeyedArchiver</string>"
           "<key>$version</key><integer>100000</integer><key>$top</key><dict><key>root</key>" +
           root + "</dict><key>$objects</key><array><string>$null</string>" + objects +
           "</array></dict></plist>";
}
std::string ref(int index) {
    return "<dict><key>CF$UID</key><integer>" + std::to_string(index) + "</integer></dict>";
}
const std::string kArrayClassRecord = "<dict><key>$classname</key><string>Array</string></dict>";

TEST(KeyedArchiveTest, ArchivesThatDoNotFitTheStructureAreRefused) {
    struct Case {
        const char* name;
        std::string bytes;
        long code;
    };
    const Case cases[] = {
        {"empty", "", archive::kNotAnArchive},
        {"not a property list", "hello", archive::kNotAnArchive},
        {"property list without $objects",
         "<plist version=\"1.0\"><dict><key>$archiver</key><string>x</string>"
         "<key>$top</key><dict/></dict></plist>",
         archive::kNotAnArchive},
        {"no root", archiveXml("<string>x</string>", ""), archive::kMalformed},
        {"reference past the objects", archiveXml(ref(5), "<string>x</string>"),
         archive::kMalformed},
        {"array holding itself",
         archiveXml(ref(1), "<dict><key>$class</key>" + ref(2) + "<key>objects</key><array>" +
                                ref(1) + "</array></dict>" + kArrayClassRecord),
         archive::kMalformed},
        {"record without a class", archiveXml(ref(1), "<dict><key>a</key>" + ref(1) + "</dict>"),
         archive::kMalformed},
        {"dictionary with a number for a key",
         archiveXml(
             ref(1),
             "<dict><key>$class</key>" + ref(2) + "<key>keys</key><array>" + ref(3) +
                 "</array><key>objects</key><array>" + ref(3) +
                 "</array></dict><dict><key>$classname</key><string>Dictionary</string></dict>"
                 "<integer>7</integer>"),
         archive::kMalformed},
        {"field held inline, not by reference",
         archiveXml(ref(1),
                    "<dict><key>$class</key>" + ref(2) +
                        "<key>mode</key><string>USB</string></dict>"
                        "<dict><key>$classname</key><string>FrequencyAndMode</string></dict>"),
         archive::kMalformed},
    };
    for (const auto& c : cases) {
        Error error;
        EXPECT_FALSE(decode(binaryOf(c.bytes), kEveryClass, &error)) << c.name;
        EXPECT_EQ(error.code, c.code) << c.name << ": " << error.description;
    }
}

TEST(KeyedArchiveTest, ANullRootDecodesToNothingWithoutAnError) {
    Error error;
    EXPECT_FALSE(decode(binaryOf(archiveXml(ref(0), "")), kEveryClass, &error));
    EXPECT_EQ(error.code, 0);
}

TEST(KeyedArchiveTest, ValuesTheArchiveCannotHoldAreRefused) {
    struct Case {
        const char* name;
        ArchiveValue value;
    };
    const Case cases[] = {
        {"record named like a built-in kind", ArchiveObject{"Array", {}}},
        {"record without a class name", ArchiveObject{"", {}}},
        {"field named like a structure key", ArchiveObject{"BandStack", {{"$class", 1}}}},
        {"date that is not finite", ArchiveDate{INFINITY}},
        {"real that is not finite", ArchiveArray{std::nan("")}},
    };
    for (const auto& c : cases) {
        Error error;
        EXPECT_FALSE(archivedData(c.value, &error)) << c.name;
        EXPECT_EQ(error.code, archive::kUnencodable) << c.name;
    }
}

}  // namespace
}  // namespace vm
