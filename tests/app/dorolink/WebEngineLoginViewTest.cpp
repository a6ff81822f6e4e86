// The application's login window on the web engine: a loaded page reaches the login controller's
// hook with its address and its text. Runs offscreen; the engine's sandbox is off because test
// machines may run the tests as root, where the engine refuses to start with it.
#include "app/dorolink/WebEngineLoginView.h"
#include "platform/ui/Application.h"

#include <QApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace vm {
namespace {

class WebEngineEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
        ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu", 0);
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        static int argc = 1;
        static char name[] = "test_app_dorolink_webengine";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<Application>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<Application> app_;
};

[[maybe_unused]] ::testing::Environment* const gEnvironment =
    ::testing::AddGlobalTestEnvironment(new WebEngineEnvironment);

TEST(WebEngineLoginViewTest, LoadedPageReachesTheHookWithItsText) {
    WebEngineLoginView view;
    EXPECT_EQ(view.currentUrl(), "");
    std::string url, text;
    bool finished = false;
    view.setPageFinished([&](const std::string& address, const std::string& body) {
        url = address;
        text = body;
        finished = true;
    });
    view.show();
    view.removeAuthProviderCookies();
    view.load("data:text/plain,OK");
    QElapsedTimer clock;
    clock.start();
    while (!finished && clock.elapsed() < 60000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    ASSERT_TRUE(finished) << "the page did not load";
    EXPECT_EQ(text, "OK");
    EXPECT_EQ(url, "data:text/plain,OK");
    EXPECT_EQ(view.currentUrl(), "data:text/plain,OK");
    view.hide();
}

}  // namespace
}  // namespace vm
