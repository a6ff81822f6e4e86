#pragma once
// Secrets in one property-list file written atomically with mode 0600: an array of items, each a
// dictionary of "service", "account", "generic" and "data". A file that does not parse is renamed
// to *.unreadable (and logged) before anything new is written, so no secret is silently lost.
#include "platform/core/SecretStore.h"

#include <filesystem>
#include <mutex>

namespace vm {

class FileSecretStore : public SecretStore {
public:
    explicit FileSecretStore(std::filesystem::path file);
    // "secrets.plist" in the config folder.
    static std::filesystem::path defaultPath();

    std::optional<Bytes> find(const SecretQuery& query) override;
    int add(const SecretQuery& query, const Bytes& data) override;
    int update(const SecretQuery& query, const Bytes& data) override;

    const std::filesystem::path& path() const { return path_; }

private:
    int store(const SecretQuery& query, const Bytes& data, bool mustExist);

    const std::filesystem::path path_;
    std::mutex mutex_;
};

}  // namespace vm
