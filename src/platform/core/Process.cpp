#include "platform/core/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

extern char** environ;

namespace vm {

namespace {

constexpr int kPollSliceMs = 10;

// Appends what the pipe holds now; returns false at end of file or on a read error.
bool readAvailable(int fd, Bytes& into) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            into.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

int decodeStatus(int status) {
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    if (WIFSIGNALED(status)) {
        return 128 + WTERMSIG(status);
    }
    return -1;
}

void reap(pid_t pid, int* status) {
    while (::waitpid(pid, status, 0) < 0 && errno == EINTR) {
    }
}

struct SpawnSetup {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    // An output of -1 leaves the program this process's standard output and error.
    explicit SpawnSetup(int outputFd) {
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        if (outputFd >= 0) {
            posix_spawn_file_actions_adddup2(&actions, outputFd, STDOUT_FILENO);
            posix_spawn_file_actions_adddup2(&actions, outputFd, STDERR_FILENO);
        }
        posix_spawnattr_init(&attr);
        sigset_t none;
        sigemptyset(&none);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (int sig : {SIGPIPE, SIGCHLD, SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2}) {
            sigaddset(&defaults, sig);
        }
        posix_spawnattr_setsigmask(&attr, &none);
        posix_spawnattr_setsigdefault(&attr, &defaults);
        posix_spawnattr_setpgroup(&attr, 0);
        posix_spawnattr_setflags(
            &attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attr);
    }
};

std::vector<char*> argumentVector(const std::string& program,
                                  const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : arguments) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    return argv;
}

}  // namespace

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         Seconds timeout) {
    ProcessResult result;
    if (!(timeout.count() >= 0)) {
        timeout = Seconds(0);  // a negative or NaN time-out is already over
    }
    const auto start = DispatchClock::now();
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        result.spawnError = errno;
        return result;
    }
    std::vector<char*> argv = argumentVector(program, arguments);

    pid_t pid = -1;
    int rc;
    {
        SpawnSetup setup(fds[1]);
        rc = ::posix_spawnp(&pid, program.c_str(), &setup.actions, &setup.attr, argv.data(),
                            environ);
    }
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        result.spawnError = rc;
        return result;
    }
    result.started = true;
    ::fcntl(fds[0], F_SETFL, ::fcntl(fds[0], F_GETFL) | O_NONBLOCK);

    bool open = true;
    int status = 0;
    for (;;) {
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            // Everything the program wrote before it ended is in the pipe now; a background child
            // that still holds the pipe is not waited for.
            if (open) {
                readAvailable(fds[0], result.output);
            }
            result.exitCode = decodeStatus(status);
            break;
        }
        const Seconds elapsed = DispatchClock::now() - start;
        if (elapsed > timeout) {
            ::kill(-pid, SIGKILL);
            ::kill(pid, SIGKILL);
            reap(pid, &status);
            result.timedOut = true;
            result.exitCode = decodeStatus(status);
            break;
        }
        const auto leftMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(timeout - elapsed).count();
        const int sliceMs = static_cast<int>(std::clamp<long long>(leftMs + 1, 1, kPollSliceMs));
        if (open) {
            pollfd p{fds[0], POLLIN, 0};
            if (::poll(&p, 1, sliceMs) > 0) {
                open = readAvailable(fds[0], result.output);
            }
        } else {
            ::poll(nullptr, 0, sliceMs);
        }
    }
    ::close(fds[0]);
    result.elapsed = DispatchClock::now() - start;
    return result;
}

int startProcess(const std::string& program, const std::vector<std::string>& arguments,
                 std::function<void(int exitCode)> ended) {
    std::vector<char*> argv = argumentVector(program, arguments);
    pid_t pid = -1;
    int rc;
    {
        SpawnSetup setup(-1);
        rc = ::posix_spawnp(&pid, program.c_str(), &setup.actions, &setup.attr, argv.data(),
                            environ);
    }
    if (rc != 0) {
        return rc;
    }
    // The program may outlive this process (a mail client started by it): the waiting thread is
    // not joined, and ends with the program or with this process.
    std::thread([pid, ended = std::move(ended)] {
        int status = 0;
        reap(pid, &status);
        if (ended) {
            ended(decodeStatus(status));
        }
    }).detach();
    return 0;
}

}  // namespace vm
