#pragma once
// A fixed table from a status word to a small number. Keys match exactly, in their letter case,
// blanks included; a word that is not in the table looks up as 0 (not recognised). A key given
// twice keeps its first number.
//
// Every key of every status line is looked up here, so the table is built for that: the keys'
// text lies in one block, and an open-addressed index (at most half full) finds a key by a hash
// that reads the word eight bytes at a time, comparing text only where the hashes agree.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vm {

class TokenTable {
public:
    TokenTable(std::initializer_list<std::pair<std::string_view, int>> entries);
    // The same from a table built at run time.
    explicit TokenTable(const std::vector<std::pair<std::string_view, int>>& entries);

    int lookup(std::string_view key) const;
    std::size_t size() const { return size_; }

private:
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t offset = 0;  // of the key in text_
        std::uint32_t length = 0;
        int number = 0;
        bool used = false;
    };

    template <class Entries>
    void build(const Entries& entries);
    static std::uint64_t hashOf(std::string_view key);
    std::string_view keyOf(const Slot& slot) const {
        return std::string_view(text_).substr(slot.offset, slot.length);
    }

    std::string text_;
    std::vector<Slot> slots_;  // a power of two in size
    std::size_t mask_ = 0;
    std::size_t size_ = 0;
};

}  // namespace vm
