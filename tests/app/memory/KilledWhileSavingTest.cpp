// A program killed at any moment while it saves its memories or band stacks leaves the old file
// or the new one, never a cut one: a child saves in a loop and is killed at random points.
#include "app/memory/SaveLoopContent.h"
#include "platform/core/AtomicFile.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
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
    std::uniform_int_distribution<int> pause(0, 20000);  // microseconds
    for (int round = 0; round < 25; ++round) {
        const std::string program = VM_SAVE_LOOP;
        const std::string kind = memories ? "memories" : "bandstacks";
        const std::string target = path.string();
        char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(kind.c_str()),
                        const_cast<char*>(target.c_str()), nullptr};
        int saves[2];
        ASSERT_EQ(::pipe(saves), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, saves[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, saves[0]);
        pid_t child = 0;
        const int spawned =
            ::posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(saves[1]);
        ASSERT_EQ(spawned, 0);
        // The loop is under way once it has finished a save; then it is killed somewhere in the
        // saves that follow.
        pollfd first{saves[0], POLLIN, 0};
        char mark = 0;
        const bool underWay = ::poll(&first, 1, 20000) == 1 && ::read(saves[0], &mark, 1) == 1;
        std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ::close(saves[0]);
        ASSERT_TRUE(underWay) << "the save loop finished no save";
        ASSERT_TRUE(WIFSIGNALED(status)) << "the save loop ended by itself: " << status;

        const std::string after = *readWholeFile(path);
        EXPECT_TRUE(after == contents[0] || after == contents[1])
            << "round " << round << ": a cut file of " << after.size() << " bytes";
    }
    removeInterruptedWrites(path);
}

INSTANTIATE_TEST_SUITE_P(Files, KilledWhileSavingTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& kind) {
                             return kind.param ? "memories" : "band_stacks";
                         });

}  // namespace
}  // namespace vm
