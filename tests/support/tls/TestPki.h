#pragma once
// Certificates made at test time with the OpenSSL API: an authority, and server certificates it
// signs for a name, valid for a chosen period. Keys are P-256, quick to make.
#include <string>

namespace vm::test {

struct TestIdentity {
    std::string certificatePem;
    std::string keyPem;
    std::string certificateDer;

    // The certificate and its key in one PEM text.
    std::string identityPem() const { return certificatePem + keyPem; }
};

namespace pki {

// A self-signed certificate authority.
TestIdentity authority(const std::string& commonName);
// A server certificate for `dnsName` and 127.0.0.1, signed by `issuer`, valid from now plus
// `notBeforeSeconds` to now plus `notAfterSeconds`.
TestIdentity server(const TestIdentity& issuer, const std::string& dnsName,
                    long notBeforeSeconds = -3600, long notAfterSeconds = 86400);
// Diffie-Hellman parameters of a standard group, as PEM.
std::string diffieHellmanParametersPem();
// The common name in a DER certificate's subject.
std::string commonNameOf(const std::string& certificateDer);

// A file written into a folder.
std::string writeFile(const std::string& folder, const std::string& name,
                      const std::string& content);

}  // namespace pki
}  // namespace vm::test
