#include "util/StringAdditions.h"
#include "util/Utf16.h"

#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include <unistd.h>

namespace vm {
namespace {

namespace fs = std::filesystem;
using namespace strings;

// "𝄞" (U+1D11E) is one character outside the BMP: two UTF-16 code units, four UTF-8 bytes.
const std::string kClef = "\xF0\x9D\x84\x9E";

TEST(Utf16Test, CountsCodeUnits) {
    EXPECT_EQ(utf16::length(""), 0u);
    EXPECT_EQ(utf16::length("ab"), 2u);
    EXPECT_EQ(utf16::length("\xC3\xA9"), 1u);  // é
    EXPECT_EQ(utf16::length(kClef), 2u);
    EXPECT_EQ(utf16::toUtf8(utf16::fromUtf8("a" + kClef + "b")), "a" + kClef + "b");
    EXPECT_TRUE(utf16::isValidUtf8(kClef));
    EXPECT_FALSE(utf16::isValidUtf8("\xC3"));
    EXPECT_FALSE(utf16::isValidUtf8("\xED\xA0\x80"));  // a surrogate written as UTF-8
}

TEST(StringSearchTest, ContainsAndBeginsWith) {
    struct Case {
        std::string s, part;
        bool ignoringCase, contains, begins;
    } cases[] = {
        {"Profile One", "one", true, true, false},
        {"Profile One", "one", false, false, false},
        {"Profile One", "PROF", true, true, true},
        {"Profile One", "Prof", false, true, true},
        {"Profile One", "", true, false, false},  // an empty argument never occurs
        {"", "a", true, false, false},
        {"Stra\xC3\x9F"
         "e",
         "STRA\xC3\x9F", true, true, true},
        {"\xC3\x89T\xC3\x89", "\xC3\xA9t\xC3\xA9", true, true, true},  // ÉTÉ / été
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.s + " / " + c.part);
        EXPECT_EQ(containsString(c.s, c.part, c.ignoringCase), c.contains);
        EXPECT_EQ(beginsWithString(c.s, c.part, c.ignoringCase), c.begins);
    }
    EXPECT_TRUE(containsString("slice 0 RF_frequency", "RF_freq"));
    EXPECT_FALSE(containsString("slice 0 RF_frequency", "rf_freq"));
}

TEST(StringSearchTest, CountsAndWildcards) {
    EXPECT_EQ(occurencesOfSubstring("aaaa", "aa"), 2u);  // non-overlapping
    EXPECT_EQ(occurencesOfSubstring("Ab ab AB", "ab"), 3u);
    EXPECT_EQ(occurencesOfSubstring("Ab ab AB", "ab", false), 1u);
    EXPECT_EQ(occurencesOfSubstring("abc", ""), 0u);

    struct Case {
        std::string s, pattern;
        bool matches;
    } cases[] = {
        {"K1ABC", "K*", true}, {"K1ABC", "K?ABC", true}, {"K1ABC", "k*", false},
        {"K1ABC", "*C", true}, {"K1ABC", "*B", false},   {"K1ABC", "", false},
        {"", "*", true},       {"abcbd", "a*bd", true},  {"ab", "a?b", false},
        {kClef, "??", true},   {kClef, "?", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(matchesWildcard(c.s, c.pattern), c.matches) << c.s << " LIKE " << c.pattern;
    }

    EXPECT_TRUE(hasPrefixWildCard("W1AW", "W*A"));
    EXPECT_FALSE(hasPrefixWildCard("W1AW", "W?A"));  // only '*' is a wildcard
    EXPECT_FALSE(hasPrefixWildCard("W1", "W1A"));
    EXPECT_FALSE(hasPrefixWildCard("", "*"));
    EXPECT_TRUE(hasPrefixCaseInsensitive("Default", "DEF"));
    EXPECT_FALSE(hasPrefixCaseInsensitive("Default", ""));
    EXPECT_TRUE(hasSuffixCaseInsensitive("contest.XML", ".xml"));
    EXPECT_FALSE(hasSuffixCaseInsensitive("xml", "a.xml"));
    EXPECT_TRUE(containsCharacterFromSet("ab,c", chars::anyOf(u",;")));
    EXPECT_FALSE(containsCharacterFromSet("abc", chars::anyOf(u",;")));
}

TEST(StringSearchTest, LinesAndRanges) {
    struct Case {
        std::string s;
        std::uint32_t lines;
    } cases[] = {
        {"", 0},
        {"a", 1},
        {"a\n", 1},
        {"a\nb", 2},
        {"a\r\nb\r\n", 2},
        {"a\rb", 2},
        {"a\n\nb", 3},
        {"a\xE2\x80\xA8"
         "b",
         2},
        {"a\xC2\x85"
         "b\xE2\x80\xA9",
         2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lineCount(c.s), c.lines) << c.s;
    }
    const std::string text = "one\r\ntwo\nthree";
    EXPECT_EQ(rangeOfLine(text, 0), (Range{0, 5}));
    EXPECT_EQ(rangeOfLine(text, 1), (Range{5, 4}));
    EXPECT_EQ(rangeOfLine(text, 2), (Range{9, 5}));  // the last line is found too
    EXPECT_EQ(rangeOfLine(text, 3), (Range{kNotFound, 0}));
    EXPECT_EQ(rangeOfLine(text, -1), (Range{kNotFound, 0}));

    // Indexes count code units: the clef takes two.
    const std::string words = "x" + kClef + "y word\tnext";
    EXPECT_EQ(whitespaceRangeForRange(words, Range{1, 1}), (Range{0, 4}));
    EXPECT_EQ(whitespaceRangeForRange(words, Range{6, 0}), (Range{5, 4}));
    EXPECT_EQ(whitespaceRangeForRange(words, Range{11, 2}), (Range{10, 4}));
}

TEST(StringSearchTest, CompareLengthAndNumbers) {
    EXPECT_EQ(compareLength("ab", "abc"), Ordering::Ascending);
    EXPECT_EQ(compareLength("abcd", "abc"), Ordering::Descending);
    EXPECT_EQ(compareLength("abd", "abc"), Ordering::Descending);
    EXPECT_EQ(compareLength("abc", "abc"), Ordering::Same);
    EXPECT_EQ(compareLength(kClef, "ab"), Ordering::Descending);  // two code units vs two
    EXPECT_DOUBLE_EQ(doubleValue("  14.074abc"), 14.074);
    EXPECT_DOUBLE_EQ(doubleValue("abc"), 0.0);
    EXPECT_DOUBLE_EQ(doubleValue("-2e3"), -2000.0);
}

TEST(StringPiecesTest, Tokens) {
    using V = std::vector<std::string>;
    EXPECT_EQ(tokensSeparatedByCharactersFromSet(",,a,b;;c,", chars::anyOf(u",;")),
              (V{"a", "b", "c"}));
    EXPECT_EQ(tokensSeparatedByCharactersFromSet("", chars::anyOf(u",")), V{});
    EXPECT_EQ(objCTokens("[self foo:bar_baz]; x"), (V{"self", "foo:bar_baz", "x"}));
    EXPECT_EQ(words("well-known 73s, de W1AW"), (V{"well-known", "s", "de", "W", "AW"}));
}

TEST(StringPiecesTest, SplitToSize) {
    using V = std::vector<std::string>;
    EXPECT_EQ(splitToSize("abcd", 2), (V{"ab", "cd", ""}));
    EXPECT_EQ(splitToSize("abcde", 2), (V{"ab", "cd", "e"}));
    EXPECT_EQ(splitToSize("", 3), (V{""}));
    EXPECT_EQ(splitToSize(kClef + kClef, 2), (V{kClef, kClef, ""}));
    EXPECT_EQ(splitToSize("abc", 0), (V{"a", "b", "c", ""}));  // a size of 0 is taken as 1
}

TEST(StringPiecesTest, LinesSortedByLengthAndTags) {
    EXPECT_EQ(linesSortedByLength("ccc\na\nbb\nab"),
              (std::vector<std::string>{"a", "ab", "bb", "ccc"}));
    struct Case {
        std::string s, tag, expected;
    } cases[] = {
        {"", "call=", ""},
        {"x call=W1AW, y", "", ""},
        {"x call=W1AW, y", "freq=", ""},
        {"x call=W1AW, y", "call=", "W1AW"},
        {"call=W1AW", "call=", "W1AW"},
        {"a=1;b=2", "b=", "2"},
        {"v=14.074", "v=", "14"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(returnStringAfterTag(c.s, c.tag), c.expected) << c.s << " / " << c.tag;
    }
}

TEST(StringPiecesTest, SubstringsAroundRanges) {
    const std::string s = "ab" + kClef + "cd";
    EXPECT_EQ(substringBeforeRange(s, Range{2, 2}), "ab");
    EXPECT_EQ(substringAfterRange(s, Range{2, 2}), "cd");
    EXPECT_EQ(substringAfterRange(s, Range{kNotFound, 0}), "");
    EXPECT_EQ(substringWithRangeAndTrim("  a  b  ", Range{1, 6}), "a  b");

    test::LogCapture logs;
    EXPECT_EQ(substringWithRangeAndTrim("abc", Range{1, 0}), "");
    EXPECT_EQ(substringWithRangeAndTrim("abc", Range{3, 1}), "");
    EXPECT_EQ(substringWithRangeAndTrim("abc", Range{2, 5}), "");
    EXPECT_EQ(logs.lines(), (std::vector<std::string>{
                                "substringWithRangeAndTrim:length:[3] location:[1] length:[0]",
                                "substringWithRangeAndTrim:length:[3] location:[3] length:[1]",
                                "substringWithRangeAndTrim:length:[3] location:[2] length:[5]"}));
}

TEST(StringCleaningTest, OneArgumentRules) {
    using Fn = std::function<std::string(const std::string&)>;
    struct Case {
        const char* name;
        Fn fn;
        std::string in, out;
    } cases[] = {
        {"sanitize", sanitize, " (W1AW) ", "W1AW"},
        {"sanitize", sanitize, "-a.1/b-", "-a.1/b-"},
        {"sanitize", sanitize, "/W1AW.", "/W1AW."},
        {"sanitize", sanitize, "*(a b)*", "a b"},
        {"sanitize", sanitize, "()", ""},
        {"strip blanks", stripLeadingAndTrailingBlanks, " \t a b \t", "a b"},
        {"strip blanks", stripLeadingAndTrailingBlanks, "\n a \n", "\n a \n"},
        {"asterisk", stripAsterisk, "*a*b**", "ab"},
        {"line controls", removeLineControls, "a\r\nb\r\n", "ab"},
        {"quotes", removeQuotes, "\"Default\" \"x\"", "Default x"},
        {"newline", newlineToCR, "a\nb\n", "a\rb\r"},
        {"dash", dashToSlash, "W1AW-P", "W1AW/P"},
        {"ampersand", fixAmpersand, "R&D & Co", "RAndD And Co"},
        {"meters", expandMeters, "20M", "20 Meters"},
        {"meters", expandMeters, "", ""},
        {"squash", squashSpaces, "  a   b \n", "a b"},
        {"squash", squashSpaces, "", ""},
        {"collapse", collapseSpace, "  a    b ", " a b "},
        {"bad controls", removeBadControls,
         "a\x01\tb\n\r\x7F\xE2\x80\x8B"
         "c",
         "a\tb\n\rc"},
        {"tabs and returns", removeTabsAndReturns, "a\tb\r\nc", "abc"},
        {"xml", stringSafeForXML, "a & b <c> \"d\" 'e'",
         "a &amp; b &lt;c&gt; &quot;d&quot; &apos;e&apos;"},
        {"xml", stringSafeForXML, "&" + std::string(5000, 'x') + "<",
         "&amp;" + std::string(5000, 'x') + "&lt;"},
        {"url", stringByUrlEncoding, "", ""},
        {"url", stringByUrlEncoding, "a b;/?:@&=$+{}<>,#%\"",
         "a%20b%3B%2F%3F%3A%40%26%3D%24%2B%7B%7D%3C%3E%2C%23%25%22"},
        {"url", stringByUrlEncoding, "Z-_.!~*'()\xC3\xA9", "Z-_.!~*'()%C3%A9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.fn(c.in), c.out) << c.name << ": " << c.in;
    }
}

TEST(StringCleaningTest, PaddingAndJoining) {
    EXPECT_EQ(padTo("ab", 5), "ab   ");
    EXPECT_EQ(padTo("ab", 0), "ab");
    EXPECT_EQ(padTo("ab", -3), "ab");
    EXPECT_EQ(padTo("abc", 2), "abc");
    EXPECT_EQ(padTo(kClef, 3), kClef + " ");  // the clef counts two

    EXPECT_EQ(removeString("a--b--", "--"), "ab");
    EXPECT_EQ(stringWithSubstitute("a,b;c", "_", chars::anyOf(u",;")), "a_b_c");
    EXPECT_EQ(stringWithSubstitute("abc", "_", chars::anyOf(u",")), "abc");
    // A substitute holding a character of the set is inserted once, not replaced again forever.
    EXPECT_EQ(stringWithSubstitute("a,b", ",,", chars::anyOf(u",")), "a,,b");

    EXPECT_EQ(addWithOptionalComma("a", ""), "a");
    EXPECT_EQ(addWithOptionalComma("", "b"), "b");
    EXPECT_EQ(addWithOptionalComma("a", "b"), "a, b");
    EXPECT_EQ(addWithOptionalCommaIfNotRedundant("a, b", "b"), "a, b");
    EXPECT_EQ(addWithOptionalCommaIfNotRedundant("a", "b"), "a, b");
}

TEST(StringUrlTest, Validity) {
    struct Case {
        std::string s;
        bool valid;
    } cases[] = {
        {"kbrx://tune?freq=14.074&mode=USB", true},
        {"https://example.org/a%20b#frag", true},
        {"relative/path?x=1", true},
        {"", false},
        {"has space", false},
        {"bad%2", false},
        {"bad%zz", false},
        {"1abc:x", false},
        {"a#b#c", false},
        {"caf\xC3\xA9", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isValidURL(c.s), c.valid) << c.s;
    }
}

class StringFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::path(std::getenv("HOME")) / "files";
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void touch(const fs::path& p) { std::ofstream(p) << "x"; }
    std::string read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path folder_;
};

TEST_F(StringFilesTest, SafeFilePathPicksTheFirstFreeName) {
    const auto take = (folder_ / "take.m4a").string();
    EXPECT_EQ(safeFilePath(take), take);
    touch(take);
    touch(folder_ / "take 1.m4a");
    EXPECT_EQ(safeFilePath(take), (folder_ / "take 2.m4a").string());

    fs::create_directory(folder_ / "notes");
    EXPECT_EQ(safeFilePath((folder_ / "notes").string()), (folder_ / "notes 1.").string());

    // A dangling symbolic link is taken: writing through it would create its target.
    fs::create_symlink(folder_ / "nowhere", folder_ / "link.txt");
    EXPECT_EQ(safeFilePath((folder_ / "link.txt").string()), (folder_ / "link 1.txt").string());
}

TEST_F(StringFilesTest, AppendToFile) {
    const auto path = (folder_ / "report.txt").string();
    EXPECT_TRUE(appendToFile("one\n", path, TextEncoding::UTF8));  // a new file
    EXPECT_TRUE(appendToFile("caf\xC3\xA9\n", path, TextEncoding::ISOLatin1));
    EXPECT_EQ(read(path), "one\ncaf\xE9\n");
    EXPECT_FALSE(appendToFile("caf\xC3\xA9", path, TextEncoding::ASCII));  // cannot be encoded
    EXPECT_EQ(read(path), "one\ncaf\xE9\n");

    // A file that exists but cannot be opened for writing is left as it is.
    const auto locked = folder_ / "locked.txt";
    touch(locked);
    fs::permissions(locked, fs::perms::owner_read);
    if (::access(locked.c_str(), W_OK) != 0) {  // root may write anyway
        EXPECT_FALSE(appendToFile("more", locked.string(), TextEncoding::UTF8));
        EXPECT_EQ(read(locked), "x");
    }
}

TEST(StringBytesTest, PascalStrings) {
    std::uint8_t buffer[8] = {};
    EXPECT_EQ(convertToPascalStringInBuffer("W1AW", buffer, sizeof buffer, TextEncoding::ASCII),
              5u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 5), "\x04W1AW");
    EXPECT_EQ(stringWithPascalString(std::string(reinterpret_cast<char*>(buffer), 5),
                                     TextEncoding::ASCII),
              "W1AW");

    EXPECT_EQ(convertToPascalStringInBuffer("1234567", buffer, sizeof buffer, TextEncoding::ASCII),
              8u);
    EXPECT_EQ(convertToPascalStringInBuffer("12345678", buffer, sizeof buffer, TextEncoding::ASCII),
              0u);
    EXPECT_EQ(convertToPascalStringInBuffer("\xC3\xA9", buffer, sizeof buffer, TextEncoding::ASCII),
              0u);
    EXPECT_EQ(
        convertToPascalStringInBuffer("\xC3\xA9", buffer, sizeof buffer, TextEncoding::ISOLatin1),
        2u);
    EXPECT_EQ(buffer[1], 0xE9);
    std::uint8_t big[300];
    EXPECT_EQ(
        convertToPascalStringInBuffer(std::string(256, 'a'), big, sizeof big, TextEncoding::ASCII),
        0u);

    EXPECT_EQ(stringWithPascalString("\x05"
                                     "abc",
                                     TextEncoding::ASCII),
              std::nullopt);  // claims too much
    EXPECT_EQ(stringWithPascalString("", TextEncoding::ASCII), std::nullopt);
    EXPECT_EQ(stringWithPascalString("\x01\xE9", TextEncoding::ISOLatin1), "\xC3\xA9");
    EXPECT_EQ(stringWithPascalString("\x01\xE9", TextEncoding::UTF8), std::nullopt);
}

TEST(RunAsCommandTest, ReturnsWhatTheCommandPrinted) {
    EXPECT_EQ(runAsCommand("echo hello | tr a-z A-Z", 10.0), "HELLO\n");
    EXPECT_EQ(runAsCommand("echo oops >&2", 10.0), "oops\n");
    EXPECT_EQ(runAsCommand("printf '\\377'", 10.0), std::nullopt);  // not UTF-8
}

TEST(RunAsCommandTest, MoreThanOneMebibyteComesBackWhole) {
    const auto out = runAsCommand("head -c 1500000 /dev/zero | tr '\\0' x", 10.0);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->size(), 1500000u);
    EXPECT_EQ(out->find_first_not_of('x'), std::string::npos);
}

TEST(RunAsCommandTest, TimesOutWithTheElapsedTime) {
    const auto out = runAsCommand("echo partial; sleep 20", 0.2);
    ASSERT_TRUE(out);
    const std::string prefix = "runAsCommand timed out after ";
    EXPECT_EQ(out->substr(0, prefix.size()), prefix);
    EXPECT_NE(out->find(" seconds. [echo partial; sleep 20]"), std::string::npos);
    const double elapsed = std::stod(out->substr(prefix.size()));
    EXPECT_GT(elapsed, 0.2);
    EXPECT_LT(elapsed, 3.0);
}

}  // namespace
}  // namespace vm
