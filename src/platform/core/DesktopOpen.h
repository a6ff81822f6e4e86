#pragma once
// Hands a web address or a folder to the desktop's opener ("xdg-open", found in PATH), which
// shows it in the user's browser or file viewer. Nothing waits for it: a failure to start it, or
// its report of a failure, is logged as "openUrlWithString:failed:[<address>]".
#include <string>

namespace vm {

void openUrlWithString(const std::string& address);

}  // namespace vm
