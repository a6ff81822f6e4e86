#pragma once
// Starts the app controller as the program does, in the test's own home. Standard error is put
// back when the test ends, since start-up points it at the debug log.
#include "app/panels/PanadapterController.h"
#include "app/shell/AppDelegate.h"
#include "app/windows/PreferencesWindow.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Defaults.h"
#include "platform/ui/Alert.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <stdexcept>
#include <string>

namespace vm::test {

// The login window of the controller under test: it shows nothing and loads nothing, so no web
// engine starts in these tests.
struct PagesNotShown : LoginView {
    std::string url;
    void show() override {}
    void hide() override {}
    void load(const std::string& address) override { url = address; }
    std::string currentUrl() const override { return url; }
    void removeAuthProviderCookies() override {}
};

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override { savedStderr_ = ::dup(STDERR_FILENO); }
    void TearDown() override {
        controller.reset();
        Alert::setTestResponder({});
        ::dup2(savedStderr_, STDERR_FILENO);
        ::close(savedStderr_);
    }

    // Start-up and launch, with discovery on a port of its own.
    void launch(std::vector<std::string> arguments = {}) {
        AppOptions options;
        options.arguments = std::move(arguments);
        options.discoveryPort = 0;
        options.loginView = [] { return std::make_unique<PagesNotShown>(); };
        options.endEventLoop = [this] { ++eventLoopEnds; };
        options.updateCheck = updateCheck;
        options.loginManagerBus = loginManagerBus;
        controller = AppDelegate::create(std::move(options));
        ASSERT_EQ(controller->awakeFromNib(), AppDelegate::Start::run);
        controller->applicationDidFinishLaunching();
    }

    std::string logText() const { return readWholeFile(controller->debugLogFilePath).value_or(""); }
    // Pan 0 to 3 of the started controller.
    PanadapterController& panadapter(int pan) const {
        return *controller->panadapters[std::size_t(pan)];
    }

    // A control of the preferences window, found by its outlet name as a person would.
    template <class Control>
    Control& prefsControl(const char* name) const {
        auto* control = controller->prefsWindow->findChild<Control*>(QString::fromLatin1(name));
        if (!control) {
            throw std::runtime_error(std::string("no preferences control ") + name);
        }
        return *control;
    }

    std::shared_ptr<AppDelegate> controller;
    // The launch's update check reads a version file older than any release: it stays silent and
    // goes nowhere. Tests of the check point it at a server of their own.
    UpdateCheckOptions updateCheck = [] {
        UpdateCheckOptions o;
        o.versionFileUrl = "data:,0.01";
        return o;
    }();
    // How often a quit ended the event loop (the tests run none).
    int eventLoopEnds = 0;
    // The address of the bus where the controller looks for the login manager; empty: the
    // system bus.
    std::string loginManagerBus;

private:
    int savedStderr_ = -1;
};

}  // namespace vm::test
