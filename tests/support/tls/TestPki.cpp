#include "support/tls/TestPki.h"

#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace vm::test::pki {

namespace {

template <class T, void (*Free)(T*)>
struct Deleter {
    void operator()(T* p) const { Free(p); }
};
using KeyPtr = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY, EVP_PKEY_free>>;
using CertPtr = std::unique_ptr<X509, Deleter<X509, X509_free>>;
using BioPtr = std::unique_ptr<BIO, Deleter<BIO, BIO_free_all>>;

void require(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string("test certificates: ") + what);
}

std::string bioText(BIO* bio) {
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio, &data);
    return std::string(data, static_cast<std::size_t>(length));
}

KeyPtr newKey() {
    KeyPtr key(EVP_EC_gen("P-256"));
    require(key != nullptr, "key");
    return key;
}

void addExtension(X509* certificate, X509* issuer, int nid, const char* value) {
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    require(extension != nullptr, "extension");
    X509_add_ext(certificate, extension, -1);
    X509_EXTENSION_free(extension);
}

TestIdentity finish(X509* certificate, EVP_PKEY* key) {
    TestIdentity identity;
    BioPtr certificateText(BIO_new(BIO_s_mem()));
    BioPtr keyText(BIO_new(BIO_s_mem()));
    require(PEM_write_bio_X509(certificateText.get(), certificate) == 1 &&
                PEM_write_bio_PrivateKey(keyText.get(), key, nullptr, nullptr, 0, nullptr,
                                         nullptr) == 1,
            "PEM");
    identity.certificatePem = bioText(certificateText.get());
    identity.keyPem = bioText(keyText.get());
    unsigned char* der = nullptr;
    const int length = i2d_X509(certificate, &der);
    require(length > 0, "DER");
    identity.certificateDer.assign(reinterpret_cast<const char*>(der),
                                   static_cast<std::size_t>(length));
    OPENSSL_free(der);
    return identity;
}

CertPtr newCertificate(EVP_PKEY* key, const std::string& commonName, long notBefore,
                       long notAfter) {
    static long serial = 1;
    CertPtr certificate(X509_new());
    X509_set_version(certificate.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), serial++);
    X509_gmtime_adj(X509_getm_notBefore(certificate.get()), notBefore);
    X509_gmtime_adj(X509_getm_notAfter(certificate.get()), notAfter);
    X509_set_pubkey(certificate.get(), key);
    X509_NAME* name = X509_get_subject_name(certificate.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                               reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1,
                               0);
    return certificate;
}

}  // namespace

TestIdentity authority(const std::string& commonName) {
    KeyPtr key = newKey();
    CertPtr certificate = newCertificate(key.get(), commonName, -3600, 10L * 365 * 86400);
    X509_set_issuer_name(certificate.get(), X509_get_subject_name(certificate.get()));
    addExtension(certificate.get(), certificate.get(), NID_basic_constraints, "critical,CA:TRUE");
    addExtension(certificate.get(), certificate.get(), NID_key_usage,
                 "critical,keyCertSign,cRLSign");
    addExtension(certificate.get(), certificate.get(), NID_subject_key_identifier, "hash");
    require(X509_sign(certificate.get(), key.get(), EVP_sha256()) > 0, "sign");
    return finish(certificate.get(), key.get());
}

TestIdentity server(const TestIdentity& issuer, const std::string& dnsName, long notBeforeSeconds,
                    long notAfterSeconds) {
    BioPtr issuerCertificateText(BIO_new_mem_buf(issuer.certificatePem.data(), -1));
    BioPtr issuerKeyText(BIO_new_mem_buf(issuer.keyPem.data(), -1));
    CertPtr issuerCertificate(
        PEM_read_bio_X509(issuerCertificateText.get(), nullptr, nullptr, nullptr));
    KeyPtr issuerKey(PEM_read_bio_PrivateKey(issuerKeyText.get(), nullptr, nullptr, nullptr));
    require(issuerCertificate && issuerKey, "issuer");

    KeyPtr key = newKey();
    CertPtr certificate = newCertificate(key.get(), dnsName, notBeforeSeconds, notAfterSeconds);
    X509_set_issuer_name(certificate.get(), X509_get_subject_name(issuerCertificate.get()));
    addExtension(certificate.get(), issuerCertificate.get(), NID_basic_constraints, "CA:FALSE");
    addExtension(certificate.get(), issuerCertificate.get(), NID_ext_key_usage, "serverAuth");
    addExtension(certificate.get(), issuerCertificate.get(), NID_subject_alt_name,
                 ("DNS:" + dnsName + ",IP:127.0.0.1").c_str());
    addExtension(certificate.get(), issuerCertificate.get(), NID_authority_key_identifier, "keyid");
    require(X509_sign(certificate.get(), issuerKey.get(), EVP_sha256()) > 0, "sign");
    return finish(certificate.get(), key.get());
}

std::string diffieHellmanParametersPem() {
    EVP_PKEY_CTX* context = EVP_PKEY_CTX_new_from_name(nullptr, "DH", nullptr);
    EVP_PKEY* parameters = nullptr;
    require(context && EVP_PKEY_paramgen_init(context) == 1 &&
                EVP_PKEY_CTX_set_group_name(context, "ffdhe2048") == 1 &&
                EVP_PKEY_paramgen(context, &parameters) == 1,
            "DH parameters");
    EVP_PKEY_CTX_free(context);
    BioPtr text(BIO_new(BIO_s_mem()));
    require(PEM_write_bio_Parameters(text.get(), parameters) == 1, "DH PEM");
    EVP_PKEY_free(parameters);
    return bioText(text.get());
}

std::string commonNameOf(const std::string& certificateDer) {
    const auto* der = reinterpret_cast<const unsigned char*>(certificateDer.data());
    CertPtr certificate(d2i_X509(nullptr, &der, static_cast<long>(certificateDer.size())));
    if (!certificate) return {};
    char name[256] = {};
    X509_NAME_get_text_by_NID(X509_get_subject_name(certificate.get()), NID_commonName, name,
                              sizeof name);
    return name;
}

std::string writeFile(const std::string& folder, const std::string& name,
                      const std::string& content) {
    const std::string path = (std::filesystem::path(folder) / name).string();
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

}  // namespace vm::test::pki
