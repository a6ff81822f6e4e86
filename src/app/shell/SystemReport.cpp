#include "app/shell/SystemReport.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/Process.h"
#include "util/CommandOutput.h"

#include <cstring>
#include <sstream>

namespace vm {

std::vector<std::string> commandOutputLines(const std::vector<std::string>& command,
                                            double timeout) {
    std::string commandText;
    for (const auto& word : command) {
        commandText += (commandText.empty() ? "" : " ") + word;
    }
    const ProcessResult result =
        runProcess(command.front(), {command.begin() + 1, command.end()}, Seconds(timeout));
    if (!result.started) {
        return {commandText + ": " + std::strerror(result.spawnError)};
    }
    const auto text = commandOutputText(result, commandText);
    if (!text) {
        return {commandText + ": output is not UTF-8"};
    }
    std::vector<std::string> lines;
    std::istringstream stream(*text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> hardwareReportLines() {
    std::vector<std::string> lines;
    for (const auto& command :
         std::vector<std::vector<std::string>>{{"uname", "-a"}, {"lscpu"}, {"free", "-m"}}) {
        auto output = commandOutputLines(command, 10.0);
        lines.insert(lines.end(), output.begin(), output.end());
    }
    return lines;
}

std::string firewallLine(const std::string& ufwConfig) {
    bool on = false;
    if (auto text = readWholeFile(ufwConfig)) {
        std::istringstream stream(*text);
        for (std::string line; std::getline(stream, line);) {
            if (line.starts_with("ENABLED=")) {
                const std::string value = line.substr(8);
                on = value == "yes" || value == "\"yes\"";
            }
        }
    }
    return std::string("Firewall is ") + (on ? "ON" : "OFF");
}

std::vector<std::string> kernelModuleLines() {
    std::vector<std::string> lines{"lsmod kernel modules..."};
    auto output = commandOutputLines({"lsmod"}, 10.0);
    lines.insert(lines.end(), output.begin(), output.end());
    return lines;
}

}  // namespace vm
