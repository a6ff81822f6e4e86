#include "util/SharedFunctions.h"

#include "platform/core/DispatchClock.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

namespace vm {
namespace {

namespace fs = std::filesystem;

TEST(SharedFunctionsTest, DispatchTimerFiresAtOnceThenEveryInterval) {
    std::atomic<int> fired{0};
    auto timer = vm_create_dispatch_timer(1'000'000'000ull, 100'000'000ull, DispatchQueue::main(),
                                          [&] { ++fired; });
    ASSERT_TRUE(timer);
    EXPECT_TRUE(runMainUntil([&] { return fired.load() == 1; }));
    DispatchClock::advance(std::chrono::seconds(1));
    EXPECT_TRUE(runMainUntil([&] { return fired.load() == 2; }));
    timer->cancel();
    test::advanceBarrier(DispatchQueue::main(), std::chrono::seconds(5));
    EXPECT_EQ(fired.load(), 2);
}

TEST(SharedFunctionsTest, GroupMembership) {
    EXPECT_FALSE(userIsListedInGroup("root", "no-such-group-vm"));
    // A group of this machine that lists members, if there is one.
    std::ifstream groups("/etc/group");
    std::string line;
    while (std::getline(groups, line)) {
        const auto members = line.substr(line.rfind(':') + 1);
        if (!members.empty()) {
            const std::string group = line.substr(0, line.find(':'));
            const std::string first = members.substr(0, members.find(','));
            EXPECT_TRUE(userIsListedInGroup(first, group)) << line;
            EXPECT_FALSE(userIsListedInGroup(first + "x", group)) << line;
            break;
        }
    }
    EXPECT_EQ(hasAdminPrivileges(),
              userIsListedInGroup(std::getenv("USER") ? std::getenv("USER") : "root", "admin"));
}

TEST(SharedFunctionsTest, MainThreadWarningLogsTheStackOnlyOnTheMainThread) {
    test::LogCapture logs;
    std::thread([] { threadMainWarning(); }).join();
    EXPECT_TRUE(logs.lines().empty());
    threadMainWarning();
    ASSERT_EQ(logs.lines().size(), 1u);
    // One line: the stack's line breaks are escaped like any other in a log line.
    const std::string prefix = "threadCheckWarning: called on main thread:\\n";
    EXPECT_EQ(logs.lines()[0].substr(0, prefix.size()), prefix);
    EXPECT_GT(logs.lines()[0].size(), prefix.size());
}

TEST(SharedFunctionsTest, VersionString) {
    EXPECT_TRUE(std::regex_match(displayLongVersionString(), std::regex(R"(v\d+\.\d+\.\d+)")))
        << displayLongVersionString();
}

class RunScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* path = std::getenv("PATH");
        savedPath_ = path ? path : "";
        bin_ = fs::path(std::getenv("HOME")) / "bin";
        fs::create_directories(bin_);
    }
    void TearDown() override {
        ::setenv("PATH", savedPath_.c_str(), 1);
        fs::remove_all(bin_);
    }
    // An "osascript" that prints the arguments it was given.
    void installInterpreter() {
        const auto script = bin_ / "osascript";
        std::ofstream(script) << "#!/bin/sh\nprintf '%s|' \"$@\"\n";
        fs::permissions(script, fs::perms::owner_all);
        ::setenv("PATH", (bin_.string() + ":" + savedPath_).c_str(), 1);
    }
    std::string savedPath_;
    fs::path bin_;
};

TEST_F(RunScriptTest, EmptySourceIsRefused) {
    test::LogCapture logs;
    EXPECT_EQ(runScript(""), "runScript:error:null script.");
    EXPECT_EQ(logs.lines(), std::vector<std::string>{"runScript:error:null script"});
}

TEST_F(RunScriptTest, MissingInterpreterGivesAnErrorText) {
    ::setenv("PATH", bin_.c_str(), 1);
    test::LogCapture logs;
    EXPECT_EQ(runScript("tell application \"x\" to activate"), "runScript:error:no osascript.");
    EXPECT_TRUE(logs.contains("runScript:error:no osascript:"));
}

TEST_F(RunScriptTest, SourceReachesTheInterpreterAsOneArgument) {
    installInterpreter();
    const auto marker = bin_ / "injected";
    const std::string source = "return 1' ; touch " + marker.string() + " ; echo '$(id)";
    EXPECT_EQ(runScript(source), "-e|" + source + "|");
    EXPECT_FALSE(fs::exists(marker));
}

TEST(AppIsRunningTest, FindsProcessesByName) {
    std::ifstream comm("/proc/self/comm");
    std::string self;
    std::getline(comm, self);
    ASSERT_FALSE(self.empty());
    test::LogCapture logs;
    EXPECT_TRUE(appIsRunning(self, true));
    EXPECT_EQ(logs.lines(),
              std::vector<std::string>{"appIsRunning:" + self + " Version unknown is running"});
    EXPECT_TRUE(appIsRunning(self, false));
    EXPECT_EQ(logs.lines().size(), 1u);
    EXPECT_FALSE(appIsRunning("", true));
    EXPECT_FALSE(appIsRunning("no-such-program-vm", true));
    EXPECT_FALSE(appIsRunning(self.substr(0, self.size() - 1), false));  // names match exactly
}

TEST(DecodeJwtTest, ClaimsWithEveryPadding) {
    struct Case {
        std::string token;
        std::optional<std::string> claims;
    } cases[] = {
        {"eyJhbGciOiJIUzI1NiJ9.eyJzdWIiOiJXMUFXIn0.sig", R"({"sub":"W1AW"})"},  // 19 chars: one "="
        {"h.eyJzdWIiOiJXMUFXMSJ9.sig", R"({"sub":"W1AW1"})"},                   // 20: none
        {"h.eyJzdWIiOiJXMUFXMTIifQ.sig", R"({"sub":"W1AW12"})"},                // 22: two "="
        {"h.eyJzdWIiOiJXMUFXMTIifQ==.sig", R"({"sub":"W1AW12"})"},              // already padded
        {"h.eyJhIjoiPz4_In0", R"({"a":"?>?"})"},                                // "_" is "/"
        {"h.eyJuIjoiw7_Dvj8-In0.s", "{\"n\":\"\xC3\xBF\xC3\xBE?>\"}"},          // "-" is "+"
        {"h..sig", ""},
        {"h.eyJzdWIiOiJXMUFXMSJ9A", std::nullopt},  // 21 chars: 3 "="
        {"h.eyJz!WIiOiJXMUFXIn0", std::nullopt},    // not Base64
        {"h.eyJzd=IiOiJXMUFXIn0", std::nullopt},    // "=" inside
        {"h.__4", std::nullopt},                    // bytes FF FE: not UTF-8
        {"no-dot-at-all", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decodeJWT(c.token), c.claims) << c.token;
    }
}

}  // namespace
}  // namespace vm
