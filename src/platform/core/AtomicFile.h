#pragma once
// Files written whole or not at all: the bytes go to a temporary file in the same folder, which is
// flushed to disk and renamed over the destination, so a crash never leaves half a file.
#include "platform/core/Error.h"

#include <sys/types.h>
#include <filesystem>
#include <optional>
#include <string>

namespace vm {

bool writeFileAtomically(const std::filesystem::path& path, const std::string& bytes,
                         mode_t mode = 0600, Error* error = nullptr);

// The whole file, or nullopt when it cannot be read.
std::optional<std::string> readWholeFile(const std::filesystem::path& path, Error* error = nullptr);

}  // namespace vm
