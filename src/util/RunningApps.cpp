// Running programs by name, from /proc.
#include "platform/core/AtomicFile.h"
#include "platform/core/Log.h"
#include "util/SharedFunctions.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace vm {

namespace {

bool isProcessFolder(const std::string& name) {
    return !name.empty() &&
           std::all_of(name.begin(), name.end(), [](unsigned char c) { return std::isdigit(c); });
}

// The process's own name, and the file name of the program it was started as.
bool processIsNamed(const std::filesystem::path& folder, const std::string& name) {
    if (auto comm = readWholeFile(folder / "comm")) {
        if (!comm->empty() && comm->back() == '\n') {
            comm->pop_back();
        }
        if (*comm == name) {
            return true;
        }
    }
    if (auto cmdline = readWholeFile(folder / "cmdline")) {
        const std::string program = cmdline->substr(0, cmdline->find('\0'));
        return !program.empty() && std::filesystem::path(program).filename() == name;
    }
    return false;
}

}  // namespace

bool appIsRunning(const std::string& name, bool log) {
    if (name.empty()) {
        return false;
    }
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        if (isProcessFolder(entry.path().filename().string()) &&
            processIsNamed(entry.path(), name)) {
            if (log) {
                // A Linux program carries no version of its own for us to read.
                vm::log("appIsRunning:{} Version {} is running", name, "unknown");
            }
            return true;
        }
    }
    return false;
}

}  // namespace vm
