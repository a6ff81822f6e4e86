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
    if (auto bytes = searchKeychainCopyMatching(key)) {
        return *bytes;
    }
    return Defaults::standard().stringForKey(key).value_or("");
}

}  // namespace vm
