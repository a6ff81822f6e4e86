#include "platform/core/SecretStore.h"

#include "platform/core/FileSecretStore.h"
#include "platform/core/SecretServiceStore.h"

#include <mutex>

namespace vm {

namespace {

std::mutex& storeMutex() {
    static std::mutex m;
    return m;
}

std::shared_ptr<SecretStore>& current() {
    static std::shared_ptr<SecretStore> store;
    return store;
}

}  // namespace

std::shared_ptr<SecretStore> SecretStore::standard() {
    std::lock_guard lock(storeMutex());
    auto& store = current();
    if (!store) {
        store = SecretServiceStore::connect();
        if (!store) {
            store = std::make_shared<FileSecretStore>(FileSecretStore::defaultPath());
        }
    }
    return store;
}

void SecretStore::setStandard(std::shared_ptr<SecretStore> store) {
    std::lock_guard lock(storeMutex());
    current() = std::move(store);
}

}  // namespace vm
