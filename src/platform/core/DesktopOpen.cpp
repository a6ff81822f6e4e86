#include "platform/core/DesktopOpen.h"

#include "platform/core/Log.h"
#include "platform/core/Process.h"

namespace vm {

void openUrlWithString(const std::string& address) {
    const auto failed = [address] { log("openUrlWithString:failed:[{}]", address); };
    const int error = startProcess("xdg-open", {address}, [failed](int exitCode) {
        if (exitCode != 0) {
            failed();
        }
    });
    if (error != 0) {
        failed();
    }
}

}  // namespace vm
