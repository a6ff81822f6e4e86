#pragma once
// The tables that the radio-wide status readers walk: for each key of a status type, what its
// value becomes and which property of the radio's state it sets. Keys are looked up through the
// type's word table, so a key the table spells two ways ("am_carrler_level") finds the same field.
#include "radio/RadioState.h"
#include "radio/TokenTable.h"

#include <initializer_list>
#include <string_view>
#include <unordered_map>

namespace vm {

class Scanner;

// What a key's value becomes. Values are read as one word (up to a space or a line feed) unless
// the kind takes the rest of the line.
enum class StatusStore {
    Drop,            // read and dropped
    Number,          // the leading integer (0 when there is none)
    Boolean,         // 0 for an integer 0, 1 for any other integer
    TextBoolean,     // 1 when the text reads as true (textBoolValue), else 0
    Text,            // the word as read, possibly empty
    IambicMode,      // "A" for an integer 0, "B" for any other integer
    InterlockState,  // the word's number in the interlock state table, or none
    AtuStatus,       // the word's number in the ATU status table, or none; set at once
    TuneGuarded,     // an integer, dropped while `tuneEnabled` holds a true value
    Oscillator,      // the rest of the line is the oscillator report
    RestOfLine,      // the rest of the line is read and dropped
};

struct StatusField {
    StatusField(std::string_view k, StatusStore s) : key(k), store(s) {}
    StatusField(std::string_view k, StatusStore s, Observed<Number> RadioState::*n)
        : key(k), store(s), number(n) {}
    StatusField(std::string_view k, StatusStore s, Observed<Text> RadioState::*t)
        : key(k), store(s), text(t) {}

    std::string_view key;
    StatusStore store;
    Observed<Number> RadioState::*number = nullptr;
    Observed<Text> RadioState::*text = nullptr;
};

class StatusFields {
public:
    // Every field's key must be a word of `tokens`.
    StatusFields(const TokenTable& tokens, std::initializer_list<StatusField> fields);
    // The field of a key; nullptr for a key the table does not know.
    const StatusField* find(std::string_view key) const;

private:
    const TokenTable& tokens_;
    std::unordered_map<int, StatusField> byToken_;
};

// A key the reader does not know, as the reader's log line reports it.
struct UnknownStatusKey {
    std::string_view key;
    std::string_view value;  // the skipped value
    int lastInteger;         // the last integer read in this line, or 0
    const Scanner& scan;
};

}  // namespace vm
