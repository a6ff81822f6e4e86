#include "support/dorolink/DoroLinkTestServer.h"

#include "support/sim/SimSocket.h"
#include "support/sim/SimTls.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace vm::test {

namespace {

constexpr int kPollMs = 5;

DoroLinkCertificates* certificates = nullptr;

// Made before the first test runs, while no other thread can look at the environment.
class CertificatesEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        auto made = new DoroLinkCertificates;
        made->authority = pki::authority("DoroLink Test Root");
        made->localhost = pki::server(made->authority, "localhost");
        made->otherName = pki::server(made->authority, "other.example");
        made->expired = pki::server(made->authority, "localhost", -10 * 86400, -86400);
        // Inside the test program's own home, which goes when the program ends.
        const std::string folder = std::string(std::getenv("HOME")) + "/dorolink-tls";
        std::filesystem::create_directories(folder);
        const std::string bundle =
            pki::writeFile(folder, "trusted.pem", made->authority.certificatePem);
        ::setenv("SSL_CERT_FILE", bundle.c_str(), 1);
        ::setenv("SSL_CERT_DIR", folder.c_str(), 1);
        certificates = made;
    }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new CertificatesEnvironment);

}  // namespace

const DoroLinkCertificates& doroLinkCertificates() { return *certificates; }

struct DoroLinkTestServer::Session {
    int id = 0;
    sim::Fd fd;
    std::unique_ptr<sim::SimTlsStream> tls;  // none while handshakes are not answered
    std::string inbound;                     // the line not finished yet
    std::string outbox;
    std::chrono::nanoseconds lastPing{0};
    bool securedCounted = false;
    bool closeRequested = false;
    bool draining = false;  // the writing side is shut: what comes is dropped
    bool over = false;
};

std::unique_ptr<DoroLinkTestServer> DoroLinkTestServer::start(Options options, std::string* error) {
    std::unique_ptr<DoroLinkTestServer> server(new DoroLinkTestServer);
    if (!options.clock) {
        options.clock = [] { return std::chrono::steady_clock::now().time_since_epoch(); };
    }
    server->options_ = std::move(options);
    server->context_ = sim::SimTlsContext::server(server->options_.identityPem, error);
    if (!server->context_) {
        return nullptr;
    }
    sim::Fd listener = sim::listenTcp({"127.0.0.1", 0}, error);
    if (!listener.valid()) {
        return nullptr;
    }
    server->port_ = sim::localPort(listener.get());
    server->listener_ = listener.get();
    server->thread_ = std::thread([raw = server.get(), fd = std::move(listener)]() mutable {
        raw->run();
        fd.reset();
    });
    return server;
}

DoroLinkTestServer::~DoroLinkTestServer() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    if (thread_.joinable()) {
        thread_.join();
    }
}

void DoroLinkTestServer::run() {
    for (;;) {
        std::vector<pollfd> fds{{listener_, POLLIN, 0}};
        {
            std::lock_guard lock(mutex_);
            if (stop_) {
                return;
            }
            for (const auto& session : sessions_) {
                if (!session->over && session->tls) {
                    fds.push_back({session->fd.get(), POLLIN, 0});
                }
            }
        }
        ::poll(fds.data(), fds.size(), kPollMs);
        std::lock_guard lock(mutex_);
        for (;;) {
            const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0) {
                break;
            }
            auto session = std::make_unique<Session>();
            session->id = ++accepted_;
            session->fd.reset(fd);
            if (options_.completeHandshakes) {
                session->tls = std::make_unique<sim::SimTlsStream>(*context_, fd);
            }
            sessions_.push_back(std::move(session));
        }
        for (const auto& session : sessions_) {
            if (!session->over && session->tls) {
                serve(*session);
            }
        }
        ++turns_;
    }
}

// Reads what came, answers the ping window, writes what waits and closes when asked.
void DoroLinkTestServer::serve(Session& s) {
    auto end = [&] {
        s.over = true;
        s.fd.reset();
        ++ended_;
    };
    char buffer[16384];
    for (;;) {
        if (s.draining) {
            const ssize_t n = ::recv(s.fd.get(), buffer, sizeof buffer, 0);
            if (n > 0) {
                continue;
            }
            if (n == 0 || errno != EAGAIN) {
                end();
            }
            return;
        }
        const ssize_t n = s.tls->receive(buffer, sizeof buffer);
        if (!s.securedCounted && s.tls->established()) {
            s.securedCounted = true;
            s.lastPing = options_.clock();
            ++secured_;
        }
        if (n > 0) {
            for (ssize_t i = 0; i < n; ++i) {
                const char c = buffer[i];
                if (c != '\r' && c != '\n') {
                    s.inbound += c;
                    continue;
                }
                if (s.inbound.empty()) {
                    continue;
                }
                if (s.inbound == "ping from client" && !losePings_) {
                    s.lastPing = options_.clock();
                }
                lines_.push_back({s.id, std::move(s.inbound)});
                s.inbound.clear();
            }
            continue;
        }
        if (n == 0 || errno != EAGAIN) {
            end();
            return;
        }
        break;
    }
    if (s.securedCounted && !s.closeRequested && options_.pingWindow.count() > 0 &&
        options_.clock() - s.lastPing >= options_.pingWindow) {
        s.outbox += std::string(kLackOfPing) + "\n";
        s.closeRequested = true;
    }
    while (!s.outbox.empty() && s.tls->established()) {
        const ssize_t n = s.tls->send(s.outbox.data(), s.outbox.size());
        if (n > 0) {
            s.outbox.erase(0, static_cast<std::size_t>(n));
        } else if (n < 0 && errno == EAGAIN) {
            return;
        } else {
            end();
            return;
        }
    }
    if (s.closeRequested && s.outbox.empty() && s.tls->established()) {
        s.tls->close();
        ::shutdown(s.fd.get(), SHUT_WR);
        s.draining = true;
    }
}

std::vector<DoroLinkTestServer::Line> DoroLinkTestServer::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

std::size_t DoroLinkTestServer::count(const std::string& text) const {
    std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(std::count_if(
        lines_.begin(), lines_.end(), [&](const Line& line) { return line.text == text; }));
}

std::size_t DoroLinkTestServer::countPrefix(const std::string& prefix) const {
    std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(
        std::count_if(lines_.begin(), lines_.end(),
                      [&](const Line& line) { return line.text.starts_with(prefix); }));
}

std::uint64_t DoroLinkTestServer::turns() const {
    std::lock_guard lock(mutex_);
    return turns_;
}

int DoroLinkTestServer::accepted() const {
    std::lock_guard lock(mutex_);
    return accepted_;
}

int DoroLinkTestServer::secured() const {
    std::lock_guard lock(mutex_);
    return secured_;
}

int DoroLinkTestServer::ended() const {
    std::lock_guard lock(mutex_);
    return ended_;
}

void DoroLinkTestServer::send(const std::string& bytes) {
    std::lock_guard lock(mutex_);
    if (!sessions_.empty()) {
        sessions_.back()->outbox += bytes;
    }
}

void DoroLinkTestServer::closeSession() {
    std::lock_guard lock(mutex_);
    if (!sessions_.empty()) {
        sessions_.back()->closeRequested = true;
    }
}

void DoroLinkTestServer::losePings(bool lose) {
    std::lock_guard lock(mutex_);
    losePings_ = lose;
}

}  // namespace vm::test
