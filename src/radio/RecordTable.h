#pragma once
// The reader of the radio's small records: GUI clients, transverters, notch filters, the USB cable,
// memories and spots. Their status lines are an identifier, then blank-separated "key=value"
// pairs that set the fields of a plain record (no observers: the session builds the record and
// then hands it over whole, or keeps it for itself). A RecordTable has one row per key, and its
// key table is built from the rows, so each key is written once:
//
//     static const RecordTable<TNF> table{
//         "Radio:parseTnfToken:Unrecognized token:[{key}]",
//         {
//             {"freq", field<&TNF::frequency>},
//             {"depth", field<&TNF::depth>},
//         }};
//
// A pair is read as the key up to "=", the "=", the value up to the next blank or line feed (the
// empty text when there is none), then any run of blanks and line feeds. A key without "=" (a
// bare word such as "removed") is read up to the next blank. A key that no row has is logged with
// the table's line ({key}, {value}) and skipped.
#include "platform/core/CharacterSet.h"
#include "platform/core/Log.h"
#include "platform/core/Observable.h"
#include "platform/core/Scanner.h"
#include "platform/core/TextValues.h"
#include "radio/TokenTable.h"
#include "util/StringAdditions.h"

#include <fmt/format.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace vm {

namespace record {

template <class Member>
struct MemberOf;
template <class R, class T>
struct MemberOf<T R::*> {
    using Record = R;
    using Type = T;
};

template <class T>
struct IsOptional : std::false_type {};
template <class T>
struct IsOptional<std::optional<T>> : std::true_type {};

// The value text in the kind of a field: texts as given, numbers by their leading number (0 when
// there is none), flags by their truth (Y, y, T, t or a digit 1 to 9).
template <class T>
T valueAs(const std::string& text) {
    if constexpr (IsOptional<T>::value) {
        return valueAs<typename T::value_type>(text);
    } else if constexpr (std::is_same_v<T, std::string>) {
        return text;
    } else if constexpr (std::is_same_v<T, bool>) {
        return textBoolValue(text);
    } else if constexpr (std::is_floating_point_v<T>) {
        return static_cast<T>(strings::doubleValue(text));
    } else {
        static_assert(std::is_same_v<T, int>, "a record field is a text, a flag or a number");
        return textIntValue(text);
    }
}

}  // namespace record

// Sets the record's field from the value text, in the field's kind (record::valueAs); a field
// that is an Observed<T> is stored without an announcement.
template <auto Field>
void field(typename record::MemberOf<decltype(Field)>::Record& target, const std::string& value) {
    using T = typename record::MemberOf<decltype(Field)>::Type;
    if constexpr (std::is_base_of_v<ObservedProperty, T>) {
        (target.*Field).store(record::valueAs<decltype((target.*Field)())>(value));
    } else {
        target.*Field = record::valueAs<T>(value);
    }
}

// Sets a numeric flag field to 1 when the value text reads as true, else 0.
template <auto Field>
void flag(typename record::MemberOf<decltype(Field)>::Record& target, const std::string& value) {
    target.*Field = textBoolValue(value) ? 1 : 0;
}

// The word up to the next blank that starts a record's line (its number or handle; empty when
// there is none), with the blank after it.
inline std::string recordIdentifier(Scanner& scan) {
    scan.setCharactersToBeSkipped(std::nullopt);
    std::string token;
    scan.scanUpToString(" ", &token);
    scan.scanString(" ");
    return token;
}

template <class Record>
class RecordTable {
public:
    // How a row's value reaches the record; nullptr for a value that is read and ignored.
    using Setter = void (*)(Record& record, const std::string& value);
    struct Row {
        std::string_view key;
        Setter set = nullptr;
    };

    // `unknownKeyLog` is the log line of a key that no row has, with the fields {key} and {value}.
    RecordTable(std::string_view unknownKeyLog, std::initializer_list<Row> rows)
        : unknownKeyLog_(unknownKeyLog), rows_(rows), tokens_(keysOf(rows_)) {}

    const std::vector<Row>& rows() const { return rows_; }
    // Each row's key with its row number, from 1.
    const TokenTable& tokens() const { return tokens_; }
    const Row* find(std::string_view key) const {
        const int token = tokens_.lookup(key);
        return token == 0 ? nullptr : &rows_[static_cast<std::size_t>(token - 1)];
    }

    // Reads the pairs from the scanner's location to the end of its text into `record`.
    void read(Record& record, Scanner& scan) const {
        static const CharacterSet blankOrNewline = CharacterSet::fromString(" \n");
        static const CharacterSet keyEnd = CharacterSet::fromString("= \n");
        scan.setCharactersToBeSkipped(std::nullopt);
        while (!scan.isAtEnd()) {
            std::string key;
            std::string value;
            scan.scanUpToCharactersFromSet(keyEnd, &key);
            if (scan.scanString("=")) {
                scan.scanUpToCharactersFromSet(blankOrNewline, &value);
            }
            if (const Row* row = find(key)) {
                if (row->set) {
                    row->set(record, value);
                }
            } else {
                logLine(fmt::format(fmt::runtime(unknownKeyLog_), fmt::arg("key", key),
                                    fmt::arg("value", value)));
            }
            scan.scanCharactersFromSet(blankOrNewline);
        }
    }

private:
    static TokenTable keysOf(const std::vector<Row>& rows) {
        std::vector<std::pair<std::string_view, int>> keys;
        keys.reserve(rows.size());
        for (const Row& row : rows) {
            keys.emplace_back(row.key, static_cast<int>(keys.size()) + 1);
        }
        return TokenTable(keys);
    }

    std::string_view unknownKeyLog_;
    std::vector<Row> rows_;
    TokenTable tokens_;
};

}  // namespace vm
