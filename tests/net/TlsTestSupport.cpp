#include "net/TlsTestSupport.h"

#include <cstdlib>
#include <filesystem>

namespace vm::test {

namespace {

TlsFixtures* fixtures = nullptr;

class TlsEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        auto made = new TlsFixtures;
        // Inside the test program's own home, which is removed when it ends.
        made->folder = std::string(std::getenv("HOME")) + "/tls";
        std::filesystem::create_directories(made->folder);
        made->authority = pki::authority("Velmora Test Root");
        made->stranger = pki::authority("Stranger Root");
        made->localhost = pki::server(made->authority, "localhost");
        made->otherName = pki::server(made->authority, "other.example");
        made->expired = pki::server(made->authority, "localhost", -10 * 86400, -86400);
        made->unknownAuthority = pki::server(made->stranger, "localhost");
        // The system's trust store, as the TLS library finds it, is this authority alone.
        const std::string bundle =
            pki::writeFile(made->folder, "trusted.pem", made->authority.certificatePem);
        ::setenv("SSL_CERT_FILE", bundle.c_str(), 1);
        ::setenv("SSL_CERT_DIR", made->folder.c_str(), 1);
        fixtures = made;
    }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new TlsEnvironment);

}  // namespace

const TlsFixtures& tlsFixtures() { return *fixtures; }

PlistData plistData(const std::string& bytes) { return PlistData(bytes.begin(), bytes.end()); }

PlistArray certificatesSetting(const TestIdentity& identity) {
    return PlistArray{PlistValue(plistData(identity.identityPem()))};
}

Error awaitDisconnectError(const TlsRecordingDelegate& delegate) {
    if (!waitFor([&] { return !delegate.disconnects.empty(); })) return Error{};
    return delegate.disconnects.front().value_or(Error{});
}

void drainSocketAndMain(const TcpSocketPtr& sock) {
    sock->performBlock([] {});
    bool reached = false;
    DispatchQueue::main()->async([&] { reached = true; });
    waitFor([&] { return reached; });
}

}  // namespace vm::test
