#pragma once
// The report of the machine that launch writes into the debug log: hardware, firewall, privileges
// and kernel modules, from Linux commands run with argument vectors and a time-out. Commands block:
// call these off the main thread.
#include <string>
#include <vector>

namespace vm {

// Runs the program and returns its output split at line feeds (a trailing empty line dropped),
// the time-out text after `timeout` seconds, or one line saying why it could not run.
std::vector<std::string> commandOutputLines(const std::vector<std::string>& command,
                                            double timeout);

// "uname -a", "lscpu" and "free -m", each line as the command wrote it.
std::vector<std::string> hardwareReportLines();
// "Firewall is ON" when ufw's settings enable it, else "Firewall is OFF" (also without ufw).
std::string firewallLine(const std::string& ufwConfig = "/etc/ufw/ufw.conf");
// The heading and the kernel's module list ("lsmod").
std::vector<std::string> kernelModuleLines();

}  // namespace vm
