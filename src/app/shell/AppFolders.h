#pragma once
// The program's folders under the user's documents folder and home, made at start-up.
#include <string>

namespace vm {

struct AppFolders {
    std::string debugPath;       // .../velmoraSDR_Files/debug_log_files/
    std::string tmpPath;         // ~/tmp/
    std::string soundFilesPath;  // .../velmoraSDR_Files/sound_files/
    std::string dataFilesPath;   // .../velmoraSDR_Files/data_files/
};

// Expands the four paths and creates each folder with its parents when absent (mode 0700); creation
// errors are
// ignored (a folder that cannot be made shows up later, where a file in it cannot be written).
AppFolders checkFolders();

}  // namespace vm
