#include "support/dorolink/LoginProviderStandIn.h"

#include "support/tls/TestPki.h"

#include <QHostAddress>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>

#include <gtest/gtest.h>

namespace vm::test {

struct LoginProviderStandIn::Connection {
    QSslSocket* socket = nullptr;
    QByteArray inbound;
};

LoginProviderStandIn::LoginProviderStandIn() : server_(std::make_unique<QSslServer>()) {
    const TestIdentity ca = pki::authority("DoroLink login test authority");
    const TestIdentity host = pki::server(ca, "localhost");
    authority_ = QSslCertificate(QByteArray::fromStdString(ca.certificatePem), QSsl::Pem);
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(QSslCertificate(QByteArray::fromStdString(host.certificatePem)));
    tls.setPrivateKey(QSslKey(QByteArray::fromStdString(host.keyPem), QSsl::Ec));
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    server_->setSslConfiguration(tls);
    EXPECT_TRUE(server_->listen(QHostAddress::LocalHost, 0))
        << server_->errorString().toStdString();
    port_ = server_->serverPort();
    QObject::connect(server_.get(), &QSslServer::pendingConnectionAvailable, server_.get(), [this] {
        while (server_->hasPendingConnections()) {
            auto* socket = static_cast<QSslSocket*>(server_->nextPendingConnection());
            auto connection = std::make_shared<Connection>();
            connection->socket = socket;
            QObject::connect(socket, &QSslSocket::readyRead, socket, [this, connection] {
                connection->inbound += connection->socket->readAll();
                serve(*connection);
            });
            QObject::connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

LoginProviderStandIn::~LoginProviderStandIn() = default;

std::string LoginProviderStandIn::baseUrl() const {
    return "https://localhost:" + std::to_string(port_);
}

void LoginProviderStandIn::answer(int status, QByteArray body) {
    status_ = status;
    body_ = std::move(body);
}

// One request a connection: the head, then as many body bytes as Content-Length says.
void LoginProviderStandIn::serve(Connection& connection) {
    const qsizetype headEnd = connection.inbound.indexOf("\r\n\r\n");
    if (headEnd < 0) {
        return;
    }
    Request request;
    const QList<QByteArray> lines = connection.inbound.left(headEnd).split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    request.method = QString::fromLatin1(first.value(0));
    request.path = QString::fromLatin1(first.value(1));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0) {
            request.headers.insert(QString::fromLatin1(lines[i].left(colon)).toLower(),
                                   QString::fromLatin1(lines[i].mid(colon + 1).trimmed()));
        }
    }
    const qsizetype length = request.headers.value(QStringLiteral("content-length")).toLongLong();
    if (connection.inbound.size() - (headEnd + 4) < length) {
        return;
    }
    request.body = connection.inbound.mid(headEnd + 4, length);
    requests_.push_back(request);
    const QByteArray reply = "HTTP/1.1 " + QByteArray::number(status_) +
                             " Answer\r\nContent-Type: application/json\r\nContent-Length: " +
                             QByteArray::number(body_.size()) + "\r\nConnection: close\r\n\r\n" +
                             body_;
    connection.socket->write(reply);
    connection.socket->disconnectFromHost();
}

}  // namespace vm::test
