#include "platform/core/Defaults.h"

#include "platform/core/AtomicFile.h"
#include "support/HostilePlists.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace vm {
namespace {

namespace fs = std::filesystem;

class DefaultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = Defaults::configFolder() /
                  ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        file_ = folder_ / "preferences.plist";
    }
    std::vector<std::string> folderEntries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder_)) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path folder_;
    fs::path file_;
};

TEST_F(DefaultsTest, ValuesSurviveARestart) {
    {
        Defaults defaults(file_);
        EXPECT_TRUE(defaults.set("auto_connect", true));
        EXPECT_TRUE(defaults.set("doro_control_port", "/dev/ttyUSB0"));
        EXPECT_TRUE(defaults.set("debug_state", 2));
        EXPECT_TRUE(defaults.set("offset", -12345678901LL));
        EXPECT_TRUE(defaults.set("level", 0.25));
        EXPECT_TRUE(defaults.set("edges", PlistArray{14.0, 14.35}));
        EXPECT_TRUE(defaults.set("frame", PlistDict{{"x", 10}, {"name", "pan"}}));
        EXPECT_TRUE(defaults.set("blob", PlistData{0, 1, 255}));
        EXPECT_TRUE(defaults.set("gone", 1));
        EXPECT_TRUE(defaults.remove("gone"));
    }
    Defaults reread(file_);
    EXPECT_EQ(reread.boolForKey("auto_connect"), true);
    EXPECT_EQ(reread.stringForKey("doro_control_port"), "/dev/ttyUSB0");
    EXPECT_EQ(reread.integerForKey("debug_state"), 2);
    EXPECT_EQ(reread.integerForKey("offset"), -12345678901LL);
    EXPECT_EQ(reread.doubleForKey("level"), 0.25);
    EXPECT_EQ(reread.arrayForKey("edges"), (PlistArray{14.0, 14.35}));
    EXPECT_EQ(reread.dictionaryForKey("frame"), (PlistDict{{"x", 10}, {"name", "pan"}}));
    EXPECT_EQ(reread.dataForKey("blob"), (PlistData{0, 1, 255}));
    EXPECT_FALSE(reread.object("gone").has_value());
    EXPECT_EQ(folderEntries(),
              (std::vector<std::string>{"preferences.plist"}));  // no temporary left
}

TEST_F(DefaultsTest, AbsentTellsFromStoredAndTextsConvert) {
    Defaults defaults(file_);
    defaults.set("zero", 0);
    defaults.set("yes_text", "YES");
    defaults.set("number_text", "42");
    defaults.set("word", "pan");
    EXPECT_EQ(defaults.integerForKey("zero"), 0);
    EXPECT_FALSE(defaults.integerForKey("missing").has_value());
    EXPECT_EQ(defaults.boolForKey("zero"), false);
    EXPECT_EQ(defaults.boolForKey("yes_text"), true);
    EXPECT_EQ(defaults.integerForKey("number_text"), 42);
    EXPECT_EQ(defaults.stringForKey("zero"), "0");
    EXPECT_FALSE(defaults.integerForKey("word").has_value());
    EXPECT_FALSE(defaults.arrayForKey("word").has_value());
}

TEST_F(DefaultsTest, AFailedWriteLeavesTheOldFileWhole) {
    {
        Defaults defaults(file_);
        defaults.set("kept", 1);
    }
    // A stray temporary from an interrupted write is removed at the next start.
    std::ofstream(folder_ / ".preferences.plist.AbCdEf") << "half a plist";
    std::ofstream(folder_ / ".preferences.plist.notOurs") << "left alone";
    Defaults defaults(file_);
    EXPECT_EQ(defaults.integerForKey("kept"), 1);
    EXPECT_EQ(folderEntries(),
              (std::vector<std::string>{".preferences.plist.notOurs", "preferences.plist"}));

    // A folder that cannot be created (a file stands in its place): the write fails and says so.
    std::ofstream(folder_ / "not_a_folder") << "x";
    Defaults failing(folder_ / "not_a_folder" / "preferences.plist");
    test::LogCapture log;
    failing.set("lost", 1);
    EXPECT_FALSE(failing.flush());
    EXPECT_TRUE(log.contains("Defaults:save:failed:"));
    EXPECT_EQ(failing.integerForKey("lost"), 1);  // still held for this run
    EXPECT_FALSE(failing.set("again", 2));        // the last save failed
}

