#include "util/Keychain.h"

#include "platform/core/Defaults.h"
#include "platform/core/Log.h"

namespace vm {

SecretQuery newSearchDictionary(const std::string& key) {
    return SecretQuery{"com.velmorasoftware.velmorasdr." + key, key, key};
}

std::optional<Bytes> searchKeychainCopyMatching(const std::string& key) {
    return SecretStore::standard()->find(newSearchDictionary(key));
}

void savePrefToKeyChainWithKey(const std::string& key, const std::string& text) {
    auto store = SecretStore::standard();
    const auto query = newSearchDictionary(key);
    int status;
    if (store->find(query)) {
        status = store->update(query, text);
        if (status != kSecretSuccess) {
            log("updateKeychainValue:error:status:[{}]", status);
        }
    } else {
        status = store->add(query, text);
        if (status != kSecretSuccess) {
            log("createKeychainValue:error:status:[{}]", status);
        }
    }
    auto& defaults = Defaults::standard();
    if (status == kSecretSuccess) {
        if (defaults.object(key)) {
            defaults.remove(key);
        }
    } else {
        defaults.set(key, text);
    }
}

std::string loadStringFromKeyChainWithKey(const std::string& key) {
    // A successful save removes the key from the user defaults, so a text found there was left by
    // the latest save, which the store refused: it is newer than anything the store still holds.
    if (auto text = Defaults::standard().stringForKey(key)) {
        return *text;
    }
    if (auto bytes = searchKeychainCopyMatching(key)) {
        return *bytes;
    }
    return "";
}

}  // namespace vm
