#include "app/shell/AppFolders.h"

#include "platform/core/Paths.h"

#include <filesystem>
#include <system_error>

namespace vm {

namespace {

std::string madeFolder(const char* path) {
    std::string expanded = paths::expandTilde(path);
    std::error_code ignored;
    std::filesystem::create_directories(expanded, ignored);
    return expanded;
}

}  // namespace

AppFolders checkFolders() {
    AppFolders folders;
    folders.debugPath = madeFolder("~/Documents/velmoraSDR_Files/debug_log_files/");
    folders.tmpPath = madeFolder("~/tmp/");
    folders.soundFilesPath = madeFolder("~/Documents/velmoraSDR_Files/sound_files/");
    folders.dataFilesPath = madeFolder("~/Documents/velmoraSDR_Files/data_files/");
    return folders;
}

}  // namespace vm
