#include "platform/core/Defaults.h"

#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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
    // A stray temporary from an interrupted write changes nothing.
    std::ofstream(folder_ / ".preferences.plist.AbCdEf") << "half a plist";
    Defaults defaults(file_);
    EXPECT_EQ(defaults.integerForKey("kept"), 1);

    // A folder that cannot be created (a file stands in its place): the write fails and says so.
    std::ofstream(folder_ / "not_a_folder") << "x";
    Defaults failing(folder_ / "not_a_folder" / "preferences.plist");
    test::LogCapture log;
    EXPECT_FALSE(failing.set("lost", 1));
    EXPECT_TRUE(log.contains("Defaults:save:failed:"));
    EXPECT_EQ(failing.integerForKey("lost"), 1);  // still held for this run
}

TEST_F(DefaultsTest, AnUnreadableFileIsKeptAside) {
    std::ofstream(file_) << "not a property list";
    test::LogCapture log;
    Defaults defaults(file_);
    EXPECT_FALSE(defaults.object("anything").has_value());
    EXPECT_TRUE(log.contains("Defaults:load:unreadable preferences:"));
    EXPECT_TRUE(fs::exists(file_.string() + ".unreadable"));
    EXPECT_TRUE(defaults.set("fresh", 1));
    EXPECT_EQ(Defaults(file_).integerForKey("fresh"), 1);
}

}  // namespace
}  // namespace vm
