#include "app/shell/UpdateCheck.h"

#include "app/shell/ReleaseVersion.h"
#include "platform/core/DesktopOpen.h"
#include "platform/core/Log.h"
#include "platform/ui/Alert.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QUrl>

namespace vm {

namespace {

constexpr const char* kAppName = "velmoraSDR";
// A version file is a line of text; a longer answer is not one.
constexpr qint64 kMostVersionFileBytes = 64 * 1024;
// How much of an unreadable version file the log shows.
constexpr std::size_t kLoggedBytes = 200;

}  // namespace

UpdateCheck::UpdateCheck(UpdateCheckOptions options,
                         std::function<std::optional<QPalette>()> appearance)
    : options_(std::move(options)),
      appearance_(std::move(appearance)),
      network_(std::make_unique<QNetworkAccessManager>()) {}

UpdateCheck::~UpdateCheck() {
    // A check still out ends without telling anyone.
    for (QNetworkReply* reply : network_->findChildren<QNetworkReply*>()) {
        reply->disconnect();
        reply->abort();
    }
}

void UpdateCheck::checkForUpdates(bool calledFromMenu) {
    QNetworkRequest request(QUrl(QString::fromStdString(options_.versionFileUrl)));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setTransferTimeout(static_cast<int>(options_.timeout.count()));
    if (!options_.trustedAuthorities.isEmpty()) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setCaCertificates(options_.trustedAuthorities);
        request.setSslConfiguration(tls);
    }
    QNetworkReply* reply = network_->get(request);
    auto tooLarge = std::make_shared<bool>(false);
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [reply, tooLarge](qint64 received, qint64) {
                         if (received > kMostVersionFileBytes && !*tooLarge) {
                             *tooLarge = true;
                             reply->abort();
                         }
                     });
    QObject::connect(reply, &QNetworkReply::finished, reply,
                     [this, reply, calledFromMenu, tooLarge] {
                         reply->deleteLater();
                         finished(*reply, calledFromMenu, *tooLarge);
                     });
}

void UpdateCheck::finished(QNetworkReply& reply, bool calledFromMenu, bool tooLarge) {
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    // No answer from the server at all (no route, refused, TLS not trusted, timed out).
    if (reply.error() != QNetworkReply::NoError && !status.isValid() && !tooLarge) {
        log("checkForUpdates:error:[{}], {} Cannot reach server.",
            reply.errorString().toStdString(), kAppName);
        showAlert(std::string(kAppName) + " Cannot reach the server.",
                  "Please check your internet connection", false);
        return;
    }
    double latest = 0;
    const QByteArray data = reply.readAll();
    // An error page or an answer too long to be a version file holds no version number.
    if (reply.error() != QNetworkReply::NoError || data.isEmpty()) {
        if (status.isValid()) {
            log("checkForUpdates:status:[{}]", status.toInt());
        }
        log("checkForUpdates:data missing");
    } else {
        const std::string text = QString::fromUtf8(data).toStdString();
        const std::string trimmed(digitsTrimmed(text));
        latest = latestReleaseVersion(trimmed);
        if (latest == 0) {
            log("checkForUpdates:data:latestVersion:[{:g}] data.bytes:[{}] "
                "latestVersionString:[{}]",
                latest, text.substr(0, kLoggedBytes), trimmed);
        }
    }
    const double running = runningReleaseVersion(options_.shortVersion, options_.buildVersion);
    log("checkForUpdates:Version:calledFromMenu:[{}] [{}] adjusted:[{:0.2f}] Latest Available "
        "Version:[{:0.2f}]",
        calledFromMenu ? 1 : 0, options_.buildVersion, running, latest);
    if (latest == 0) {
        showAlert("Server Error", "Error retrieving latest version number from server", false);
    } else if (latest > running) {
        showAlert(std::string("There is a newer version of ") + kAppName + " available",
                  "Would you like to download it now ?", true);
    } else if (calledFromMenu) {
        showAlert(fmt::format("{} {:0.2f} is the latest release version.", kAppName, latest),
                  "Your software (" + options_.buildVersion + ") is up to date.", false);
    }
}

void UpdateCheck::showAlert(const std::string& message, const std::string& informative,
                            bool offerDownload) const {
    Alert alert;
    alert.setAppearance(appearance_ ? appearance_() : std::nullopt);
    alert.setAlertStyle(Alert::Style::informational);
    alert.setMessageText(message);
    alert.setInformativeText(informative);
    alert.addButtonWithTitle("OK");
    if (offerDownload) {
        alert.addButtonWithTitle("Later");
    }
    if (alert.runModal() == Alert::firstButtonReturn && offerDownload) {
        openUrlWithString(options_.downloadPageUrl);
    }
}

}  // namespace vm
