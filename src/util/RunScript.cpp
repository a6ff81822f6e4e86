#include "platform/core/Log.h"
#include "platform/core/Process.h"
#include "util/CommandOutput.h"
#include "util/SharedFunctions.h"

#include <cerrno>
#include <cstring>

namespace vm {

std::string runScript(const std::string& source) {
    if (source.empty()) {
        log("runScript:error:null script");
        return "runScript:error:null script.";
    }
    const auto result = runProcess("osascript", {"-e", source}, Seconds(10.0));
    if (!result.started) {
        log("runScript:error:no osascript:[{}]", std::strerror(result.spawnError));
        return "runScript:error:no osascript.";
    }
    return commandOutputText(result, "osascript -e '" + source + "'").value_or("");
}

}  // namespace vm
