#pragma once
// A fixed table from a status word to a small number. Keys match exactly, in their letter case,
// blanks included; a word that is not in the table looks up as 0 (not recognised).
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vm {

class TokenTable {
public:
    TokenTable(std::initializer_list<std::pair<std::string_view, int>> entries);
    // The same from a table built at run time.
    explicit TokenTable(const std::vector<std::pair<std::string_view, int>>& entries);

    int lookup(std::string_view key) const;
    std::size_t size() const { return table_.size(); }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };
    std::unordered_map<std::string, int, Hash, std::equal_to<>> table_;
};

}  // namespace vm
