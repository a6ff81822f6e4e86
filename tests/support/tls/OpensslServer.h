#pragma once
// `openssl s_server` on 127.0.0.1 with a certificate of the test's, answering each line with the
// line reversed; it ends after one connection. What it prints goes to a file the test can read.
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vm::test {

class OpensslServer {
public:
    // `options`: more arguments, such as "-tls1_3". Check started() before use.
    OpensslServer(const std::string& folder, const std::string& certificatePem,
                  const std::string& keyPem, const std::vector<std::string>& options);
    ~OpensslServer();
    OpensslServer(const OpensslServer&) = delete;
    OpensslServer& operator=(const OpensslServer&) = delete;

    bool started() const { return port_ != 0; }
    std::uint16_t port() const { return port_; }
    // What the server printed so far.
    std::string output() const;

private:
    pid_t pid_ = -1;
    std::string outputPath_;
    std::uint16_t port_ = 0;
};

}  // namespace vm::test
