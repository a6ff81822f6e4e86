#include "ControlEnvironment.h"

#include "platform/audio/TestAudioBackend.h"
#include "platform/core/DispatchQueue.h"
#include "platform/ui/Application.h"
#include "support/PrivateBus.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace vm::test {

namespace {

NotificationServer* gServer = nullptr;

class ControlEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(bus_.started()) << bus_.failure();
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        const std::filesystem::path runtime = std::filesystem::path(std::getenv("HOME")) / "run";
        std::filesystem::create_directories(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        ::setenv("DBUS_SESSION_BUS_ADDRESS", bus_.address().c_str(), 1);
        AudioBackend::setShared(std::make_shared<TestAudioBackend>());
        static int argc = 1;
        static char name[] = "test_app_control";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<Application>(argc, argv);

        QDBusConnection connection =
            QDBusConnection::connectToBus(QString::fromStdString(bus_.address()), "notices");
        ASSERT_TRUE(connection.isConnected());
        server_ = std::make_unique<NotificationServer>();
        ASSERT_TRUE(connection.registerObject("/org/freedesktop/Notifications", server_.get(),
                                              QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(connection.registerService("org.freedesktop.Notifications"));
        gServer = server_.get();
    }
    void TearDown() override {
        gServer = nullptr;
        QDBusConnection::disconnectFromBus("notices");
        server_.reset();
        app_.reset();
    }

private:
    PrivateBus bus_;
    std::unique_ptr<Application> app_;
    std::unique_ptr<NotificationServer> server_;
};

[[maybe_unused]] ::testing::Environment* const gEnvironment =
    ::testing::AddGlobalTestEnvironment(new ControlEnvironment);

}  // namespace

bool NotificationServer::received(const std::string& title, const std::string& text) const {
    for (const Notice& notice : notices) {
        if (notice.title == title && notice.text == text) {
            return true;
        }
    }
    return false;
}

uint NotificationServer::Notify(const QString&, uint, const QString&, const QString& summary,
                                const QString& body, const QStringList&, const QVariantMap&, int) {
    notices.push_back({summary.toStdString(), body.toStdString()});
    return static_cast<uint>(notices.size());
}

NotificationServer& notificationServer() { return *gServer; }

bool runEventsUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (runMainUntil(done, std::chrono::milliseconds(10))) {
            return true;
        }
    }
    return done();
}

}  // namespace vm::test
