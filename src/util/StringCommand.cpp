// Shell command lines.
#include "platform/core/Log.h"
#include "platform/core/Process.h"
#include "util/CommandOutput.h"
#include "util/StringAdditions.h"

#include <cstring>

namespace vm::strings {

std::optional<std::string> runAsCommand(const std::string& commandLine, double timeout) {
    // The command line goes to the shell as one argument, unchanged: the shell parses it.
    const auto result = runProcess("/bin/sh", {"-c", commandLine}, Seconds(timeout));
    if (!result.started) {
        log("runAsCommand:error:cannot start /bin/sh:[{}]", std::strerror(result.spawnError));
        return std::nullopt;
    }
    return commandOutputText(result, commandLine);
}

}  // namespace vm::strings
