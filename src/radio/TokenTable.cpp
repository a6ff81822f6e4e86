#include "radio/TokenTable.h"

namespace vm {

TokenTable::TokenTable(std::initializer_list<std::pair<std::string_view, int>> entries) {
    for (const auto& [key, number] : entries) {
        table_.emplace(std::string(key), number);
    }
}

TokenTable::TokenTable(const std::vector<std::pair<std::string_view, int>>& entries) {
    for (const auto& [key, number] : entries) {
        table_.emplace(std::string(key), number);
    }
}

int TokenTable::lookup(std::string_view key) const {
    const auto found = table_.find(key);
    return found == table_.end() ? 0 : found->second;
}

}  // namespace vm
