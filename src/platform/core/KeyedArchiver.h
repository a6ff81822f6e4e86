#pragma once
// Keyed archives: a value tree written as a binary property list of the keyed-archive structure.
// The top dictionary holds "$archiver" (the writer's name), "$version", "$top" (the root object
// under the key "root") and "$objects", a flat list whose first entry is "$null". Values point at
// their parts through UID references into that list:
// - strings, numbers and data are stored as the property-list values themselves;
// - a date is {"$class", "time": seconds since 2001-01-01 UTC as a real}, an array {"$class",
//   "objects": [refs]}, a dictionary {"$class", "keys": [refs], "objects": [refs]} and an object
//   of a class {"$class", <field>: ref, ...};
// - "$class" refers to a class record {"$classname": name, "$classes": [name]}, one per class.
#include "platform/core/ArchiveValue.h"
#include "platform/core/Error.h"

#include <optional>
#include <string>

namespace vm {

namespace archive {
inline constexpr const char* kArchiverName = "VMKeyedArchiver";
inline constexpr std::int64_t kArchiveVersion = 100000;
inline constexpr const char* kErrorDomain = "KeyedArchiveErrorDomain";
enum ErrorCode : long {
    kNotAnArchive = 1,     // not a property list, or not of the keyed-archive structure
    kClassNotAllowed = 2,  // decoding met a class outside the allowed list
    kMalformed = 3,        // a reference, record or value that does not fit the structure
    kUnencodable = 4,      // a value that the archive cannot hold
};
}  // namespace archive

// The archive's bytes, or nullopt (and the error) when a value cannot be archived: an object
// whose class name is empty or one of the built-in names, a field whose name begins with "$", or a
// real or date that is not finite.
std::optional<std::string> archivedData(const ArchiveValue& root, Error* error = nullptr);

}  // namespace vm
