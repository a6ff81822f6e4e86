#pragma once
// The check for a newer release: the maker's version file is fetched over HTTPS (never from a
// cache, with a time-out), its number compared with the running program's, and the user told in
// an alert: a newer release (with the offer to open the download page), an unreachable server, a
// version file without a number, and, when the user asked from the menu, that the program is up
// to date. Each check ends in at most one alert and never waits on the network. Main thread only.
#include "app/shell/MakerLinks.h"
#include "util/SharedFunctions.h"

#include <QList>
#include <QPalette>
#include <QSslCertificate>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QNetworkAccessManager;
class QNetworkReply;

namespace vm {

struct UpdateCheckOptions {
    std::string versionFileUrl = maker::kVersionFile;
    std::string downloadPageUrl = maker::kProductPage;
    // The running program's short version ("2.30") and build version ("2.30.1", "2.31b2").
    std::string shortVersion = shortVersionString();
    std::string buildVersion = bundleVersionString();
    // Tests only: the authorities trusted for the request (empty: the system's).
    QList<QSslCertificate> trustedAuthorities;
    std::chrono::milliseconds timeout{15000};
};

class UpdateCheck {
public:
    // `appearance` gives the alerts the windows' appearance.
    UpdateCheck(UpdateCheckOptions options, std::function<std::optional<QPalette>()> appearance);
    ~UpdateCheck();
    UpdateCheck(const UpdateCheck&) = delete;
    UpdateCheck& operator=(const UpdateCheck&) = delete;

    // At launch (`calledFromMenu` false) an up-to-date program says nothing.
    void checkForUpdates(bool calledFromMenu);

private:
    void finished(QNetworkReply& reply, bool calledFromMenu, bool tooLarge);
    void showAlert(const std::string& message, const std::string& informative,
                   bool offerDownload) const;

    UpdateCheckOptions options_;
    std::function<std::optional<QPalette>()> appearance_;
    std::unique_ptr<QNetworkAccessManager> network_;
};

}  // namespace vm
