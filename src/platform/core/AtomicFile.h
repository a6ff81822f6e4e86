#pragma once
// Files written whole or not at all: the bytes go to a temporary file in the same folder, which is
// flushed to disk and renamed over the destination, so a crash never leaves half a file. Missing
// folders on the way are created with mode 0700.
#include "platform/core/Error.h"

#include <sys/types.h>
#include <filesystem>
#include <optional>
#include <string>

namespace vm {

bool writeFileAtomically(const std::filesystem::path& path, const std::string& bytes,
                         mode_t mode = 0600, Error* error = nullptr);

// Removes what writeFileAtomically leaves of an interrupted write of `path` (its temporary files
// beside it).
void removeInterruptedWrites(const std::filesystem::path& path);

// Renames the file to "<name>.<yyyyMMdd_HHmmss>.<suffix>" beside it, local time, with "-2", "-3"...
// after the time when that name is taken: another file is never replaced. The new path, or
// nullopt when the file cannot be renamed.
std::optional<std::filesystem::path> renameAside(const std::filesystem::path& path,
                                                 const std::string& suffix);

// The whole file, or nullopt when it cannot be read.
std::optional<std::string> readWholeFile(const std::filesystem::path& path, Error* error = nullptr);

}  // namespace vm
