// One program per user: a start while another runs is told so and ends with status 0; a start
// that only carries a "kbrx://" link hands it to the running program and ends quietly.
#include "AppFixture.h"

#include "platform/core/Process.h"
#include "platform/ui/SingleInstance.h"

#include <QProcess>

#include <filesystem>

namespace vm {
namespace {

using test::AppFixture;

TEST_F(AppFixture, ASecondStartIsToldAndEndsBeforeMakingAnything) {
    SingleInstance first;
    ASSERT_TRUE(first.claim([](const std::string&) {}));
    std::string told;
    Alert::setTestResponder([&](Alert& alert) {
        told = alert.messageText() + " " + alert.informativeText();
        return 0;
    });
    controller = AppDelegate::create({{}, 0});
    EXPECT_EQ(controller->awakeFromNib(), AppDelegate::Start::alreadyRunning);
    EXPECT_EQ(told, "velmoraSDR is already running. This instance will quit.");
    EXPECT_NE(logText().find("velmoraSDR is already running. This instance will quit\n"),
              std::string::npos);
    EXPECT_EQ(controller->kbrx_background_queue, nullptr);
    EXPECT_EQ(controller->panadapters[0], nullptr);
}

TEST_F(AppFixture, TheProgramStartedAgainWithALinkHandsItOverAndExitsZero) {
    // The program's launch does not look for a newer release (that would leave the machine).
    Defaults::standard().set("check_for_updates", PlistValue(std::int64_t{0}));
    ASSERT_TRUE(Defaults::standard().flush());
    QProcess running;
    running.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    running.start(VM_APP_PROGRAM, {});
    ASSERT_TRUE(running.waitForStarted(10000));
    const std::filesystem::path logs =
        std::filesystem::path(std::getenv("HOME")) / "Documents/velmoraSDR_Files/debug_log_files";
    auto logOfRun = [&] {
        std::string all;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(logs, ec)) {
            all += readWholeFile(entry.path()).value_or("");
        }
        return all;
    };
    ASSERT_TRUE(runMainUntil([&] { return logOfRun().find("openDoroSDR:") != std::string::npos; },
                             std::chrono::seconds(20)));

    const ProcessResult second =
        runProcess(VM_APP_PROGRAM, {"kbrx://tune?freq=7.030&mode=CW"}, Seconds(20));
    EXPECT_FALSE(second.timedOut);
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_TRUE(runMainUntil([&] {
        return logOfRun().find("handleURLEvent:url:[kbrx://tune?freq=7.030&mode=CW]") !=
               std::string::npos;
    }));
    running.kill();
    running.waitForFinished();
}

}  // namespace
}  // namespace vm
