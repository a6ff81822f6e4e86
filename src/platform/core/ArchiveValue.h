#pragma once
// The values a keyed archive holds: numbers (integer, real, boolean), strings, data, dates,
// arrays, dictionaries with string keys, and objects of a named class whose fields are named
// values. Objects of a class are what a record (a band-stack entry, say) becomes when archived.
#include "platform/core/PlistValue.h"

#include <compare>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace vm {

class ArchiveValue;
using ArchiveArray = std::vector<ArchiveValue>;
using ArchiveDictionary = std::map<std::string, ArchiveValue>;

// An instant as seconds since 2001-01-01 00:00:00 UTC.
struct ArchiveDate {
    double secondsSinceReferenceDate = 0;
    auto operator<=>(const ArchiveDate&) const = default;
};

struct ArchiveObject {
    std::string className;
    ArchiveDictionary fields;  // an absent field is a value that was never set

    const ArchiveValue* field(const std::string& name) const;
    bool operator==(const ArchiveObject&) const;
};

class ArchiveValue {
public:
    using Variant = std::variant<bool, std::int64_t, double, std::string, PlistData, ArchiveDate,
                                 ArchiveArray, ArchiveDictionary, ArchiveObject>;

    ArchiveValue(bool v) : value_(v) {}
    ArchiveValue(int v) : value_(std::int64_t{v}) {}
    ArchiveValue(long v) : value_(std::int64_t{v}) {}
    ArchiveValue(long long v) : value_(static_cast<std::int64_t>(v)) {}
    ArchiveValue(double v) : value_(v) {}
    ArchiveValue(const char* v) : value_(std::string(v)) {}
    ArchiveValue(std::string v) : value_(std::move(v)) {}
    ArchiveValue(PlistData v) : value_(std::move(v)) {}
    ArchiveValue(ArchiveDate v) : value_(v) {}
    ArchiveValue(ArchiveArray v) : value_(std::move(v)) {}
    ArchiveValue(ArchiveDictionary v) : value_(std::move(v)) {}
    ArchiveValue(ArchiveObject v) : value_(std::move(v)) {}

    const Variant& variant() const { return value_; }
    template <class T>
    const T* get() const {
        return std::get_if<T>(&value_);
    }

    bool operator==(const ArchiveValue& other) const { return value_ == other.value_; }

private:
    Variant value_;
};

inline const ArchiveValue* ArchiveObject::field(const std::string& name) const {
    const auto it = fields.find(name);
    return it == fields.end() ? nullptr : &it->second;
}

inline bool ArchiveObject::operator==(const ArchiveObject& other) const {
    return className == other.className && fields == other.fields;
}

namespace archive {
// The class names under which the built-in kinds are allowed when decoding. Records use their own
// class names, which must differ from these.
inline constexpr const char* kNumberClass = "Number";  // integers, reals and booleans
inline constexpr const char* kStringClass = "String";
inline constexpr const char* kDataClass = "Data";
inline constexpr const char* kDateClass = "Date";
inline constexpr const char* kArrayClass = "Array";
inline constexpr const char* kDictionaryClass = "Dictionary";

// The class name a value is checked under.
std::string classNameOf(const ArchiveValue& value);
bool isBuiltInClassName(const std::string& name);

// The record `value` is when it is one of class `className`, else null.
const ArchiveObject* recordOfClass(const ArchiveValue& value, const std::string& className);
// A string, or null for a value of another kind or none.
const std::string* textValue(const ArchiveValue* value);
// A number (integer, real or boolean) as a real; nothing for a value of another kind or none.
std::optional<double> realValue(const ArchiveValue* value);
}  // namespace archive

}  // namespace vm
