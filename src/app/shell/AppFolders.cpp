#include "app/shell/AppFolders.h"

#include "platform/core/Paths.h"

namespace vm {

namespace {

// Logs, recordings and data files are the user's own: missing folders are made readable by the
// user alone.
std::string madeFolder(const char* path) {
    std::string expanded = paths::expandTilde(path);
    paths::createFolders(expanded, 0700);
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
