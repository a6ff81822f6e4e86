#include "app/shell/ReleaseVersion.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

TEST(ReleaseVersion, TheRunningVersionCountsATestBuildAsTheReleaseBefore) {
    const struct {
        const char* shortVersion;
        const char* build;
        double running;
    } cases[] = {
        {"2.30", "2.30", 2.30},     {"2.31", "2.31b2", 2.30}, {"0.1", "0.1.0", 0.10},
        {"2.3", "2.3.1", 2.30},     {"3", "3b", 2.99},        {"", "", 0},
        {"2.30.7", "2.30.7", 2.30},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(runningReleaseVersion(c.shortVersion, c.build), c.running)
            << c.shortVersion << " " << c.build;
    }
}

TEST(ReleaseVersion, TheVersionFileGivesTheNumberBetweenItsDigits) {
    const struct {
        const char* text;
        double latest;
    } cases[] = {
        {"2.31", 2.31},
        {"2.31\n", 2.31},
        {"version 2.31 released", 2.31},
        {"\xef\xbb\xbf"
         "2.4",
         2.40},
        {"2.312", 2.31},
        {"7", 7},
        {"letters only", 0},
        {"", 0},
        {"-.", 0},
        {"2.31.5", 2.31},
        {"2 or 3", 2},
        {"99999999999999999999", 1e20},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(latestReleaseVersion(c.text), c.latest) << c.text;
    }
}

}  // namespace
}  // namespace vm
