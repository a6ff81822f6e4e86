#pragma once
// Secrets in the Secret Service (org.freedesktop.secrets) on the session bus, through libsecret.
// Items go to the default collection, labelled with their service and found by their attributes.
#include "platform/core/SecretStore.h"

namespace vm {

class SecretServiceStore : public SecretStore {
public:
    // A store when a Secret Service answers on the session bus within a short time, else nullptr.
    // Nothing is tried when the environment names no session bus.
    static std::shared_ptr<SecretServiceStore> connect();

    std::optional<Bytes> find(const SecretQuery& query) override;
    int add(const SecretQuery& query, const Bytes& data) override;
    int update(const SecretQuery& query, const Bytes& data) override;

private:
    SecretServiceStore() = default;
    int store(const SecretQuery& query, const Bytes& data);
};

}  // namespace vm
