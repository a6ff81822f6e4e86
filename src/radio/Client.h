#pragma once
// One GUI client that the radio reports in its "client" status lines. A plain record: texts are
// absent and flags false until a status line fills them. The session replaces a record rather
// than changing it, so a record never changes once it is in `guiClients`.
#include <optional>
#include <string>

namespace vm {

class Client {
public:
    std::optional<std::string> clientHandle;  // the radio's handle of the client
    std::optional<std::string> clientStatus;  // "connected" or "disconnected"
    std::optional<std::string> clientId;
    std::optional<std::string> program;
    std::optional<std::string> station;
    bool forced = false;
    bool wanValidationFailed = false;
    bool duplicateClientId = false;
    bool localPtt = false;
};

// Whether two records name the same client: both handles are non-empty and equal (an empty handle
// matches nothing, not even another empty handle).
inline bool sameGuiClient(const Client& a, const Client& b) {
    return a.clientHandle && !a.clientHandle->empty() && a.clientHandle == b.clientHandle;
}

}  // namespace vm
