#pragma once
// Storage for short secrets (login tokens), one item per service and account. The standard store
// is the Secret Service on the session bus when one answers there, otherwise a file in the config
// folder that only the user may read (mode 0600).
#include "platform/core/Bytes.h"

#include <memory>
#include <optional>
#include <string>

namespace vm {

// The attributes that name one item.
struct SecretQuery {
    std::string service;
    std::string account;
    std::string generic;

    bool operator==(const SecretQuery&) const = default;
};

// Results of the store's changes.
enum SecretStatus : int {
    kSecretSuccess = 0,
    kSecretWriteFailed = -36,       // the file could not be written
    kSecretServiceFailed = -25291,  // the Secret Service refused or did not answer
    kSecretDuplicateItem = -25299,  // add: an item with these attributes exists
    kSecretItemNotFound = -25300,   // update: no item with these attributes
};

class SecretStore {
public:
    virtual ~SecretStore() = default;

    // The item's data, or nullopt when there is none.
    virtual std::optional<Bytes> find(const SecretQuery& query) = 0;
    virtual int add(const SecretQuery& query, const Bytes& data) = 0;
    virtual int update(const SecretQuery& query, const Bytes& data) = 0;

    // Chosen on first use. setStandard() replaces it (tests point it at a file of their own).
    static std::shared_ptr<SecretStore> standard();
    static void setStandard(std::shared_ptr<SecretStore> store);
};

}  // namespace vm
