#pragma once
// Free functions that many parts of the client call: the dispatch-timer factory, thread and
// privilege checks, the version text, the AppleScript runner, the running-application test and
// the decoding of the claims of a DoroLink identity token.
#include "platform/core/DispatchQueue.h"
#include "platform/core/DispatchSource.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vm {

// A started timer on `queue` that fires at once and then every `intervalNs`; nullptr when the
// source cannot be made. Cancel it to stop it.
DispatchSourcePtr vm_create_dispatch_timer(std::uint64_t intervalNs, std::uint64_t leewayNs,
                                           DispatchQueuePtr queue, std::function<void()> handler);

// True when the login name of the user is listed as a member of the group "admin".
bool hasAdminPrivileges();
bool userIsListedInGroup(const std::string& login, const std::string& group);

// Logs the call stack when called on the main thread, at the top of work that must not run there.
void threadMainWarning();
// The calling thread's stack, one frame a line.
std::string callStackSymbols();

// "v" followed by the program's version.
std::string displayLongVersionString();
// The release number ("2.30": major and minor) and the full build version ("2.30.1").
std::string shortVersionString();
std::string bundleVersionString();

// Runs the AppleScript source with the "osascript" interpreter (as one argument, never through
// shell text) and returns its output; an error text when the source is empty or no interpreter
// is installed.
std::string runScript(const std::string& source);

// True when a process of that exact name runs (its name or the file name of its program).
bool appIsRunning(const std::string& name, bool log);

// The claims (JSON text) of a JSON Web Token: its second part, Base64url-decoded. nullopt when
// the token has no second part, or it is not Base64 or not UTF-8. The signature is not checked.
std::optional<std::string> decodeJWT(const std::string& token);

}  // namespace vm
