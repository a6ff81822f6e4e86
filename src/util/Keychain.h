#pragma once
// Short secret texts (the DoroLink identity and refresh tokens) in the secret store, one item per
// key of service "com.velmorasoftware.velmorasdr." followed by the key. When the store refuses a
// save, the text goes to the user defaults under the key instead, and is read back from there
// until a later save reaches the store and removes it.
#include "platform/core/Bytes.h"
#include "platform/core/SecretStore.h"

#include <optional>
#include <string>

namespace vm {

// The attributes that name the item of a key.
SecretQuery newSearchDictionary(const std::string& key);
// The stored bytes, or nullopt when the store holds no item for the key.
std::optional<Bytes> searchKeychainCopyMatching(const std::string& key);
void savePrefToKeyChainWithKey(const std::string& key, const std::string& text);
// The text of the latest save: the user defaults' text for the key when a save left one there,
// else the stored text, else the empty text.
std::string loadStringFromKeyChainWithKey(const std::string& key);

}  // namespace vm
