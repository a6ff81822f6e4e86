#pragma once
// Ownership of a libplist node tree: freed with the tree when the holder goes.
#include <plist/plist.h>

#include <memory>

namespace vm::plist {

struct NodeDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using Node = std::unique_ptr<void, NodeDeleter>;

}  // namespace vm::plist
