#include "JackServer.h"

#include <jack/jack.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <future>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

extern char** environ;

namespace vm::test {

namespace {

using namespace std::chrono_literals;

// Waits up to `timeout` for the child to end; true when it has.
bool reaped(pid_t pid, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    do {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            return true;
        }
        std::this_thread::sleep_for(10ms);
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

// Whether a client can open the server: true or false, or none when jack_client_open has not
// returned within `limit` (it waits on the server's registry lock, which a killed process may have
// left taken). The probe runs on a thread of its own, which is left behind when it hangs.
std::optional<bool> probe(const std::string& name, std::chrono::milliseconds limit) {
    auto opened = std::make_shared<std::promise<bool>>();
    auto answer = opened->get_future();
    std::thread([opened, name] {
        jack_status_t status{};
        jack_client_t* client =
            jack_client_open("velmora-probe", jack_options_t(JackNoStartServer | JackServerName),
                             &status, name.c_str());
        if (client) {
            jack_client_close(client);
        }
        opened->set_value(client != nullptr);
    }).detach();
    if (answer.wait_for(limit) != std::future_status::ready) {
        return std::nullopt;
    }
    return answer.get();
}

}  // namespace

std::string JackServer::serverLog() const {
    std::ifstream in(logPath_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool JackServer::start(int periodFrames) {
    name_ = "velmora" + std::to_string(::getpid());
    logPath_ = "/tmp/" + name_ + "-jackd.log";
    ::setenv("JACK_NO_START_SERVER", "1", 1);
    ::setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, logPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::vector<std::string> args{
        "jackd", "-n", name_, "-d", "dummy", "-r", "48000", "-p", std::to_string(periodFrames)};
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const int spawned = ::posix_spawnp(&pid_, "jackd", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        pid_ = -1;
        error_ = "jackd could not be started (is jackd2 installed? scripts/deps.sh installs it)";
        return false;
    }
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (std::chrono::steady_clock::now() < end) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        const std::optional<bool> opened = probe(name_, std::max(left, 100ms));
        if (!opened) {
            error_ =
                "a JACK client did not return from opening the server within 5 s (a stale "
                "lock in JACK's shared-memory registry?):\n" +
                serverLog();
            stop();
            return false;
        }
        if (*opened) {
            return true;
        }
        if (reaped(pid_, 0ms)) {
            pid_ = -1;
            error_ = "jackd ended at start:\n" + serverLog();
            return false;
        }
        std::this_thread::sleep_for(50ms);
    }
    error_ = "jackd did not answer within 5 s:\n" + serverLog();
    stop();
    return false;
}

void JackServer::stop() {
    if (pid_ <= 0) {
        return;
    }
    ::kill(pid_, SIGTERM);
    if (!reaped(pid_, 5000ms)) {
        ::kill(pid_, SIGKILL);
        reaped(pid_, 5000ms);
    }
    pid_ = -1;
    ::unlink(logPath_.c_str());
}

}  // namespace vm::test
