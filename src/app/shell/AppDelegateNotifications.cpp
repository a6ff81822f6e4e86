// Telling the user something outside the windows (among them a preferences file put aside), the
// station name of this client, the DoroLink table after a server exchange, the session with a
// DoroLink radio made ready, and the DoroLink identity of the logged-in user.
#include "app/shell/AppDelegate.h"

#include "app/control/RemoteEndpoint.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/RadioPrefsPage.h"
#include "app/windows/StationPrefsPage.h"
#include "platform/core/Defaults.h"
#include "platform/core/Log.h"
#include "platform/ui/UserNotifications.h"
#include "radio/Client.h"
#include "radio/Radio.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPixmap>

namespace vm {

void AppDelegate::showNotificationWithTitle(const std::string& title, const std::string& text,
                                            const QImage& image) {
    userNotifications_->show(title, text, image);
}

void AppDelegate::tellPreferencesKeptAside() {
    const auto aside = Defaults::standard().fileKeptAside();
    if (!aside) {
        return;
    }
    log("tellPreferencesKeptAside:[{}]", aside->string());
    showNotificationWithTitle(
        "Preferences could not be read",
        fmt::format("velmoraSDR started with the settings it could read and kept your "
                    "preferences file as {}.",
                    aside->filename().string()));
}

void AppDelegate::clientListChangedNotification(const Notification&) {
    const std::shared_ptr<Radio> radio = openRadio;
    if (!radio) {
        return;
    }
    const std::string own = radio->clientHandle().value_or("");
    std::vector<std::shared_ptr<Client>> clients =
        radio->guiClients()->with([](const auto& list) { return list; });
    for (const auto& client : clients) {
        const std::string handle = client->clientHandle.value_or("");
        const std::string station = client->station.value_or("");
        if (handle.empty() || handle != own || station.empty()) {
            continue;
        }
        log("clientListChangedNotification:us:openRadio.clientHandle:[{}] clientHandle:[{}] "
            "clientStatus:[{}] "
            "clientId:[{}] program:[{}] station:[{}] [{} {} {} {}]",
            own, handle, client->clientStatus.value_or(""), client->clientId.value_or(""),
            client->program.value_or(""), station, int(client->forced),
            int(client->wanValidationFailed), int(client->duplicateClientId),
            int(client->localPtt));
        std::weak_ptr<AppDelegate> weak = weak_from_this();
        DispatchQueue::main()->async([weak, station] {
            if (auto self = weak.lock()) {
                self->prefsWindow->stationPage().setStationName(station);
            }
        });
    }
}

void AppDelegate::authProcessComplete(const Notification&) {
    RadioPrefsPage& radio = prefsWindow->radioPage();
    radio.reloadRemoteRadios();
    radio.setDoroLinkBusy(false);
}

void AppDelegate::remoteRadioReady(const Notification& notification) {
    const auto radio = std::static_pointer_cast<RadioInstance>(notification.object);
    if (!radio) {
        return;
    }
    const std::string name = radio->name.value_or("");
    if (openRadio) {
        const auto open = openRadio->radioInstance();
        log("remoteRadioReady:[{}] already connected to:[{}]", name,
            open ? open->name.value_or("") : "");
        return;
    }
    log("remoteRadioReady:[{}] connect...", name);
    const std::optional<RemoteEndpoint> endpoint = remoteRadioEndpoint(*radio);
    if (!endpoint) {
        // The server listed the radio without a usable address or port: nothing to connect to.
        log("remoteRadioReady:[{}] no public address or TLS port:[{}] [{}]", name,
            radio->publicIp.value_or(""),
            (radio->upnpSupported.value_or(false) ? radio->public_upnp_tls_port
                                                  : radio->public_tls_port)
                .value_or(""));
        prefsWindow->radioPage().setDoroLinkBusy(false);
        showNotificationWithTitle("Connection failed", "Connection with:" + name + " failed");
        return;
    }
    connectToDoroRadio(radio, endpoint->ip, endpoint->port, true);
}

void AppDelegate::displayIdToken(const std::string& json) {
    RadioPrefsPage& page = prefsWindow->radioPage();
    page.setIdentityPicture({});
    if (json.empty()) {
        page.setIdentityEmail({});
        return;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        const std::string description = error.error != QJsonParseError::NoError
                                            ? error.errorString().toStdString()
                                            : "not a JSON object";
        log("displayIdToken:error: {}", description);
        page.setIdentityEmail(QString::fromStdString(description));
        page.setIdentityStatus(QStringLiteral("DoroLink"));
        return;
    }
    const QJsonObject claims = document.object();
    page.setIdentityEmail(claims.value("email").toString());
    page.setIdentityStatus(
        QStringLiteral("DoroLink: %1 %2")
            .arg(claims.value("given_name").toString(), claims.value("family_name").toString()));
    // The picture comes over the network: it is shown when it arrives, never waited for here.
    const QUrl picture(claims.value("picture").toString());
    if (!picture.isValid() || picture.isEmpty()) {
        return;
    }
    if (!network_) {
        network_ = std::make_unique<QNetworkAccessManager>();
    }
    QNetworkReply* reply = network_->get(QNetworkRequest(picture));
    RadioPrefsPage* target = &page;
    QObject::connect(reply, &QNetworkReply::finished, target, [reply, target] {
        QPixmap image;
        if (reply->error() == QNetworkReply::NoError && image.loadFromData(reply->readAll())) {
            target->setIdentityPicture(image);
        }
        reply->deleteLater();
    });
}

}  // namespace vm
