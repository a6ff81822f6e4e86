// Which secret store is chosen. glib's D-Bus thread allocates through glib's own slice allocator,
// which ThreadSanitizer cannot see into, so these tests run in a program of their own.
#include "platform/core/Defaults.h"
#include "platform/core/FileSecretStore.h"
#include "platform/core/Process.h"
#include "platform/core/SecretServiceStore.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace vm {
namespace {

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

TEST(SecretStoreSelectionTest, ABusWithoutASecretServiceIsNotUsed) {
    // A private session bus on which nothing owns org.freedesktop.secrets, and no service file
    // could start one.
    ScopedEnv env;
    env.set("XDG_DATA_DIRS", std::getenv("HOME"));
    const auto daemon = runProcess("dbus-daemon", {"--session", "--fork", "--print-address=1", "--print-pid=1"},
                                   Seconds(10));
    ASSERT_TRUE(daemon.started);
    const std::string address = daemon.output.substr(0, daemon.output.find('\n'));
    const int pid = std::atoi(daemon.output.substr(daemon.output.find('\n') + 1).c_str());
    ASSERT_FALSE(address.empty());
    ASSERT_GT(pid, 0);
    env.set("DBUS_SESSION_BUS_ADDRESS", address.c_str());
    EXPECT_EQ(SecretServiceStore::connect(), nullptr);
    ::kill(pid, SIGTERM);
}

}  // namespace
}  // namespace vm
