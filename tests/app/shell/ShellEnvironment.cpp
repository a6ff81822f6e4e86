// Every test of this program runs with the application object alive on Qt's offscreen platform,
// a runtime folder of its own and no session bus (so the single-instance claim stays inside this
// run), and a sound system without a sound card.
#include "platform/audio/TestAudioBackend.h"
#include "platform/ui/Application.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

class ShellEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        const std::filesystem::path runtime = std::filesystem::path(std::getenv("HOME")) / "run";
        std::filesystem::create_directories(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        vm::AudioBackend::setShared(std::make_shared<vm::TestAudioBackend>());
        static int argc = 1;
        static char name[] = "test_app_shell";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<vm::Application>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<vm::Application> app_;
};

[[maybe_unused]] ::testing::Environment* const gEnvironment =
    ::testing::AddGlobalTestEnvironment(new ShellEnvironment);

}  // namespace
