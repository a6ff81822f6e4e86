// A program killed at any moment while it saves its memories or band stacks leaves the old file
// or the new one, never a cut one: a child saves in a loop and is killed at random points.
#include "app/memory/SaveLoopContent.h"
#include "platform/core/AtomicFile.h"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>

extern char** environ;

namespace vm {
namespace {

class KilledWhileSavingTest : public ::testing::TestWithParam<bool> {};

TEST_P(KilledWhileSavingTest, LeavesTheOldOrTheNewFile) {
    const bool memories = GetParam();
    const auto path = std::filesystem::path(std::getenv("HOME")) /
                      (memories ? kUserMemoriesFileName : kBandStackFileName);
    const std::string contents[] = {test::loopBytes(memories, 0), test::loopBytes(memories, 1)};
    ASSERT_NE(contents[0], contents[1]);
    ASSERT_TRUE(test::saveContent(memories, 0, path.string()));

    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> pause(0, 30000);  // microseconds
    int changes = 0;
    for (int round = 0; round < 25; ++round) {
        const std::string before = *readWholeFile(path);
        const std::string program = VM_SAVE_LOOP;
        const std::string kind = memories ? "memories" : "bandstacks";
        const std::string target = path.string();
        char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(kind.c_str()),
                        const_cast<char*>(target.c_str()), nullptr};
        pid_t child = 0;
        ASSERT_EQ(::posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ), 0);
        std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the save loop ended by itself: " << status;

        const std::string after = *readWholeFile(path);
        EXPECT_TRUE(after == contents[0] || after == contents[1])
            << "round " << round << ": a cut file of " << after.size() << " bytes";
        changes += after != before;
    }
    // Most rounds the loop got through a save or more: the kills did land among the saves.
    EXPECT_GT(changes, 0);
    removeInterruptedWrites(path);
}

INSTANTIATE_TEST_SUITE_P(Files, KilledWhileSavingTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& kind) {
                             return kind.param ? "memories" : "band_stacks";
                         });

}  // namespace
}  // namespace vm
