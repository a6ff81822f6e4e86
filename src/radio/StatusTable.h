#pragma once
// The one status reader of the radio's objects. A status line of the radio, of a slice, and of
// every later object is blank-separated "key=value" pairs; the object's StatusTable has one row per
// key: how the value is read, which property it feeds and when the change is announced. The
// token table of the keys is built from the rows, so each key is written once, and one loop
// (StatusTable::read) walks every line:
//
//     const StatusTable<Slice>& Slice::statusTable() {
//         static const StatusTable<Slice> table{
//             "Slice:statusParser:Unrecognized token:[{key}] stringVal:[{value}]",
//             {
//                 {"RF_frequency", status::wordToBlank, &Slice::sliceFrequency},
//                 {"ghost", status::integer},  // read and dropped
//             }};
//         return table;
//     }
//
// The loop reads a key up to "=" (blanks included: "filter_sharpness CW level" is one key), steps
// over the "=", reads the value as the key's row says, then steps over any run of blanks and line
// feeds, until the end of the line. A key that no row has is logged with the table's line and its
// value is stepped over (up to the next blank or line feed). The stores of a line reach the main
// queue as one task, in the order of the keys; see StatusPass and StatusAnnounce for the other
// timings.
#include "platform/core/CharacterSet.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"
#include "platform/core/Observable.h"
#include "platform/core/Scanner.h"
#include "radio/RadioTypes.h"
#include "radio/TokenTable.h"

