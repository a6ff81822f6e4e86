// The debug log's file name, its opening, the purge of old logs, and the program's folders.
#include "app/shell/AppFolders.h"
#include "app/shell/DebugLogFiles.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace vm {
namespace {

namespace fs = std::filesystem;

constexpr double kWeek = 604800;

class PurgeTest : public ::testing::Test {
protected:
    // A folder of the test's own (the cases share one home when the program runs whole), with a
    // path long enough for the purge to act.
    fs::path folder = fs::path(std::getenv("HOME")) / "purge" /
                      ::testing::UnitTest::GetInstance()->current_test_info()->name() /
                      "debug_log_files";

    void SetUp() override { fs::create_directories(folder); }

    void file(const std::string& name, double ageSeconds, std::size_t bytes = 100) {
        const fs::path path = folder / name;
        std::ofstream(path) << std::string(bytes, 'x');
        const timespec times[2] = {{std::time(nullptr) - std::time_t(ageSeconds), 0},
                                   {std::time(nullptr) - std::time_t(ageSeconds), 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }
    bool exists(const std::string& name) const { return fs::exists(folder / name); }
};

// Nobody can point the log elsewhere with a link put in its place; standard error stays as it was.
TEST(DebugLogFile, ALinkInItsPlaceIsRefused) {
    const fs::path folder = fs::path(std::getenv("HOME")) / "links";
    fs::create_directories(folder);
    const fs::path target = folder / "elsewhere.txt";
    std::ofstream(target) << "";
    const fs::path log = folder / "20250101_000000.txt";
    fs::create_symlink(target, log);
    EXPECT_FALSE(redirectStandardError(log.string()));
    EXPECT_EQ(errno, ELOOP);
    EXPECT_EQ(fs::file_size(target), 0u);
    fs::create_directory(folder / "a_folder.txt");
    EXPECT_FALSE(redirectStandardError((folder / "a_folder.txt").string()));
}

TEST(AppFoldersTest, AreMadeForTheUserAloneWhateverTheUmask) {
    const mode_t saved = ::umask(0);
    const AppFolders folders = checkFolders();
    ::umask(saved);
    for (const std::string& path :
         {folders.debugPath, folders.tmpPath, folders.soundFilesPath, folders.dataFilesPath,
          (fs::path(folders.debugPath).parent_path().parent_path()).string()}) {
        struct stat status {};
        ASSERT_EQ(::stat(path.c_str(), &status), 0) << path;
        EXPECT_EQ(status.st_mode & 07777, 0700u) << path;
    }
}

TEST(DebugLogFileName, IsTheLocalStartTimeZeroPadded) {
    std::tm local{};
    local.tm_year = 2024 - 1900;
    local.tm_mon = 0;
    local.tm_mday = 5;
    local.tm_hour = 7;
    local.tm_min = 8;
    local.tm_sec = 9;
    local.tm_isdst = -1;
    EXPECT_EQ(debugLogFileName(std::mktime(&local)), "20240105_070809.txt");
}

TEST_F(PurgeTest, NineOldLogsAreAllKept) {
    for (int i = 0; i < 9; ++i) {
        file("old" + std::to_string(i) + ".txt", 2 * kWeek);
    }
    purgeFilesAtPath(folder.string() + "/", kWeek, "txt");
    for (int i = 0; i < 9; ++i) {
        EXPECT_TRUE(exists("old" + std::to_string(i) + ".txt"));
    }
}

TEST_F(PurgeTest, TenEntriesRemoveOnlyOldFilesOfTheExtensionInAnyCase) {
    test::LogCapture capture;
    for (int i = 0; i < 6; ++i) {
        file("old" + std::to_string(i) + ".txt", 2 * kWeek, 512);
    }
    file("SHOUTING.TXT", 2 * kWeek, 512);
    file("recent.txt", 3600);
    file("old.csv", 2 * kWeek);
    fs::create_directory(folder / "folder.txt");
    ASSERT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 10);

    purgeFilesAtPath(folder.string() + "/", kWeek, "txt");

    for (int i = 0; i < 6; ++i) {
        EXPECT_FALSE(exists("old" + std::to_string(i) + ".txt"));
    }
    EXPECT_FALSE(exists("SHOUTING.TXT"));
    EXPECT_TRUE(exists("recent.txt"));
    EXPECT_TRUE(exists("old.csv"));
    EXPECT_TRUE(fs::is_directory(folder / "folder.txt"));
    EXPECT_TRUE(capture.contains("purgeFilesAtPath:     3.5 KB saved in debug_log_files .txt"))
        << (capture.lines().empty() ? "" : capture.lines().back());
}

TEST_F(PurgeTest, RefusesShortPathsShortAgesAndNoExtension) {
    for (int i = 0; i < 12; ++i) {
        file("old" + std::to_string(i) + ".txt", 2 * kWeek);
    }
    purgeFilesAtPath(folder.string() + "/", 3599, "txt");
    purgeFilesAtPath(folder.string() + "/", kWeek, "");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 12);
}

}  // namespace
}  // namespace vm
