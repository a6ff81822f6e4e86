// The Secret Service store and the choice of the standard store, on a private session bus. glib's
// D-Bus thread allocates through glib's own slice allocator, which ThreadSanitizer cannot see
// into, so these tests run in a program of their own. glib keeps the session connection that
// libsecret used for the life of the process, so each case wants a process of its own (as CTest
// runs them); repeat them with a loop of runs, not with --gtest_repeat.
#include "platform/core/AtomicFile.h"
#include "platform/core/Defaults.h"
#include "platform/core/FileSecretStore.h"
#include "platform/core/Process.h"
#include "platform/core/SecretServiceStore.h"
#include "support/PrivateBus.h"
#include "support/ScopedEnv.h"

#include <gio/gio.h>
#include <gtest/gtest.h>
#include <libsecret/secret.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace vm {
namespace {

namespace fs = std::filesystem;

class PrivateBusTest : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path home(std::getenv("HOME"));
        static int runs = 0;  // a keyring daemon of an earlier test may still hold its folder
        const auto runtime = home / ("run-" + std::to_string(++runs));
        fs::create_directories(runtime);
        fs::permissions(runtime, fs::perms::owner_all);
        env_.set("XDG_RUNTIME_DIR", runtime.c_str());
        bus_ = std::make_unique<test::PrivateBus>();
        ASSERT_TRUE(bus_->started()) << bus_->failure();
        env_.set("DBUS_SESSION_BUS_ADDRESS", bus_->address().c_str());
        SecretStore::setStandard(nullptr);
    }
    void TearDown() override {
        SecretStore::setStandard(nullptr);
        secret_service_disconnect();  // libsecret keeps its connection for the next test otherwise
        // The process's shared connection would end the process when its bus goes away.
        if (GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr)) {
            g_dbus_connection_set_exit_on_close(bus, FALSE);
            g_object_unref(bus);
        }
        bus_.reset();  // a keyring daemon on it ends with it
    }

    test::ScopedEnv env_;
    std::unique_ptr<test::PrivateBus> bus_;
};

TEST(SecretStoreSelectionTest, WithoutASessionBusTheStandardStoreIsTheConfigFile) {
    test::ScopedEnv env;
    env.set("DBUS_SESSION_BUS_ADDRESS", nullptr);
    env.set("XDG_RUNTIME_DIR", nullptr);
    SecretStore::setStandard(nullptr);
    auto store = std::dynamic_pointer_cast<FileSecretStore>(SecretStore::standard());
    ASSERT_TRUE(store);
    EXPECT_EQ(store->path(), Defaults::configFolder() / "secrets.plist");
    EXPECT_EQ(SecretStore::standard(), store);  // chosen once
    SecretStore::setStandard(nullptr);
}

TEST_F(PrivateBusTest, ABusWithoutASecretServiceIsNotUsed) {
    EXPECT_EQ(SecretServiceStore::connect(), nullptr);
    EXPECT_TRUE(std::dynamic_pointer_cast<FileSecretStore>(SecretStore::standard()));
}

TEST_F(PrivateBusTest, ItemsRoundTripThroughARunningSecretService) {
    // A keyring daemon on the private bus, its login keyring made and unlocked with a password
    // given on its standard input.
    const auto keyring = runProcess(
        "/bin/sh",
        {"-c", "printf test | gnome-keyring-daemon --unlock --components=secrets --daemonize"},
        Seconds(10));
    ASSERT_TRUE(keyring.started);
    ASSERT_EQ(keyring.exitCode, 0) << keyring.output;

    // The daemon's parent returns before the daemon has taken its name on the bus.
    std::shared_ptr<SecretServiceStore> store;
    for (int i = 0; i < 200 && !store; ++i) {
        store = SecretServiceStore::connect();
        if (!store) {
            ::usleep(25000);
        }
    }
    ASSERT_TRUE(store) << runProcess("gdbus",
                                     {"call", "--session", "--dest", "org.freedesktop.secrets",
                                      "--object-path", "/org/freedesktop/secrets", "--method",
                                      "org.freedesktop.DBus.Peer.Ping"},
                                     Seconds(5))
                              .output
                       << " keyring:" << keyring.output;
    const SecretQuery token{"com.example.token", "token", "token"};
    EXPECT_EQ(store->find(token), std::nullopt);
    EXPECT_EQ(store->update(token, "x"), kSecretItemNotFound);
    const Bytes binary("a\0b\xff", 4);
    EXPECT_EQ(store->add(token, binary), kSecretSuccess);
    EXPECT_EQ(store->add(token, "again"), kSecretDuplicateItem);
    EXPECT_EQ(store->find(token), binary);
    EXPECT_EQ(store->update(token, "new"), kSecretSuccess);
    EXPECT_EQ(store->find(token), "new");
    EXPECT_EQ(store->find(SecretQuery{"com.example.token", "other", "token"}), std::nullopt);

    EXPECT_TRUE(std::dynamic_pointer_cast<SecretServiceStore>(SecretStore::standard()));
}

}  // namespace
}  // namespace vm
