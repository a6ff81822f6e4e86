#include "platform/core/FileSecretStore.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/Defaults.h"
#include "platform/core/Log.h"
#include "platform/core/PlistValue.h"

#include <algorithm>

namespace vm {

namespace {

const std::string* stringAt(const PlistDict& item, const char* key) {
    auto it = item.find(key);
    return it == item.end() ? nullptr : it->second.get<std::string>();
}

bool matches(const PlistValue& value, const SecretQuery& query) {
    const auto* item = value.get<PlistDict>();
    if (!item) {
        return false;
    }
    const auto* service = stringAt(*item, "service");
    const auto* account = stringAt(*item, "account");
    const auto* generic = stringAt(*item, "generic");
    return service && account && generic && *service == query.service &&
           *account == query.account && *generic == query.generic;
}

// The items of the file; an empty list when there is no file. nullopt when the file exists but
// cannot be read as a list of items.
std::optional<PlistArray> readItems(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        return PlistArray{};
    }
    auto bytes = readWholeFile(path);
    if (!bytes) {
        return std::nullopt;
    }
    auto root = plist::parse(*bytes);
    if (!root || !root->get<PlistArray>()) {
        return std::nullopt;
    }
    return *root->get<PlistArray>();
}

}  // namespace

FileSecretStore::FileSecretStore(std::filesystem::path file) : path_(std::move(file)) {}

std::filesystem::path FileSecretStore::defaultPath() {
    return Defaults::configFolder() / "secrets.plist";
}

std::optional<Bytes> FileSecretStore::find(const SecretQuery& query) {
    std::lock_guard lock(mutex_);
    auto items = readItems(path_);
    if (!items) {
        return std::nullopt;
    }
    for (const auto& value : *items) {
        if (matches(value, query)) {
            const auto& item = *value.get<PlistDict>();
            auto it = item.find("data");
            const auto* data = it == item.end() ? nullptr : it->second.get<PlistData>();
            return data ? Bytes(data->begin(), data->end()) : Bytes();
        }
    }
    return std::nullopt;
}

int FileSecretStore::add(const SecretQuery& query, const Bytes& data) {
    return store(query, data, false);
}

int FileSecretStore::update(const SecretQuery& query, const Bytes& data) {
    return store(query, data, true);
}

int FileSecretStore::store(const SecretQuery& query, const Bytes& data, bool mustExist) {
    std::lock_guard lock(mutex_);
    auto items = readItems(path_);
    if (!items) {
        const auto aside = renameAside(path_, "unreadable");
        log("FileSecretStore:unreadable secrets:[{}] kept as:[{}]", path_.string(),
            aside ? aside->string() : std::string("(not renamed)"));
        if (!aside) {
            return kSecretWriteFailed;
        }
        items = PlistArray{};
    }
    auto it = std::find_if(items->begin(), items->end(),
                           [&](const PlistValue& v) { return matches(v, query); });
    if (mustExist && it == items->end()) {
        return kSecretItemNotFound;
    }
    if (!mustExist && it != items->end()) {
        return kSecretDuplicateItem;
    }
    PlistDict item{{"service", query.service},
                   {"account", query.account},
                   {"generic", query.generic},
                   {"data", PlistData(data.begin(), data.end())}};
    if (it == items->end()) {
        items->emplace_back(std::move(item));
    } else {
        *it = std::move(item);
    }
    Error error;
    if (!writeFileAtomically(path_, plist::toBinary(PlistValue(std::move(*items))), 0600, &error)) {
        log("FileSecretStore:write failed:[{}]", error.description);
        return kSecretWriteFailed;
    }
    return kSecretSuccess;
}

}  // namespace vm
