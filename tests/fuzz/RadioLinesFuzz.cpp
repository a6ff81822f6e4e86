// Arbitrary bytes as lines received from a radio: each line, as the session's read hands it over
// (up to and including its line feed), goes through the line decoding and parseRadioStream(), and
// on into whatever status parsers exist.
//
// Each input gets a session of its own, closed and released before the next one, with the work
// its lines queued (on the session's queue and on the main queue) done first. So an input's
// outcome depends on that input alone (a crash it finds replays by itself) and nothing grows from
// input to input, where one long-lived session collected objects and their timers.
//
// Speed: every input runs through tens of thousands of coverage features (a whole session's
// code). libFuzzer's entropic scheduling updates a frequency per feature and input, and its leak
// check re-runs and scans the heap after each new input, and both cost far more than the parsing;
// the address sanitizer's quarantine makes each session's memory fresh pages. So this target turns
// the first two off (leaks are still checked when the run ends, and by the sanitizer tests) and
// keeps a smaller quarantine: it then runs several times as many inputs a second.
#include "attach/RadioObjects.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"
#include "radio/Radio.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static std::vector<char*> arguments(*argv, *argv + *argc);
    static char entropic[] = "-entropic=0";
    static char leaks[] = "-detect_leaks=0";
    arguments.insert(arguments.begin() + 1, {entropic, leaks});  // flags given later still win
    arguments.push_back(nullptr);
    *argc = static_cast<int>(arguments.size() - 1);
    *argv = arguments.data();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = [] {
        vm::setLogSink([](std::string_view) {});
        return true;
    }();
    (void)quiet;
    auto radio = vm::Radio::createDetached(nullptr, {}, "fuzz", 2, vm::attachRadioObjects);
    radio->parseRadioStream("H2DE0B1A5");  // lines from this handle are this client's own
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        const std::size_t length = end == std::string_view::npos ? bytes.size() : end + 1;
        radio->parseRadioStream(vm::Radio::lineFromData(bytes.substr(0, length)));
        bytes.remove_prefix(length);
    }
    // The announcements the lines queued for the window side, then the session's end.
    radio->radioRunQueue()->sync([] {});
    vm::DispatchQueue::drainMain();
    radio->close();
    radio->radioRunQueue()->sync([] {});
    vm::DispatchQueue::drainMain();
    return 0;
}
