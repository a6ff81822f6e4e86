#pragma once
// The debug log: one file per start under the debug folder, named by the local start time, that
// receives everything the program writes to standard error; and the purge of old log files.
#include <ctime>
#include <string>

namespace vm {

// "yyyyMMdd_HHmmss.txt" of the local time `when`.
std::string debugLogFileName(std::time_t when);

// Points standard error at the file (created with mode 0600 when absent, appended to otherwise).
// False, with errno kept, when the file cannot be opened or is a symbolic link or no plain file;
// standard error is then left alone.
bool redirectStandardError(const std::string& path);

// Deletes the files of one extension (compared ignoring case) in one folder that were last
// modified more than `age` seconds ago, and logs how much room that gave. Nothing happens for a
// folder path shorter than 20 characters, an age under an hour, an empty extension or a folder
// that lists fewer than 10 entries. Folders are never touched; one failed deletion ends the walk.
void purgeFilesAtPath(const std::string& path, double age, const std::string& extension);

}  // namespace vm
