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

#include <gio/gio.h>
#include <libsecret/secret.h>
#include <gtest/gtest.h>
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

// Sets or clears environment variables for one test and puts them back afterwards.
class ScopedEnv {
public:
    void set(const char* name, const char* value) {
        if (!saved_.count(name)) {
            const char* old = std::getenv(name);
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnv() {
        for (const auto& [name, value] : saved_) {
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
        }
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

// A session bus of the test's own, with no service files: nothing on it starts by activation.
constexpr const char* kBusConfig = R"(<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

class PrivateBusTest : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path home(std::getenv("HOME"));
        static int runs = 0;  // a keyring daemon of an earlier test may still hold its folder
        const auto runtime = home / ("run-" + std::to_string(++runs));
        fs::create_directories(runtime);
        fs::permissions(runtime, fs::perms::owner_all);
        env_.set("XDG_RUNTIME_DIR", runtime.c_str());
        const auto config = home / "bus.conf";
        ASSERT_TRUE(writeFileAtomically(config, kBusConfig));
        const auto daemon = runProcess(
            "dbus-daemon", {"--config-file=" + config.string(), "--fork", "--print-address=1", "--print-pid=1"},
            Seconds(10));
        ASSERT_TRUE(daemon.started);
        const auto newline = daemon.output.find('\n');
        address_ = daemon.output.substr(0, newline);
        busPid_ = std::atoi(daemon.output.substr(newline + 1).c_str());
        ASSERT_FALSE(address_.empty());
        ASSERT_GT(busPid_, 0);
        env_.set("DBUS_SESSION_BUS_ADDRESS", address_.c_str());
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
        if (busPid_ > 0) {
            ::kill(busPid_, SIGTERM);  // a keyring daemon on it ends with it
        }
    }

    ScopedEnv env_;
    std::string address_;
    int busPid_ = 0;
};

TEST(SecretStoreSelectionTest, WithoutASessionBusTheStandardStoreIsTheConfigFile) {
    ScopedEnv env;
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
        "/bin/sh", {"-c", "printf test | gnome-keyring-daemon --unlock --components=secrets --daemonize"},
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
    ASSERT_TRUE(store) << runProcess("gdbus", {"call", "--session", "--dest", "org.freedesktop.secrets", "--object-path", "/org/freedesktop/secrets", "--method", "org.freedesktop.DBus.Peer.Ping"}, Seconds(5)).output << " keyring:" << keyring.output;
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
