// The program started on a preferences file it cannot read, or can read only in part: it keeps
// running, says so in its log, keeps the file aside and tells the user once.
#include "platform/core/AtomicFile.h"
#include "support/HostilePlists.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>

namespace vm {
namespace {

namespace fs = std::filesystem;

// A loopback port that refuses every connection while the test runs: bound, never listening.
class RefusingPort {
public:
    RefusingPort() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
            port_ = ntohs(address.sin_port);
        }
    }
    ~RefusingPort() {
        if (fd_ >= 0) ::close(fd_);
    }
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;
    int port() const { return port_; }

private:
    int fd_;
    int port_ = 0;
};

// A home of its own for each start, so that nothing of another test's run is shared.
class ProgramRun {
public:
    explicit ProgramRun(const std::string& name)
        : home_(fs::path(std::getenv("HOME")) / ("hostile-" + name)) {
        EXPECT_NE(proxy_.port(), 0);
        fs::create_directories(config());
        fs::create_directories(home_ / "runtime");
        fs::permissions(home_ / "runtime", fs::perms::owner_all);
    }
    fs::path config() const { return home_ / ".config"; }
    fs::path preferences() const { return config() / "velmoraSDR" / "preferences.plist"; }

    // Starts the program and waits until it has finished launching; then ends it.
    bool startAndEnd() {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", QString::fromStdString(home_.string()));
        environment.insert("XDG_CONFIG_HOME", QString::fromStdString(config().string()));
        environment.insert("XDG_RUNTIME_DIR", QString::fromStdString((home_ / "runtime").string()));
        // Unreadable preferences leave the launch's update check on: it goes to a proxy on a
        // loopback port that refuses it, never off the machine.
        environment.insert("https_proxy", QStringLiteral("http://127.0.0.1:%1").arg(proxy_.port()));
        environment.remove("no_proxy");
        environment.remove("NO_PROXY");
        program.setProcessEnvironment(environment);
        program.start(VM_APP_PROGRAM, {});
        if (!program.waitForStarted(10000)) {
            return false;
        }
        bool launched = false;
        for (int i = 0; i < 400 && !launched && program.state() == QProcess::Running; ++i) {
            program.waitForFinished(50);
            launched = log().find("openDoroSDR:") != std::string::npos;
        }
        const bool running = program.state() == QProcess::Running;
        program.kill();
        program.waitForFinished();
        return launched && running;
    }

    // Every debug log of this home, one after the other.
    std::string log() const {
        std::string all;
        std::error_code ec;
        for (const auto& entry :
             fs::directory_iterator(home_ / "Documents/velmoraSDR_Files/debug_log_files", ec)) {
            all += readWholeFile(entry.path()).value_or("");
        }
        return all;
    }

    std::vector<fs::path> keptAside() const {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(preferences().parent_path())) {
            if (entry.path().extension() == ".unreadable") files.push_back(entry.path());
        }
        return files;
    }

private:
    RefusingPort proxy_;
    fs::path home_;
};

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

class HostilePreferences : public ::testing::TestWithParam<test::HostilePlist> {};

TEST_P(HostilePreferences, LeaveTheProgramRunningWithTheFileAside) {
    ProgramRun run(GetParam().name);
    const std::string bytes = GetParam().bytes();
    ASSERT_TRUE(writeFileAtomically(run.preferences(), bytes));
    ASSERT_TRUE(run.startAndEnd()) << run.log();
    const std::string log = run.log();
    EXPECT_EQ(count(log, "Defaults:load:unreadable preferences:["), 1u) << log;
    EXPECT_EQ(count(log, "tellPreferencesKeptAside:["), 1u);
    const auto aside = run.keptAside();
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(readWholeFile(aside[0]), bytes);
}

INSTANTIATE_TEST_SUITE_P(Files, HostilePreferences, ::testing::ValuesIn(test::hostilePlists()),
                         [](const ::testing::TestParamInfo<test::HostilePlist>& c) {
                             return c.param.name;
                         });

TEST(HostilePreferencesOnce, ADateWhereANumberBelongsFallsBackAloneAndIsToldOnce) {
    ProgramRun run("date");
    ASSERT_TRUE(writeFileAtomically(
        run.preferences(),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
        "<key>debug_state</key><date>2021-03-04T05:06:07Z</date>"
        "<key>vmsdr_station_name</key><string>Shack</string></dict></plist>\n"));
    ASSERT_TRUE(run.startAndEnd()) << run.log();
    ASSERT_TRUE(run.startAndEnd()) << run.log();
    const std::string log = run.log();
    EXPECT_EQ(count(log, "Defaults:load:values not read:[debug_state]"), 1u) << log;
    EXPECT_EQ(count(log, "tellPreferencesKeptAside:["), 1u);
    EXPECT_EQ(run.keptAside().size(), 1u);
    const auto kept = readWholeFile(run.preferences());
    ASSERT_TRUE(kept);
    EXPECT_NE(kept->find("Shack"), std::string::npos);
}

}  // namespace
}  // namespace vm