#include <fmt/format.h>

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace vm {

// The line a value reader reads from: the scanner at the value, and the last integer a reader
// took from this line (0 before any), which some tables' unknown-key lines report.
struct StatusLine {
    Scanner& scan;
    int lastInteger = 0;
};

// How a value is read: from the cursor, in the kind of the property it feeds (StatusValues.h has
// the common readers; an object adds its own for a conversion of its own).
template <class T>
using StatusReader = T (*)(StatusLine& line);

// A value as read, in one of the kinds that properties fed from status lines hold.
using StatusValue = std::variant<Number, Text, Integer, Flag, Float, List>;

// When the change of a row's property is announced.
enum class StatusAnnounce {
    WithLine,  // with the rest of the line (StatusPass says how)
    AtOnce,    // stored and announced on the reading queue as the value is read
    // With the rest of the line, but only a value that differs from the one stored when the store
    // is made (on the main queue, or on the reading queue for a first line): an equal value is
    // neither stored nor announced.
    WhenChanged,
};

// How a line is taken.
enum class StatusPass {
    // Every line but an object's first: nothing is stored on the reading queue; one main-queue
    // task stores and announces the line's values in the order of its keys.
    Later,
    // An object's first line: every value is stored at once, so the caller reads them as soon as
    // the reader returns; one main-queue task 1 ms later announces each key with the value current
    // by then (a newer value from a later line or a setter is never replaced by the first line's).
    First,
};

template <class Object>
class StatusTable;

template <class Object>
class StatusRow {
public:
    // Runs on the reading queue once the value is read; false drops it (nothing is stored or
    // announced).
    using Keep = bool (*)(Object& object, const StatusValue& value);
    // Reads the rest of the line itself; the loop then finds the line's end.
    using HandOff = void (Object::*)(Scanner& scan);

    // A value read and dropped.
    template <class T>
    StatusRow(std::string_view key, StatusReader<T> reader) : key_(key), read_(reader) {}
    // A value read into `property` (a member of Object or of one of its bases).
    template <class T, class Owner>
    StatusRow(std::string_view key, StatusReader<T> reader, Observed<T> Owner::*property,
              StatusAnnounce announce = StatusAnnounce::WithLine)
        : key_(key),
          read_(reader),
          property_(static_cast<Observed<T> Object::*>(property)),
          announce_(announce) {}
    // The same, with a check on the reading queue before the value is kept.
    template <class T, class Owner>
    StatusRow(std::string_view key, StatusReader<T> reader, Observed<T> Owner::*property, Keep keep)
        : key_(key),
          read_(reader),
          property_(static_cast<Observed<T> Object::*>(property)),
          keep_(keep) {}
    // The rest of the line goes to another reader of the object.
    StatusRow(std::string_view key, HandOff handOff) : key_(key), handOff_(handOff) {}

    std::string_view key() const { return key_; }
    // The property the row feeds; nullptr for a value that is dropped or handed off.
    const ObservedProperty* property(const Object& object) const {
        return std::visit(
            [&](auto member) -> const ObservedProperty* {
                if constexpr (std::is_same_v<decltype(member), std::monostate>) {
                    return nullptr;
                } else {
                    return &(object.*member);
                }
            },
            property_);
    }

private:
    friend class StatusTable<Object>;
    using Reader = std::variant<StatusReader<Number>, StatusReader<Text>, StatusReader<Integer>,
                                StatusReader<Flag>, StatusReader<Float>, StatusReader<List>>;
    using Property =
        std::variant<std::monostate, Observed<Number> Object::*, Observed<Text> Object::*,
                     Observed<Integer> Object::*, Observed<Flag> Object::*,
                     Observed<Float> Object::*, Observed<List> Object::*>;

    StatusValue read(StatusLine& line) const {
        return std::visit([&](auto reader) -> StatusValue { return reader(line); }, read_);
    }
    // Stores the value in the row's property, and announces it when asked.
    void store(Object& object, StatusValue&& value, bool announce) const {
        std::visit(
            [&](auto member) {
                if constexpr (!std::is_same_v<decltype(member), std::monostate>) {
                    auto& target = object.*member;
                    using T = std::decay_t<decltype(target())>;
                    target.store(std::get<T>(std::move(value)));
                    if (announce) {
                        target.announce();
                    }
                }
            },
            property_);
    }
    bool feedsProperty() const { return !std::holds_alternative<std::monostate>(property_); }
    // Whether a WhenChanged row's property already holds the value.
    bool unchanged(const Object& object, const StatusValue& value) const {
        if (announce_ != StatusAnnounce::WhenChanged) {
            return false;
        }
        return std::visit(
            [&](auto member) {
                if constexpr (std::is_same_v<decltype(member), std::monostate>) {
                    return false;
                } else {
                    const auto& target = object.*member;
                    using T = std::decay_t<decltype(target())>;
                    return target() == std::get<T>(value);
                }
            },
            property_);
    }

    std::string_view key_;
    Reader read_{};
    Property property_{};
    StatusAnnounce announce_ = StatusAnnounce::WithLine;
    Keep keep_ = nullptr;
    HandOff handOff_ = nullptr;
};

template <class Object>
class StatusTable {
public:
    // `unknownKeyLog` is the log line of a key that no row has, with the fields {key}, {value}
    // (the value stepped over), {integer} (the line's last integer) and {line} (the scanner's
    // whole text); an empty one skips such keys without a message.
    StatusTable(std::string_view unknownKeyLog, std::initializer_list<StatusRow<Object>> rows)
        : unknownKeyLog_(unknownKeyLog), rows_(rows), tokens_(keysOf(rows_)) {}

    const std::vector<StatusRow<Object>>& rows() const { return rows_; }
    // Each row's key with its row number, from 1.
    const TokenTable& tokens() const { return tokens_; }
    // The row of a key; nullptr for a key the table does not have.
    const StatusRow<Object>* find(std::string_view key) const {
        const int token = tokens_.lookup(key);
        return token == 0 ? nullptr : &rows_[static_cast<std::size_t>(token - 1)];
    }

    // Reads the line from the scanner's location to its end into `object`, which is owned by a
    // shared_ptr (the main-queue tasks keep it alive).
    void read(Object& object, Scanner& scan, StatusPass pass = StatusPass::Later) const {
        static const CharacterSet blankOrNewline = CharacterSet::fromString(" \n");
        scan.setCharactersToBeSkipped(std::nullopt);
        StatusLine line{scan};
        Stores stores;
        // At most one store per "=" left in the line.
        const std::string_view text = scan.remainder();
        stores.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '=')));
        while (!scan.isAtEnd()) {
            // The key is all up to the next "=" (or the end), blanks included.
            const std::string_view rest = scan.remainder();
            const std::size_t equals = rest.find('=');
            const std::string_view key = rest.substr(0, equals);
            scan.setLocation(scan.location() + key.size() + (equals == rest.npos ? 0 : 1));
            const StatusRow<Object>* row = find(key);
            if (!row) {
                std::string value;
                scan.scanUpToCharactersFromSet(blankOrNewline, &value);
                if (!unknownKeyLog_.empty()) {
                    logLine(fmt::format(fmt::runtime(unknownKeyLog_), fmt::arg("key", key),
                                        fmt::arg("value", value),
                                        fmt::arg("integer", line.lastInteger),
                                        fmt::arg("line", scan.string())));
                }
            } else if (row->handOff_) {
                (object.*(row->handOff_))(scan);
            } else {
                StatusValue value = row->read(line);
                if (row->feedsProperty() && (!row->keep_ || row->keep_(object, value))) {
                    if (row->announce_ == StatusAnnounce::AtOnce) {
                        row->store(object, std::move(value), true);
                    } else if (pass == StatusPass::Later) {
                        stores.emplace_back(row, std::move(value));
                    } else if (!row->unchanged(object, value)) {
                        row->store(object, StatusValue(value), false);
                        stores.emplace_back(row, std::move(value));
                    }
                }
            }
            scan.scanCharactersFromSet(blankOrNewline);
        }
        if (!stores.empty()) {
            deliver(object, std::move(stores), pass);
        }
    }

private:
    using Stores = std::vector<std::pair<const StatusRow<Object>*, StatusValue>>;

    static TokenTable keysOf(const std::vector<StatusRow<Object>>& rows) {
        std::vector<std::pair<std::string_view, int>> keys;
        keys.reserve(rows.size());
        for (const StatusRow<Object>& row : rows) {
            keys.emplace_back(row.key(), static_cast<int>(keys.size()) + 1);
        }
        return TokenTable(keys);
    }

    static void deliver(Object& object, Stores stores, StatusPass pass) {
        auto self = object.shared_from_this();
        if (pass == StatusPass::First) {
            DispatchQueue::main()->after(std::chrono::milliseconds(1),
                                         [self = std::move(self), stores = std::move(stores)] {
                                             for (const auto& [row, value] : stores) {
                                                 row->property(*self)->announce();
                                             }
                                         });
            return;
        }
        DispatchQueue::main()->async(
            [self = std::move(self), stores = std::move(stores)]() mutable {
                for (auto& [row, value] : stores) {
                    if (!row->unchanged(*self, value)) {
                        row->store(*self, std::move(value), true);
                    }
                }
            });
    }

    std::string_view unknownKeyLog_;
    std::vector<StatusRow<Object>> rows_;
    TokenTable tokens_;
};

}  // namespace vm
