#include "platform/core/KeyedArchiver.h"
#include "platform/core/PlistCheck.h"
#include "platform/core/PlistValue.h"
#include "support/HostilePlists.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using test::arrayObject;
using test::asciiObject;
using test::binaryPlistOf;
using test::dictObject;
using test::integerObject;

std::string utf16Object(const std::vector<std::uint16_t>& units) {
    std::string out(1, static_cast<char>(0x60 | units.size()));
    for (const std::uint16_t unit : units) {
        out.push_back(static_cast<char>(unit >> 8));
        out.push_back(static_cast<char>(unit & 0xFF));
    }
    return out;
}

std::string nested(int levels) {
    std::vector<std::string> objects;
    for (int i = 0; i < levels - 1; ++i)
        objects.push_back(arrayObject({std::uint32_t(i + 1)}));
    objects.push_back(integerObject(1));
    return binaryPlistOf(objects, 0);
}

std::string xml(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + body;
}

struct CheckCase {
    std::string name;
    std::string bytes;
    std::string refusal;  // empty: accepted
};
void PrintTo(const CheckCase& c, std::ostream* out) { *out << c.name; }

class PlistCheck : public ::testing::TestWithParam<CheckCase> {};

TEST_P(PlistCheck, RefusesWhatTheReaderCannotTakeSafely) {
    const auto why = plist::whyRefused(GetParam().bytes);
    if (GetParam().refusal.empty()) {
        EXPECT_EQ(why, std::nullopt);
    } else {
        ASSERT_TRUE(why);
        EXPECT_NE(why->find(GetParam().refusal), std::string::npos) << *why;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlistCheck,
    ::testing::Values(
        CheckCase{"OurBinary", plist::toBinary(PlistDict{{"a", PlistArray{1, "\xc3\xa9", 2.5}}}),
                  ""},
        CheckCase{"OurArchive", *archivedData(ArchiveArray{1.8, ArchiveDate{3.0}}), ""},
        CheckCase{"SurrogatePair", binaryPlistOf({utf16Object({0xD83D, 0xDCFB})}, 0), ""},
        CheckCase{"LoneSurrogate", binaryPlistOf({utf16Object({0x41, 0xDC00})}, 0),
                  "invalid UTF-16"},
        CheckCase{"CutSurrogate", binaryPlistOf({utf16Object({0xD83D})}, 0), "invalid UTF-16"},
        CheckCase{"NulUnit", binaryPlistOf({utf16Object({0x41, 0})}, 0), "NUL"},
        CheckCase{"Loop", binaryPlistOf({arrayObject({1}), arrayObject({0})}, 0), "reference loop"},
        CheckCase{"KeyNotAString", binaryPlistOf({dictObject({1}, {1}), integerObject(1)}, 0),
                  "key"},
        CheckCase{"MissingObject", binaryPlistOf({arrayObject({9})}, 0), "missing object"},
        CheckCase{"Nested256", nested(256), ""}, CheckCase{"Nested257", nested(257), "nesting"},
        CheckCase{"Truncated", plist::toBinary(PlistDict{{"a", 1}}).substr(0, 30),
                  "binary property list"},
        CheckCase{"Xml",
                  xml("<plist version=\"1.0\"><dict><key>k</key><string>v</string>"
                      "</dict></plist>"),
                  ""},
        CheckCase{"XmlNulReference", xml("<plist><string>a&#0;b</string></plist>"), "XML"},
        CheckCase{"XmlEntities",
                  xml("<!DOCTYPE plist [<!ENTITY a \"aaaa\">]><plist><string>&a;</string>"
                      "</plist>"),
                  "entity"},
        CheckCase{"XmlInvalidUtf8", xml("<plist><string>\xff</string></plist>"), "XML"}),
    [](const ::testing::TestParamInfo<CheckCase>& c) { return c.param.name; });

}  // namespace
}  // namespace vm
