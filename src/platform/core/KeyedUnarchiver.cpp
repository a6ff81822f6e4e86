#include "platform/core/KeyedUnarchiver.h"

#include "platform/core/KeyedArchiver.h"

#include <type_traits>
#include <vector>

namespace vm {

namespace {

Error archiveError(long code, std::string description) {
    return Error{archive::kErrorDomain, code, std::move(description)};
}

bool isUid(plist_t node) { return node && plist_get_node_type(node) == PLIST_UID; }

class Decoder {
public:
    Decoder(plist_t objects, const std::set<std::string>& allowed)
        : objects_(objects), allowed_(allowed), busy_(plist_array_get_size(objects), false) {}

    // The value that a UID reference points at; nullopt with error_ set on failure.
    std::optional<ArchiveValue> decodeRef(plist_t ref, int depth) {
        if (!isUid(ref)) {
            return malformed("a reference that is not a UID");
        }
        std::uint64_t index = 0;
        plist_get_uid_val(ref, &index);
        if (index == 0 || index >= busy_.size()) {
            return malformed("a reference to object " + std::to_string(index) + " of " +
                             std::to_string(busy_.size()));
        }
        if (busy_[index]) {
            return malformed("a reference loop through object " + std::to_string(index));
        }
        if (depth > KeyedUnarchiver::kMaxDepth || ++decoded_ > KeyedUnarchiver::kMaxValues) {
            return malformed("an archive nested too deep or holding too many values");
        }
        busy_[index] = true;
        auto value =
            decodeNode(plist_array_get_item(objects_, static_cast<uint32_t>(index)), depth);
        busy_[index] = false;
        return value;
    }

    Error error;

private:
    std::optional<ArchiveValue> decodeNode(plist_t node, int depth) {
        switch (plist_get_node_type(node)) {
            case PLIST_BOOLEAN:
            case PLIST_UINT:
            case PLIST_REAL:
            case PLIST_STRING:
            case PLIST_DATA: return decodeScalar(*plist::valueOf(node));
            case PLIST_DICT: return decodeRecord(node, depth);
            default: return malformed("an entry of \"$objects\" of an unknown kind");
        }
    }

    std::optional<ArchiveValue> decodeScalar(const PlistValue& value) {
        if (const auto* text = value.get<std::string>(); text && *text == "$null") {
            return malformed("\"$null\" where a value belongs");
        }
        return allowedValue(std::visit(
            [](const auto& v) -> ArchiveValue {
                using T = std::decay_t<decltype(v)>;
                if constexpr (std::is_same_v<T, PlistArray> || std::is_same_v<T, PlistDict>) {
                    return ArchiveArray{};  // a scalar node never gives a collection
                } else {
                    return ArchiveValue(v);
                }
            },
            value.variant()));
    }

    // A record with "$class": an array, a dictionary or an object of a named class.
    std::optional<ArchiveValue> decodeRecord(plist_t node, int depth) {
        const auto className = classNameOfRecord(plist_dict_get_item(node, "$class"));
        if (!className) {
            return std::nullopt;
        }
        if (!allowed_.count(*className)) {
            return notAllowed(*className);
        }
        if (*className == archive::kArrayClass) {
            auto items = decodeList(plist_dict_get_item(node, "objects"), depth);
            return items ? std::optional<ArchiveValue>(std::move(*items)) : std::nullopt;
        }
        if (*className == archive::kDictionaryClass) {
            return decodeDictionary(node, depth);
        }
        if (*className == archive::kDateClass) {
            plist_t time = plist_dict_get_item(node, "time");
            if (!time || plist_get_node_type(time) != PLIST_REAL) {
                return malformed("a date without its time");
            }
            double seconds = 0;
            plist_get_real_val(time, &seconds);
            return ArchiveValue(ArchiveDate{seconds});
        }
        if (archive::isBuiltInClassName(*className)) {
            return malformed("a record of the built-in class \"" + *className + "\"");
        }
        ArchiveObject object{*className, {}};
        const bool whole = plist::forEachEntry(node, [&](const std::string& name, plist_t item) {
            std::uint64_t index = 1;
            if (isUid(item)) {
                plist_get_uid_val(item, &index);
            }
            if (name.empty() || name[0] == '$' || index == 0) {
                return true;  // "$class", or a field set to nothing
            }
            auto value = decodeRef(item, depth + 1);
            if (value) {
                object.fields.emplace(name, std::move(*value));
            }
            return value.has_value();
        });
        return whole ? std::optional(ArchiveValue(std::move(object))) : std::nullopt;
    }

