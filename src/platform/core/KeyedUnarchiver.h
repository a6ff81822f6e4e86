#pragma once
// Reads a keyed archive (the structure is described in KeyedArchiver.h). The archive comes from a
// file or the settings, so nothing in it is trusted: the property list must pass the checks of
// PlistCheck.h before it is parsed at all, every reference is checked, a reference loop
// or nesting deeper than kMaxDepth is refused, and at most kMaxValues values are decoded (shared
// parts count once per use).
#include "platform/core/ArchiveValue.h"
#include "platform/core/Error.h"
#include "platform/core/PlistNode.h"

#include <optional>
#include <set>
#include <string>

namespace vm {

class KeyedUnarchiver {
public:
    static constexpr int kMaxDepth = 256;
    static constexpr std::size_t kMaxValues = 1 << 20;

    // nullopt (and the error, code kNotAnArchive) when the bytes are not a keyed archive.
    static std::optional<KeyedUnarchiver> create(const std::string& bytes, Error* error = nullptr);

    // Decodes the root object. Every value decoded must be of a class named in `allowed` (the
    // built-in kinds under their names in ArchiveValue.h), else the whole decoding fails with
    // kClassNotAllowed. nullopt with the error filled for a failure; nullopt with the error left
    // untouched when the root is "$null" (the archive holds nothing).
    std::optional<ArchiveValue> decodeTopObject(const std::set<std::string>& allowed,
                                                Error* error = nullptr) const;

private:
    explicit KeyedUnarchiver(plist::Node root) : root_(std::move(root)) {}

    plist::Node root_;
};

}  // namespace vm
