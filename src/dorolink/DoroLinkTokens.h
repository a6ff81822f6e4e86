#pragma once
// The two DoroLink tokens: the claims of the identity token and the refresh token. They are kept
// in the Secret Service only. Without one (or when it refuses a save) a token is kept in memory
// until the program ends, and the user is told once that the sign-in will not be remembered. A
// token is never written to the preferences: plain-text copies that older versions left there
// under the items' names are deleted when the tokens are first used.
#include "platform/core/SecretStore.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace vm {

inline constexpr const char* kIdTokenItem = "smart_auth_id_token";
inline constexpr const char* kRefreshTokenItem = "smart_auth_refresh_token";

class DoroLinkTokens {
public:
    using UserNotice = std::function<void(const std::string& title, const std::string& text)>;

    // `secretService`: the Secret Service, or null when none answers.
    DoroLinkTokens(std::shared_ptr<SecretStore> secretService, UserNotice userNotice);

    // The latest text saved for the item; empty when there is none.
    std::string load(const std::string& item);
    void save(const std::string& item, const std::string& text);

private:
    void keepInMemory(const std::string& item, const std::string& text);

    const std::shared_ptr<SecretStore> store_;
    const UserNotice userNotice_;
    std::map<std::string, std::string> memory_;  // tokens the store did not take
    bool userTold_ = false;
};

}  // namespace vm
