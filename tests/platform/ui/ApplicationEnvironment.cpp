// Every test of this program runs with the application object alive, on Qt's offscreen platform
// unless another one is asked for.
#include "platform/ui/Application.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "test_platform_ui";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<vm::Application>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<vm::Application> app_;
};

[[maybe_unused]] ::testing::Environment* const gEnvironment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

}  // namespace
