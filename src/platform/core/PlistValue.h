#pragma once
// A property-list value (boolean, integer, real, string, data, array, dictionary) and its binary
// and XML encodings. Reading goes through the checks of PlistCheck.h before libplist parses; the
// binary form is written by our own writer (PlistBinaryWriter.cpp), the XML form by libplist.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace vm {

class PlistValue;
using PlistData = std::vector<std::uint8_t>;
using PlistArray = std::vector<PlistValue>;
using PlistDict = std::map<std::string, PlistValue>;

class PlistValue {
public:
    using Variant =
        std::variant<bool, std::int64_t, double, std::string, PlistData, PlistArray, PlistDict>;

    PlistValue() : value_(PlistDict{}) {}
    PlistValue(bool v) : value_(v) {}
    PlistValue(int v) : value_(std::int64_t{v}) {}
    PlistValue(long v) : value_(std::int64_t{v}) {}
    PlistValue(long long v) : value_(static_cast<std::int64_t>(v)) {}
    PlistValue(unsigned v) : value_(std::int64_t{v}) {}
    PlistValue(double v) : value_(v) {}
    PlistValue(const char* v) : value_(std::string(v)) {}
    PlistValue(std::string v) : value_(std::move(v)) {}
    PlistValue(PlistData v) : value_(std::move(v)) {}
    PlistValue(PlistArray v) : value_(std::move(v)) {}
    PlistValue(PlistDict v) : value_(std::move(v)) {}

    const Variant& variant() const { return value_; }
    template <class T>
    const T* get() const {
        return std::get_if<T>(&value_);
    }

    bool operator==(const PlistValue& other) const { return value_ == other.value_; }

private:
    Variant value_;
};

namespace plist {
// Reads a binary or XML property list; nullopt when the bytes are not one, are refused by the
// checks of PlistCheck.h, or hold a value these types cannot (a date, a UID). `reason` then says
// why, in a few words.
std::optional<PlistValue> parse(const std::string& bytes, std::string* reason = nullptr);
// A property list whose root is a dictionary, read entry by entry: an entry whose value these
// types cannot hold is left out and its key added to `unreadable`. nullopt (and the reason) when
// the bytes cannot be read at all or the root is not a dictionary.
std::optional<PlistDict> parseDictionary(const std::string& bytes,
                                         std::vector<std::string>* unreadable,
                                         std::string* reason = nullptr);
std::string toBinary(const PlistValue& value);
std::string toXml(const PlistValue& value);
}  // namespace plist

}  // namespace vm
