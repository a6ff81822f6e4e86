#include "radio/TokenTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vm {
namespace {

TEST(TokenTable, MatchesWholeKeysExactly) {
    const TokenTable table{
        {"mode", 1},
        {"filter_sharpness CW level", 2},  // blanks belong to the key
        {"RF_frequency", 3},
        {"12345678", 4},  // one whole eight-byte word
        {"", 5},
        {"mode", 6},  // a second entry does not replace the first
    };
    EXPECT_EQ(table.size(), 5u);
    EXPECT_EQ(table.lookup("mode"), 1);
    EXPECT_EQ(table.lookup("filter_sharpness CW level"), 2);
    EXPECT_EQ(table.lookup("RF_frequency"), 3);
    EXPECT_EQ(table.lookup("12345678"), 4);
    EXPECT_EQ(table.lookup(""), 5);
    for (const char* miss : {"Mode", "mod", "modes", "mode ", "filter_sharpness CW", "rf_frequency",
                             "1234567", "123456789"}) {
        EXPECT_EQ(table.lookup(miss), 0) << miss;
    }
    // Trailing zero bytes are part of the word, not padding.
    EXPECT_EQ(table.lookup(std::string_view("mode\0", 5)), 0);
}

TEST(TokenTable, FindsEveryKeyOfALargeTable) {
    std::vector<std::string> keys;
    for (int i = 0; i < 600; ++i) {
        keys.push_back("key_" + std::to_string(i) + (i % 3 == 0 ? " level" : ""));
    }
    std::vector<std::pair<std::string_view, int>> entries;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        entries.emplace_back(keys[i], static_cast<int>(i) + 1);
    }
    const TokenTable table(entries);
    keys.clear();  // the table keeps its own copy of the text
    ASSERT_EQ(table.size(), 600u);
    for (int i = 0; i < 600; ++i) {
        const std::string key = "key_" + std::to_string(i) + (i % 3 == 0 ? " level" : "");
        EXPECT_EQ(table.lookup(key), i + 1) << key;
        EXPECT_EQ(table.lookup(key + "x"), 0) << key;
    }
}

}  // namespace
}  // namespace vm
