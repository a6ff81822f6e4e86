#include "platform/core/Process.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <fstream>
#include <string>

#include <unistd.h>

namespace vm {
namespace {

TEST(ProcessTest, ArgumentsReachTheProgramUnparsed) {
    // Shell syntax inside an argument is only text: nothing is expanded or run.
    const auto r = runProcess("printf", {"%s|", "$(echo no)", "a b", "'q'"}, Seconds(10));
    ASSERT_TRUE(r.started);
    EXPECT_EQ(r.output, "$(echo no)|a b|'q'|");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_FALSE(r.timedOut);
}

TEST(ProcessTest, StandardErrorAndExitCodeAreReported) {
    const auto r = runProcess("/bin/sh", {"-c", "echo out; echo err >&2; exit 3"}, Seconds(10));
    EXPECT_EQ(r.output, "out\nerr\n");
    EXPECT_EQ(r.exitCode, 3);
}

TEST(ProcessTest, StandardInputIsEmpty) {
    const auto r = runProcess("cat", {}, Seconds(10));
    EXPECT_EQ(r.output, "");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_FALSE(r.timedOut);
}

TEST(ProcessTest, MissingProgramIsNotStarted) {
    const auto r = runProcess("no-such-program-vm", {}, Seconds(1));
    EXPECT_FALSE(r.started);
    EXPECT_EQ(r.spawnError, ENOENT);
}

TEST(ProcessTest, OutputLargerThanAPipeIsDrainedWhileRunning) {
    // 3 MiB: far beyond a pipe's 64 KiB, so the program finishes only if it is read as it writes.
    const auto r = runProcess("head", {"-c", "3145728", "/dev/zero"}, Seconds(30));
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.output.size(), 3145728u);
}

// True once the process is gone or a zombie (killed, waiting for its reaper).
bool processEnded(const std::string& pid) {
    for (int i = 0; i < 200; ++i) {
        std::ifstream stat("/proc/" + pid + "/stat");
        std::string line;
        if (!std::getline(stat, line) || line.find(") Z") != std::string::npos) {
            return true;
        }
        ::usleep(10000);
    }
    return false;
}

TEST(ProcessTest, TimeOutKillsTheWholeGroupAndReaps) {
    // The shell reports the pid of a child of its own; killing the group ends both.
    const auto r = runProcess("/bin/sh", {"-c", "sleep 30 & echo $!; wait"}, Seconds(0.3));
    EXPECT_TRUE(r.timedOut);
    EXPECT_EQ(r.exitCode, 128 + SIGKILL);
    EXPECT_GE(r.elapsed.count(), 0.3);
    EXPECT_LT(r.elapsed.count(), 5.0);
    const std::string grandchild = r.output.substr(0, r.output.find('\n'));
    ASSERT_FALSE(grandchild.empty());
    EXPECT_TRUE(processEnded(grandchild));
}

TEST(ProcessTest, NegativeOrNanTimeOutIsAlreadyOver) {
    for (double timeout : {-1.0, std::nan("")}) {
        const auto r = runProcess("sleep", {"10"}, Seconds(timeout));
        EXPECT_TRUE(r.timedOut) << timeout;
        EXPECT_LT(r.elapsed.count(), 5.0);
    }
}

TEST(ProcessTest, BackgroundChildHoldingThePipeIsNotWaitedFor) {
    const auto r = runProcess("/bin/sh", {"-c", "sleep 3 & echo done"}, Seconds(10));
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.output, "done\n");
    EXPECT_LT(r.elapsed.count(), 2.5);
}

}  // namespace
}  // namespace vm
