#include "util/SharedFunctions.h"

#include "platform/core/Log.h"

#include <execinfo.h>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <vector>

namespace vm {

DispatchSourcePtr vm_create_dispatch_timer(std::uint64_t intervalNs, std::uint64_t leewayNs,
                                           DispatchQueuePtr queue, std::function<void()> handler) {
    auto timer = DispatchSource::makeTimer(std::move(queue));
    if (!timer) {
        return nullptr;
    }
    timer->setTimer(DispatchClock::duration::zero(), std::chrono::nanoseconds(intervalNs),
                    std::chrono::nanoseconds(leewayNs));
    timer->setEventHandler(std::move(handler));
    timer->resume();
    return timer;
}

bool userIsListedInGroup(const std::string& login, const std::string& group) {
    std::vector<char> buffer(16384);
    struct group entry;
    struct group* found = nullptr;
    while (::getgrnam_r(group.c_str(), &entry, buffer.data(), buffer.size(), &found) == ERANGE) {
        buffer.resize(buffer.size() * 2);
    }
    if (!found || !found->gr_mem) {
        return false;
    }
    for (char** member = found->gr_mem; *member; ++member) {
        if (login == *member) {
            return true;
        }
    }
    return false;
}

bool hasAdminPrivileges() {
    std::vector<char> buffer(16384);
    struct passwd entry;
    struct passwd* found = nullptr;
    while (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE) {
        buffer.resize(buffer.size() * 2);
    }
    return found && userIsListedInGroup(found->pw_name, "admin");
}

std::string callStackSymbols() {
    void* frames[64];
    const int count = ::backtrace(frames, 64);
    std::unique_ptr<char*, void (*)(void*)> symbols(::backtrace_symbols(frames, count), std::free);
    std::string stack;
    for (int i = 0; symbols && i < count; ++i) {
        stack += (i ? "\n" : "") + std::string(symbols.get()[i]);
    }
    return stack;
}

void threadMainWarning() {
    if (!isMainThread()) {
        return;
    }
    const std::string stack = callStackSymbols();
    log("threadCheckWarning: called on main thread:\n{}", stack);
}

std::string displayLongVersionString() { return std::string("v") + VM_VERSION; }

std::string shortVersionString() { return VM_SHORT_VERSION; }

std::string bundleVersionString() { return VM_VERSION; }

}  // namespace vm
