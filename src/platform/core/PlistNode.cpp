#include "platform/core/PlistNode.h"

#include <cstdlib>

namespace vm::plist {

std::string binaryBytes(plist_t node) {
    char* out = nullptr;
    uint32_t length = 0;
    plist_to_bin(node, &out, &length);
    std::string bytes(out ? out : "", out ? length : 0);
    plist_to_bin_free(out);
    return bytes;
}

std::string stringOf(plist_t node) {
    char* v = nullptr;
    plist_get_string_val(node, &v);
    std::string s = v ? v : "";
    std::free(v);
    return s;
}

bool forEachEntry(plist_t dictionary,
                  const std::function<bool(const std::string&, plist_t)>& visit) {
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(dictionary, &iter);
    bool completed = true;
    for (;;) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(dictionary, iter, &key, &item);
        const std::string name = key ? key : "";
        std::free(key);
        if (!item) {
            break;
        }
        if (!visit(name, item)) {
            completed = false;
            break;
        }
    }
    std::free(iter);
    return completed;
}

}  // namespace vm::plist
