#pragma once
// Ownership of a libplist node tree (freed with the tree when the holder goes) and the few node
// operations that the property-list and keyed-archive code share.
#include "platform/core/PlistValue.h"

#include <plist/plist.h>

#include <functional>
#include <memory>
#include <string>

namespace vm::plist {

struct NodeDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using Node = std::unique_ptr<void, NodeDeleter>;

// The tree of a property list read from outside, once the checks of PlistCheck.h let it through;
// null (and the reason, in a few words) otherwise.
Node read(const std::string& bytes, std::string* reason = nullptr);

// The value of a node; nullopt for dates, keys and UIDs, and for collections holding one.
std::optional<PlistValue> valueOf(plist_t node);

// The binary form of the tree.
std::string binaryBytes(plist_t node);

// The text of a string node.
std::string stringOf(plist_t node);

// Calls `visit` with each key and value of a dictionary node, in order, until it answers false.
// Answers false when `visit` stopped the walk.
bool forEachEntry(plist_t dictionary,
                  const std::function<bool(const std::string&, plist_t)>& visit);

}  // namespace vm::plist
