#include "platform/core/PlistValue.h"

#include "platform/core/PlistCheck.h"
#include "platform/core/PlistNode.h"

#include <cstdlib>

namespace vm::plist {

namespace {

plist_t toNode(const PlistValue& value);

struct ToNode {
    plist_t operator()(bool v) const { return plist_new_bool(v ? 1 : 0); }
    // Negative integers travel as their 64-bit pattern, which the binary format reads back signed.
    plist_t operator()(std::int64_t v) const {
        return plist_new_uint(static_cast<std::uint64_t>(v));
    }
    plist_t operator()(double v) const { return plist_new_real(v); }
    plist_t operator()(const std::string& v) const { return plist_new_string(v.c_str()); }
    plist_t operator()(const PlistData& v) const {
        return plist_new_data(reinterpret_cast<const char*>(v.data()), v.size());
    }
    plist_t operator()(const PlistArray& v) const {
        plist_t array = plist_new_array();
        for (const auto& item : v) {
            plist_array_append_item(array, toNode(item));
        }
        return array;
    }
    plist_t operator()(const PlistDict& v) const {
        plist_t dict = plist_new_dict();
        for (const auto& [key, item] : v) {
            plist_dict_set_item(dict, key.c_str(), toNode(item));
        }
        return dict;
    }
};

plist_t toNode(const PlistValue& value) { return std::visit(ToNode{}, value.variant()); }

}  // namespace

std::optional<PlistValue> valueOf(plist_t node) {
    switch (plist_get_node_type(node)) {
        case PLIST_BOOLEAN: {
            uint8_t v = 0;
            plist_get_bool_val(node, &v);
            return PlistValue(v != 0);
        }
        case PLIST_UINT: {
            uint64_t v = 0;
            plist_get_uint_val(node, &v);
            return PlistValue(static_cast<long long>(static_cast<std::int64_t>(v)));
        }
        case PLIST_REAL: {
            double v = 0;
            plist_get_real_val(node, &v);
            return PlistValue(v);
        }
        case PLIST_STRING: return PlistValue(stringOf(node));
        case PLIST_DATA: {
            char* v = nullptr;
            uint64_t length = 0;
            plist_get_data_val(node, &v, &length);
            PlistData data(reinterpret_cast<std::uint8_t*>(v),
                           reinterpret_cast<std::uint8_t*>(v) + length);
            std::free(v);
            return PlistValue(std::move(data));
        }
        case PLIST_ARRAY: {
            PlistArray array;
            const uint32_t count = plist_array_get_size(node);
            for (uint32_t i = 0; i < count; ++i) {
                auto item = valueOf(plist_array_get_item(node, i));
                if (!item) {
                    return std::nullopt;
                }
                array.push_back(std::move(*item));
            }
            return PlistValue(std::move(array));
        }
        case PLIST_DICT: {
            PlistDict dict;
            const bool whole = forEachEntry(node, [&](const std::string& key, plist_t item) {
                auto value = valueOf(item);
                if (value) {
                    dict.emplace(key, std::move(*value));
                }
                return value.has_value();
            });
            return whole ? std::optional(PlistValue(std::move(dict))) : std::nullopt;
        }
        default: return std::nullopt;  // dates, keys and uids are not settings values
    }
}

Node read(const std::string& bytes, std::string* reason) {
    std::string why = whyRefused(bytes).value_or("");
    plist_t root = nullptr;
    if (why.empty()) {
        plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
        if (!root) {
            why = "not a property list";
        }
    }
    if (!why.empty() && reason) {
        *reason = why;
    }
    return Node(root);
}

std::optional<PlistValue> parse(const std::string& bytes, std::string* reason) {
    const Node root = read(bytes, reason);
    if (!root) {
        return std::nullopt;
    }
    auto value = valueOf(root.get());
    if (!value && reason) {
        *reason = "a value that is not a setting (a date or a UID)";
    }
    return value;
}

std::optional<PlistDict> parseDictionary(const std::string& bytes,
                                         std::vector<std::string>* unreadable,
                                         std::string* reason) {
    const Node root = read(bytes, reason);
    if (!root) {
        return std::nullopt;
    }
    if (plist_get_node_type(root.get()) != PLIST_DICT) {
        if (reason) {
            *reason = "not a dictionary";
        }
        return std::nullopt;
    }
    PlistDict dict;
    forEachEntry(root.get(), [&](const std::string& key, plist_t item) {
        if (auto value = valueOf(item)) {
            dict.emplace(key, std::move(*value));
        } else {
            unreadable->push_back(key);
        }
        return true;
    });
    return dict;
}

std::string toXml(const PlistValue& value) {
    Node node(toNode(value));
    char* out = nullptr;
    uint32_t length = 0;
    plist_to_xml(node.get(), &out, &length);
    std::string text(out ? out : "", out ? length : 0);
    plist_to_xml_free(out);
    return text;
}

}  // namespace vm::plist