    std::optional<ArchiveValue> decodeDictionary(plist_t node, int depth) {
        auto keys = decodeList(plist_dict_get_item(node, "keys"), depth);
        if (!keys) {
            return std::nullopt;
        }
        auto values = decodeList(plist_dict_get_item(node, "objects"), depth);
        if (!values) {
            return std::nullopt;
        }
        if (keys->size() != values->size()) {
            return malformed("a dictionary with " + std::to_string(keys->size()) + " keys and " +
                             std::to_string(values->size()) + " values");
        }
        ArchiveDictionary dictionary;
        for (std::size_t i = 0; i < keys->size(); ++i) {
            const auto* key = (*keys)[i].get<std::string>();
            if (!key) {
                return malformed("a dictionary key that is not a string");
            }
            dictionary.insert_or_assign(*key, std::move((*values)[i]));
        }
        return ArchiveValue(std::move(dictionary));
    }

    std::optional<ArchiveArray> decodeList(plist_t refs, int depth) {
        if (!refs || plist_get_node_type(refs) != PLIST_ARRAY) {
            malformed("a collection without its list of references");
            return std::nullopt;
        }
        ArchiveArray items;
        const uint32_t count = plist_array_get_size(refs);
        for (uint32_t i = 0; i < count; ++i) {
            auto item = decodeRef(plist_array_get_item(refs, i), depth + 1);
            if (!item) {
                return std::nullopt;
            }
            items.push_back(std::move(*item));
        }
        return items;
    }

    std::optional<std::string> classNameOfRecord(plist_t ref) {
        std::uint64_t index = 0;
        if (isUid(ref)) {
            plist_get_uid_val(ref, &index);
        }
        plist_t record = index > 0 && index < busy_.size()
                             ? plist_array_get_item(objects_, static_cast<uint32_t>(index))
                             : nullptr;
        plist_t name = record && plist_get_node_type(record) == PLIST_DICT
                           ? plist_dict_get_item(record, "$classname")
                           : nullptr;
        if (!name || plist_get_node_type(name) != PLIST_STRING) {
            malformed("a record without a class record");
            return std::nullopt;
        }
        return plist::stringOf(name);
    }

    std::optional<ArchiveValue> allowedValue(ArchiveValue value) {
        const auto className = archive::classNameOf(value);
        if (!allowed_.count(className)) {
            return notAllowed(className);
        }
        return value;
    }

    std::optional<ArchiveValue> notAllowed(const std::string& className) {
        error = archiveError(archive::kClassNotAllowed,
                             "value of class \"" + className + "\" is not allowed");
        return std::nullopt;
    }

    std::optional<ArchiveValue> malformed(const std::string& what) {
        error = archiveError(archive::kMalformed, "the archive holds " + what);
        return std::nullopt;
    }

    plist_t objects_;
    const std::set<std::string>& allowed_;
    std::vector<bool> busy_;  // objects being decoded: a reference back to one is a loop
    std::size_t decoded_ = 0;
};

}  // namespace

std::optional<KeyedUnarchiver> KeyedUnarchiver::create(const std::string& bytes, Error* error) {
    std::string reason;
    plist::Node owner = plist::read(bytes, &reason);
    plist_t root = owner.get();
    if (!root) {
        setError(error,
                 archiveError(archive::kNotAnArchive,
                              "the data is not a property list that can be read: " + reason));
        return std::nullopt;
    }
    const auto has = [&](const char* key, plist_type type) {
        plist_t item =
            plist_get_node_type(root) == PLIST_DICT ? plist_dict_get_item(root, key) : nullptr;
        return item && plist_get_node_type(item) == type;
    };
    if (!has("$archiver", PLIST_STRING) || !has("$top", PLIST_DICT) ||
        !has("$objects", PLIST_ARRAY)) {
        setError(error,
                 archiveError(archive::kNotAnArchive, "the property list is not a keyed archive"));
        return std::nullopt;
    }
    return KeyedUnarchiver(std::move(owner));
}

std::optional<ArchiveValue> KeyedUnarchiver::decodeTopObject(const std::set<std::string>& allowed,
                                                             Error* error) const {
    plist_t objects = plist_dict_get_item(root_.get(), "$objects");
    plist_t ref = plist_dict_get_item(plist_dict_get_item(root_.get(), "$top"), "root");
    std::uint64_t index = 1;
    if (isUid(ref)) {
        plist_get_uid_val(ref, &index);
    }
    if (index == 0) {
        return std::nullopt;  // the archive holds nothing
    }
    Decoder decoder(objects, allowed);
    auto value = decoder.decodeRef(ref, 0);
    if (!value) {
        setError(error, decoder.error);
    }
    return value;
}

}  // namespace vm
