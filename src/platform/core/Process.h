#pragma once
// Runs a program with an argument vector (never through shell text built here), standard input
// from /dev/null and standard output and error together into one pipe that is drained while the
// program runs, so a program that prints more than a pipe holds never stalls. The program runs in
// its own process group; when the time-out passes, the whole group is killed and the program is
// reaped before the call returns.
#include "platform/core/Bytes.h"
#include "platform/core/DispatchClock.h"

#include <functional>
#include <string>
#include <vector>

namespace vm {

struct ProcessResult {
    bool started = false;  // false: the program could not be started; spawnError holds errno
    int spawnError = 0;
    bool timedOut = false;
    int exitCode = -1;   // the exit code; 128 + the signal number for a program ended by a signal
    Bytes output;        // standard output and standard error, in the order they were written
    Seconds elapsed{0};  // measured on DispatchClock
};

// `program` is looked up in PATH when it holds no "/"; `arguments` are argv[1] onwards.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         Seconds timeout);

// Starts a program without waiting for it (standard input from /dev/null, standard output and
// error shared with this process, a process group of its own). `ended` is called with its exit
// code, as ProcessResult's, on a thread of its own once it ends. Returns 0, or the errno of a
// program that could not be started (and then `ended` is never called).
int startProcess(const std::string& program, const std::vector<std::string>& arguments,
                 std::function<void(int exitCode)> ended);

}  // namespace vm
