#include "support/tls/OpensslServer.h"

#include "support/tls/TestPki.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

extern char** environ;

namespace vm::test {

OpensslServer::OpensslServer(const std::string& folder, const std::string& certificatePem,
                             const std::string& keyPem, const std::vector<std::string>& options) {
    static int serial = 0;
    const std::string name = "s_server" + std::to_string(++serial);
    const std::string certificate = pki::writeFile(folder, name + "-cert.pem", certificatePem);
    const std::string key = pki::writeFile(folder, name + "-key.pem", keyPem);
    outputPath_ = pki::writeFile(folder, name + ".out", "");

    std::vector<std::string> arguments = {"openssl", "s_server",  "-accept", "127.0.0.1:0",
                                          "-cert",   certificate, "-key",    key,
                                          "-rev",    "-naccept",  "1"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outputPath_.c_str(), O_WRONLY | O_TRUNC, 0);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const int spawned = posix_spawnp(&pid_, "openssl", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        pid_ = -1;
        return;
    }
    // It prints the address it listens on once it is ready.
    const std::regex accept("ACCEPT 127\\.0\\.0\\.1:([0-9]+)");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        std::smatch match;
        const std::string printed = output();
        if (std::regex_search(printed, match, accept)) {
            port_ = static_cast<std::uint16_t>(std::stoi(match[1]));
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

OpensslServer::~OpensslServer() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
}

std::string OpensslServer::output() const {
    std::ifstream file(outputPath_, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace vm::test
