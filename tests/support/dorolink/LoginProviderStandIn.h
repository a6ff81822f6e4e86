#pragma once
// The DoroLink identity provider for tests: an HTTPS server on 127.0.0.1 (QSslServer) with a
// certificate for "localhost" signed by an authority made for it at start, which the client under
// test is told to trust. It records each request (method, path, headers, body) and answers every
// one with the status and body the test set. It runs on the Qt event loop of the test's thread.
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSslCertificate>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QSslServer;

namespace vm::test {

class LoginProviderStandIn {
public:
    struct Request {
        QString method;
        QString path;
        QMap<QString, QString> headers;  // names in lower case
        QByteArray body;
    };

    LoginProviderStandIn();
    ~LoginProviderStandIn();
    LoginProviderStandIn(const LoginProviderStandIn&) = delete;
    LoginProviderStandIn& operator=(const LoginProviderStandIn&) = delete;

    // "https://localhost:<port>"
    std::string baseUrl() const;
    QList<QSslCertificate> authority() const { return {authority_}; }

    void answer(int status, QByteArray body);
    const std::vector<Request>& requests() const { return requests_; }

private:
    struct Connection;
    void serve(Connection& connection);

    std::unique_ptr<QSslServer> server_;
    QSslCertificate authority_;
    std::uint16_t port_ = 0;
    int status_ = 200;
    QByteArray body_;
    std::vector<Request> requests_;
};

}  // namespace vm::test
