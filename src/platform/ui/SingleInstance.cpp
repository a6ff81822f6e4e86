#include "platform/ui/SingleInstance.h"

#include "platform/core/Log.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

#include <algorithm>
#include <cctype>

namespace vm {

namespace {

constexpr int kWaitMs = 5000;
const QByteArray kAck = "ok\n";

// The object that later starts call on the bus.
class InstanceAdaptor : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.velmorasoftware.velmoraSDR.Instance")
public:
    explicit InstanceAdaptor(SingleInstance::UrlHandler handler) : handler_(std::move(handler)) {}

public slots:
    void OpenURL(const QString& url) {
        const auto text = url.toStdString();
        if (text.size() <= SingleInstance::kMaxUrlLength) {
            handler_(text);
        }
    }

private:
    SingleInstance::UrlHandler handler_;
};

bool isOurScheme(const std::string& argument) {
    constexpr std::string_view kScheme = "kbrx:";
    return argument.size() > kScheme.size() &&
           std::equal(kScheme.begin(), kScheme.end(), argument.begin(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

}  // namespace

SingleInstance::SingleInstance(std::string name) : name_(std::move(name)) {}

SingleInstance::~SingleInstance() {
    if (onBus_) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject(kObjectPath);
        bus.interface()->unregisterService(QString::fromStdString(name_));
    }
}

std::vector<std::string> SingleInstance::urlsFromArguments(
    const std::vector<std::string>& arguments) {
    std::vector<std::string> urls;
    std::copy_if(arguments.begin(), arguments.end(), std::back_inserter(urls), isOurScheme);
    return urls;
}

bool SingleInstance::claim(UrlHandler handler) {
    handler_ = std::move(handler);
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() ? claimOnBus(bus) : claimSocket();
}

bool SingleInstance::claimOnBus(QDBusConnection& bus) {
    // The object is there before the name, so whoever sees the name can call it.
    adaptor_ = std::make_unique<InstanceAdaptor>(handler_);
    bus.registerObject(kObjectPath, adaptor_.get(), QDBusConnection::ExportAllSlots);
    const auto reply = bus.interface()->registerService(
        QString::fromStdString(name_), QDBusConnectionInterface::DontQueueService,
        QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
        onBus_ = true;
        return true;
    }
    bus.unregisterObject(kObjectPath);
    adaptor_.reset();
    if (reply.isValid()) {
        return false;  // another start holds the name
    }
    log("SingleInstance:claim:session bus refused [{}]: {}; using a local socket", name_,
        reply.error().message().toStdString());
    return claimSocket();
}

std::string SingleInstance::socketPath() const {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    return (folder + "/" + QString::fromStdString(name_) + ".socket").toStdString();
}

bool SingleInstance::claimSocket() {
    const QString path = QString::fromStdString(socketPath());
    // Two starts at the same moment: the lock lets one of them look and listen at a time.
    QLockFile lock(path + ".lock");
    if (!lock.tryLock(kWaitMs)) {
        log("SingleInstance:claim:cannot lock [{}]", (path + ".lock").toStdString());
        return false;
    }
    QLocalSocket probe;
    probe.connectToServer(path);
    if (probe.waitForConnected(kWaitMs / 10)) {
        return false;  // a first start listens there
    }
    QLocalServer::removeServer(path);  // left by a start that ended without cleaning up
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path)) {
        log("SingleInstance:claim:cannot listen on [{}]: {}", path.toStdString(),
            server_->errorString().toStdString());
        server_.reset();
        return false;
    }
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
        while (QLocalSocket* client = server_->nextPendingConnection()) {
            QObject::connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            QObject::connect(client, &QLocalSocket::readyRead, client, [this, client] {
                // One URL a line, each acknowledged; a line longer than any URL ends the talk.
                while (client->canReadLine()) {
                    QByteArray line = client->readLine(kMaxUrlLength + 2);
                    if (!line.endsWith('\n')) {
                        client->abort();
                        return;
                    }
                    line.chop(1);
                    client->write(kAck);
                    client->flush();  // acknowledged before the handler runs, whatever it does
                    handler_(line.toStdString());
                }
                if (client->bytesAvailable() > static_cast<qint64>(kMaxUrlLength)) {
                    client->abort();
                }
            });
        }
    });
    return true;
}

bool SingleInstance::forward(const std::vector<std::string>& urls) {
    for (const auto& url : urls) {
        if (url.size() > kMaxUrlLength || url.find_first_of("\r\n") != std::string::npos) {
            log("SingleInstance:forward:not a URL to hand over:[{}]", url.substr(0, 80));
            return false;
        }
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() && bus.interface()->isServiceRegistered(QString::fromStdString(name_))) {
        return forwardOnBus(bus, urls);
    }
    return forwardOverSocket(urls);
}

bool SingleInstance::forwardOnBus(QDBusConnection& bus, const std::vector<std::string>& urls) {
    for (const auto& url : urls) {
        auto call = QDBusMessage::createMethodCall(QString::fromStdString(name_), kObjectPath,
                                                   kInterface, "OpenURL");
        call << QString::fromStdString(url);
        const auto reply = bus.call(call, QDBus::Block, kWaitMs);
        if (reply.type() != QDBusMessage::ReplyMessage) {
            log("SingleInstance:forward:[{}] failed: {}", url, reply.errorMessage().toStdString());
            return false;
        }
    }
    return true;
}

bool SingleInstance::forwardOverSocket(const std::vector<std::string>& urls) {
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(socketPath()));
    if (!socket.waitForConnected(kWaitMs)) {
        log("SingleInstance:forward:no first start answers at [{}]", socketPath());
        return false;
    }
    for (const auto& url : urls) {
        socket.write(QByteArray::fromStdString(url + "\n"));
    }
    socket.waitForBytesWritten(kWaitMs);
    QByteArray acks;
    const QByteArray expected = kAck.repeated(static_cast<qsizetype>(urls.size()));
    while (acks.size() < expected.size() && socket.waitForReadyRead(kWaitMs)) {
        acks += socket.readAll();
    }
    socket.disconnectFromServer();
    if (acks != expected) {
        log("SingleInstance:forward:the first start took {} of {} URLs", acks.count(kAck),
            urls.size());
        return false;
    }
    return true;
}

}  // namespace vm

#include "SingleInstance.moc"
