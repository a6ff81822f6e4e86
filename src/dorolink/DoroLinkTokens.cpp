#include "dorolink/DoroLinkTokens.h"

#include "platform/core/Defaults.h"
#include "platform/core/Log.h"
#include "util/Keychain.h"

namespace vm {

DoroLinkTokens::DoroLinkTokens(std::shared_ptr<SecretStore> secretService, UserNotice userNotice)
    : store_(std::move(secretService)), userNotice_(std::move(userNotice)) {
    auto& defaults = Defaults::standard();
    for (const char* item : {kIdTokenItem, kRefreshTokenItem}) {
        if (defaults.object(item)) {
            defaults.remove(item);
            log("DoroLinkTokens:deleted the plain-text copy of {} from the preferences", item);
        }
    }
}

std::string DoroLinkTokens::load(const std::string& item) {
    if (const auto kept = memory_.find(item); kept != memory_.end()) {
        return kept->second;
    }
    if (store_) {
        if (auto bytes = store_->find(newSearchDictionary(item))) {
            return *bytes;
        }
    }
    return "";
}

void DoroLinkTokens::save(const std::string& item, const std::string& text) {
    if (!store_) {
        keepInMemory(item, text);
        return;
    }
    const SecretQuery query = newSearchDictionary(item);
    int status;
    if (store_->find(query)) {
        status = store_->update(query, text);
        if (status != kSecretSuccess) {
            log("updateKeychainValue:error:status:[{}]", status);
        }
    } else {
        status = store_->add(query, text);
        if (status != kSecretSuccess) {
            log("createKeychainValue:error:status:[{}]", status);
        }
    }
    if (status == kSecretSuccess) {
        memory_.erase(item);
    } else {
        keepInMemory(item, text);
    }
}

void DoroLinkTokens::keepInMemory(const std::string& item, const std::string& text) {
    memory_[item] = text;
    if (userTold_) {
        return;
    }
    userTold_ = true;
    log("DoroLinkTokens:no secret store took {}: kept in memory for this run", item);
    if (userNotice_) {
        userNotice_("DoroLink sign-in not saved",
                    "No secret store is available, so velmoraSDR keeps your DoroLink sign-in "
                    "only until it quits.");
    }
}

}  // namespace vm
