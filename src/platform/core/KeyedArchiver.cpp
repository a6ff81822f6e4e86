#include "platform/core/KeyedArchiver.h"

#include "platform/core/PlistNode.h"

#include <cmath>
#include <map>

namespace vm {

namespace {

class Archiver {
public:
    Archiver() : objects_(plist_new_array()) {
        plist_array_append_item(objects_.get(), plist_new_string("$null"));
    }

    // Appends the value (its parts first) and answers its index in "$objects"; 0 on failure.
    std::uint64_t add(const ArchiveValue& value) { return std::visit(*this, value.variant()); }

    std::uint64_t operator()(bool v) { return append(plist_new_bool(v ? 1 : 0)); }
    // Negative integers travel as their 64-bit pattern, which the binary format reads back signed.
    std::uint64_t operator()(std::int64_t v) {
        return append(plist_new_uint(static_cast<std::uint64_t>(v)));
    }
    std::uint64_t operator()(double v) {
        if (!std::isfinite(v)) {
            return fail("a real that is not finite");
        }
        return append(plist_new_real(v));
    }
    std::uint64_t operator()(const std::string& v) { return append(plist_new_string(v.c_str())); }
    std::uint64_t operator()(const PlistData& v) {
        return append(plist_new_data(reinterpret_cast<const char*>(v.data()), v.size()));
    }
    std::uint64_t operator()(const ArchiveDate& v) {
        if (!std::isfinite(v.secondsSinceReferenceDate)) {
            return fail("a date that is not finite");
        }
        plist_t record = classed(archive::kDateClass);
        plist_dict_set_item(record, "time", plist_new_real(v.secondsSinceReferenceDate));
        return append(record);
    }
    std::uint64_t operator()(const ArchiveArray& v) {
        plist::Node refs(plist_new_array());
        for (const auto& item : v) {
            const auto ref = add(item);
            if (ref == 0) {
                return 0;
            }
            plist_array_append_item(refs.get(), plist_new_uid(ref));
        }
        plist_t record = classed(archive::kArrayClass);
        plist_dict_set_item(record, "objects", refs.release());
        return append(record);
    }
    std::uint64_t operator()(const ArchiveDictionary& v) {
        plist::Node keys(plist_new_array());
        plist::Node refs(plist_new_array());
        for (const auto& [key, item] : v) {
            const auto keyRef = add(key);
            const auto ref = keyRef ? add(item) : 0;
            if (ref == 0) {
                return 0;
            }
            plist_array_append_item(keys.get(), plist_new_uid(keyRef));
            plist_array_append_item(refs.get(), plist_new_uid(ref));
        }
        plist_t record = classed(archive::kDictionaryClass);
        plist_dict_set_item(record, "keys", keys.release());
        plist_dict_set_item(record, "objects", refs.release());
        return append(record);
    }
    std::uint64_t operator()(const ArchiveObject& v) {
        if (v.className.empty() || archive::isBuiltInClassName(v.className)) {
            return fail("an object of class \"" + v.className +
                        "\", a name kept for built-in values");
        }
        plist::Node record(classed(v.className));
        for (const auto& [name, item] : v.fields) {
            if (name.empty() || name[0] == '$') {
                return fail("the field \"" + name + "\" of class \"" + v.className + "\"");
            }
            const auto ref = add(item);
            if (ref == 0) {
                return 0;
            }
            plist_dict_set_item(record.get(), name.c_str(), plist_new_uid(ref));
        }
        return append(record.release());
    }

    std::optional<std::string> finish(std::uint64_t root, Error* error) {
        if (root == 0) {
            setError(error, error_);
            return std::nullopt;
        }
        plist::Node top(plist_new_dict());
        plist_dict_set_item(top.get(), "$archiver", plist_new_string(archive::kArchiverName));
        plist_dict_set_item(top.get(), "$version", plist_new_uint(archive::kArchiveVersion));
        plist_t rootRef = plist_new_dict();
        plist_dict_set_item(rootRef, "root", plist_new_uid(root));
        plist_dict_set_item(top.get(), "$top", rootRef);
        plist_dict_set_item(top.get(), "$objects", objects_.release());
        return plist::binaryBytes(top.get());
    }

private:
    std::uint64_t append(plist_t node) {
        plist_array_append_item(objects_.get(), node);
        return plist_array_get_size(objects_.get()) - 1;
    }

    // A new record whose "$class" refers to the class record of `name`, added on first use.
    plist_t classed(const std::string& name) {
        auto [it, added] = classes_.try_emplace(name, 0);
        if (added) {
            plist_t record = plist_new_dict();
            plist_dict_set_item(record, "$classname", plist_new_string(name.c_str()));
            plist_t chain = plist_new_array();
            plist_array_append_item(chain, plist_new_string(name.c_str()));
            plist_dict_set_item(record, "$classes", chain);
            it->second = append(record);
        }
        plist_t node = plist_new_dict();
        plist_dict_set_item(node, "$class", plist_new_uid(it->second));
        return node;
    }

    std::uint64_t fail(const std::string& what) {
        error_ = Error{archive::kErrorDomain, archive::kUnencodable, "cannot archive " + what};
        return 0;
    }

    plist::Node objects_;
    std::map<std::string, std::uint64_t> classes_;
    Error error_;
};

}  // namespace

std::optional<std::string> archivedData(const ArchiveValue& root, Error* error) {
    Archiver archiver;
    const auto ref = archiver.add(root);
    return archiver.finish(ref, error);
}

}  // namespace vm
