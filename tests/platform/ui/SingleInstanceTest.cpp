// Two starts of a small program: the second hands its "kbrx://" URL to the first and ends with 0,
// over a private session bus, or over the local socket where no session bus answers.
#include "platform/core/AtomicFile.h"
#include "platform/core/Process.h"
#include "platform/ui/SingleInstance.h"
#include "support/PrivateBus.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace vm {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUrl = "kbrx://tune?freq=7.030&mode=CW";

class SingleInstanceTest : public ::testing::Test {
protected:
    // Each start sees the given session bus address and a runtime folder of the test's own.
    QProcessEnvironment environment(const std::string& busAddress) {
        static int runs = 0;
        runtime_ = fs::path(std::getenv("HOME")) / ("instance-run-" + std::to_string(++runs));
        fs::create_directories(runtime_);
        fs::permissions(runtime_, fs::perms::owner_all);
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString(busAddress));
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime_.string()));
        return env;
    }

    // The environment of starts on a private session bus of the test's own.
    QProcessEnvironment busEnvironment() {
        bus_ = std::make_unique<test::PrivateBus>();
        EXPECT_TRUE(bus_->started()) << bus_->failure();
        return environment(bus_->address());
    }

    // Starts the first instance and waits for its first line.
    std::string startFirst(QProcess& first, const QProcessEnvironment& env) {
        first.setProcessEnvironment(env);
        first.start(VM_INSTANCE_PROBE, {});
        return first.waitForReadyRead(10000) ? first.readLine().trimmed().toStdString() : "";
    }

    // Runs a later start to its end; its exit code, or -1 when it did not end normally.
    static int runSecond(const QProcessEnvironment& env, const QStringList& arguments) {
        QProcess second;
        second.setProcessEnvironment(env);
        second.start(VM_INSTANCE_PROBE, arguments);
        if (!second.waitForFinished(15000) || second.exitStatus() != QProcess::NormalExit) {
            second.kill();
            second.waitForFinished();
            return -1;
        }
        return second.exitCode();
    }

    static std::string restOf(QProcess& first) {
        first.waitForFinished(10000);
        return first.readAllStandardOutput().trimmed().toStdString();
    }

    fs::path runtime_;
    std::unique_ptr<test::PrivateBus> bus_;
};

TEST_F(SingleInstanceTest, ASecondStartHandsItsUrlToTheFirstOverTheSessionBus) {
    const auto env = busEnvironment();
    QProcess first;
    ASSERT_EQ(startFirst(first, env), "primary bus");
    EXPECT_EQ(runSecond(env, {"--some-option", kUrl}), 0);
    EXPECT_EQ(restOf(first), std::string("url ") + kUrl);
    EXPECT_EQ(first.exitCode(), 0);
}

TEST_F(SingleInstanceTest, WithoutASessionBusALocalSocketInTheRuntimeFolderDoesTheSame) {
    const auto env = environment("unix:path=/nonexistent/bus");
    QProcess first;
    ASSERT_EQ(startFirst(first, env), "primary socket");
    EXPECT_TRUE(fs::exists(runtime_ / "com.velmorasoftware.velmoraSDR.socket"));
    EXPECT_EQ(runSecond(env, {kUrl}), 0);
    EXPECT_EQ(restOf(first), std::string("url ") + kUrl);
    EXPECT_EQ(first.exitCode(), 0);
}

TEST_F(SingleInstanceTest, ALaterStartWithoutAUrlIsRefusedAndHandsNothingOver) {
    const auto env = busEnvironment();
    QProcess first;
    ASSERT_EQ(startFirst(first, env), "primary bus");
    EXPECT_EQ(runSecond(env, {}), 2);
    EXPECT_EQ(runSecond(env, {"kbrx://spot?call=K1ABC"}), 0);  // the first ends after this one
    EXPECT_EQ(restOf(first), "url kbrx://spot?call=K1ABC");
}

TEST(SingleInstanceArgumentsTest, OnlyOurSchemeIsHandedOver) {
    EXPECT_EQ(
        SingleInstance::urlsFromArguments({"velmorasdr", "-platform", "offscreen", kUrl,
                                           "KBRX://tune?freq=1", "kbrx:", "http://x", "kbrx"}),
        (std::vector<std::string>{kUrl, "KBRX://tune?freq=1"}));
}

TEST(DesktopEntryTest, TheDesktopEntryRegistersTheProgramForKbrxLinks) {
    const auto entry = fs::path(VM_SOURCE_DIR) / "data" / "velmorasdr.desktop";
    const auto checked = runProcess("desktop-file-validate", {entry.string()}, Seconds(10));
    ASSERT_TRUE(checked.started) << "desktop-file-validate (desktop-file-utils) is not installed";
    EXPECT_EQ(checked.exitCode, 0) << checked.output;
    const auto text = readWholeFile(entry);
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("\nMimeType=x-scheme-handler/kbrx;\n"), std::string::npos);
    EXPECT_NE(text->find("\nExec=velmorasdr %u\n"),
              std::string::npos);  // the link's URL as argument
}

}  // namespace
}  // namespace vm
