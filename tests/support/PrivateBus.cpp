#include "support/PrivateBus.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/Process.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace vm::test {

namespace {

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

}  // namespace

PrivateBus::PrivateBus() {
    const auto home = std::filesystem::path(std::getenv("HOME"));
    const auto config = home / "bus.conf";
    if (!writeFileAtomically(config, kBusConfig)) {
        failure_ = "cannot write " + config.string();
        return;
    }
    const auto daemon = runProcess(
        "dbus-daemon",
        {"--config-file=" + config.string(), "--fork", "--print-address=1", "--print-pid=1"},
        Seconds(10));
    const auto newline = daemon.output.find('\n');
    if (!daemon.started || daemon.exitCode != 0 || newline == std::string::npos) {
        failure_ = daemon.started ? daemon.output : "dbus-daemon cannot be started";
        return;
    }
    address_ = daemon.output.substr(0, newline);
    pid_ = std::atoi(daemon.output.substr(newline + 1).c_str());
}

PrivateBus::~PrivateBus() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
    }
}

}  // namespace vm::test