TEST_F(DefaultsTest, ChangesAreSeenAtOnceAndSavedByTheFlushOrTheEnd) {
    Defaults defaults(file_);
    for (int i = 0; i < 200; ++i) {
        defaults.set("level", i);
        EXPECT_EQ(defaults.integerForKey("level"), i);
    }
    EXPECT_TRUE(defaults.flush());
    EXPECT_EQ(Defaults(file_).integerForKey("level"), 199);
    {
        Defaults other(file_);
        other.set("level", -5);
        other.remove("missing");
    }  // the destructor waits for the save
    EXPECT_EQ(Defaults(file_).integerForKey("level"), -5);
}

// Each file is read at start: the application keeps running on its defaults, says why in the log,
// and the file is kept aside byte for byte under a name of its own.
class UnreadablePreferences : public DefaultsTest,
                              public ::testing::WithParamInterface<test::HostilePlist> {};

TEST_P(UnreadablePreferences, AreKeptAsideAndTheDefaultsStart) {
    const std::string bytes = GetParam().bytes();
    ASSERT_TRUE(writeFileAtomically(file_, bytes));
    test::LogCapture log;
    Defaults defaults(file_);
    EXPECT_FALSE(defaults.object("pan").has_value());
    EXPECT_TRUE(log.contains("Defaults:load:unreadable preferences:[" + file_.string() + "]"));
    const auto aside = defaults.fileKeptAside();
    ASSERT_TRUE(aside);
    EXPECT_EQ(readWholeFile(*aside), bytes);
    EXPECT_FALSE(fs::exists(file_));
    defaults.set("fresh", 1);
    EXPECT_TRUE(defaults.flush());
    EXPECT_EQ(Defaults(file_).integerForKey("fresh"), 1);
}

INSTANTIATE_TEST_SUITE_P(Hostile, UnreadablePreferences, ::testing::ValuesIn(test::hostilePlists()),
                         [](const ::testing::TestParamInfo<test::HostilePlist>& c) {
                             return c.param.name;
                         });

TEST_F(DefaultsTest, EveryFileKeptAsideHasItsOwnName) {
    std::set<fs::path> asides;
    for (const char* text : {"first", "second", "third"}) {
        ASSERT_TRUE(writeFileAtomically(file_, text));
        Defaults defaults(file_);
        ASSERT_TRUE(defaults.fileKeptAside());
        EXPECT_EQ(readWholeFile(*defaults.fileKeptAside()), text);
        asides.insert(*defaults.fileKeptAside());
    }
    EXPECT_EQ(asides.size(), 3u);
    EXPECT_FALSE(Defaults(file_).fileKeptAside());  // no file, nothing put aside
}

// A value that is no setting (a date where a number belongs) falls back alone; the others stay,
// in memory and in the file saved again, and the file as it was is kept aside.
TEST_F(DefaultsTest, AValueOfAnotherKindFallsBackAlone) {
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
        "<key>debug_state</key><date>2021-03-04T05:06:07Z</date>"
        "<key>auto_connect</key><true/><key>station</key><string>Shack</string>"
        "</dict></plist>\n";
    ASSERT_TRUE(writeFileAtomically(file_, xml));
    test::LogCapture log;
    {
        Defaults defaults(file_);
        EXPECT_FALSE(defaults.integerForKey("debug_state").has_value());
        EXPECT_EQ(defaults.boolForKey("auto_connect"), true);
        EXPECT_EQ(defaults.stringForKey("station"), "Shack");
        ASSERT_TRUE(defaults.fileKeptAside());
        EXPECT_EQ(readWholeFile(*defaults.fileKeptAside()), xml);
    }
    EXPECT_TRUE(log.contains("Defaults:load:values not read:[debug_state] preferences:["));
    Defaults reread(file_);
    EXPECT_FALSE(reread.fileKeptAside());
    EXPECT_EQ(reread.dictionaryRepresentation(),
              (PlistDict{{"auto_connect", true}, {"station", "Shack"}}));
}

// What the writer is given that no reader would take back is written so that it reads.
TEST_F(DefaultsTest, TextsThatCannotBeReadBackAreWrittenReadable) {
    {
        Defaults defaults(file_);
        defaults.set("nul", std::string("a\0b", 3));
        defaults.set("broken", std::string("\xff\xfe ok"));
        defaults.set("wide", "73 de \xe2\x80\x94 \xf0\x9f\x93\xbb");
    }
    Defaults reread(file_);
    EXPECT_FALSE(reread.fileKeptAside());
    EXPECT_EQ(reread.stringForKey("nul"),
              "a\xef\xbf\xbd"
              "b");
    EXPECT_EQ(reread.stringForKey("broken"), "\xef\xbf\xbd\xef\xbf\xbd ok");
    EXPECT_EQ(reread.stringForKey("wide"), "73 de \xe2\x80\x94 \xf0\x9f\x93\xbb");
}

}  // namespace
}  // namespace vm
