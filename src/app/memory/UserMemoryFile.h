#pragma once
// The user memories file (data_files/vmsdr_memories.csv): a header line, then one "MEMORY," line
// per memory with its twenty-one texts in column order, lines ended by a line feed, no quoting.
// Stored values never carry a comma, carriage return or line feed into the file (each becomes a
// blank), so a name cannot shift the columns after it; a value that was never set is written as
// empty text. The file is written whole or not at all.
#include "platform/core/Error.h"
#include "radio/MemorySlot.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace vm {

using MemoryList = std::vector<std::shared_ptr<MemorySlot>>;

inline constexpr const char* kUserMemoriesFileName = "vmsdr_memories.csv";

// The header line without its line feed.
extern const char* const kUserMemoriesHeader;

// The text field of a memory named as its column identifier ("owner" ... "digu_offset"), or null
// for another name.
MemorySlot::Text* memoryField(MemorySlot& memory, const std::string& key);

// The text a list is saved as.
std::string userMemoriesText(const MemoryList& memories);

struct UserMemoriesRead {
    enum class Outcome {
        kRead,          // `memories` holds the file's memories, in file order
        kNoFile,        // nothing there: the list stays as it is
        kUnreadable,    // the file cannot be read or holds no line
        kInvalidHeader  // the first line is not the header
    };
    Outcome outcome = Outcome::kNoFile;
    MemoryList memories;
};

// Reads memories from the text of a file (line feed or carriage return and line feed ends).
UserMemoriesRead userMemoriesFromText(const std::string& text);

// Reads the file at `path`.
UserMemoriesRead readUserMemories(const std::filesystem::path& path);

// Writes the file beside a temporary one and renames it into place; on failure the old file stays
// and `error` says why.
bool writeUserMemories(const std::filesystem::path& path, const MemoryList& memories,
                       Error* error = nullptr);

}  // namespace vm
