#include "app/dorolink/DoroLinkAuthWebController.h"

#include "app/dorolink/NetTestController.h"
#include "app/dorolink/RemoteRadioTable.h"
#include "app/windows/StatusImages.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"
#include "util/SharedFunctions.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>

namespace vm {

std::shared_ptr<DoroLinkAuthWebController> DoroLinkAuthWebController::create(
    DoroLinkAuthHost& host, std::unique_ptr<LoginView> view, std::shared_ptr<DoroLinkTokens> tokens,
    DoroLinkAuthOptions options) {
    return std::shared_ptr<DoroLinkAuthWebController>(new DoroLinkAuthWebController(
        host, std::move(view), std::move(tokens), std::move(options)));
}

DoroLinkAuthWebController::DoroLinkAuthWebController(DoroLinkAuthHost& host,
                                                     std::unique_ptr<LoginView> view,
                                                     std::shared_ptr<DoroLinkTokens> tokens,
                                                     DoroLinkAuthOptions options)
    : host_(host),
      authView_(std::move(view)),
      tokens_(std::move(tokens)),
      options_(std::move(options)),
      network_(std::make_unique<QNetworkAccessManager>()) {}

DoroLinkAuthWebController::~DoroLinkAuthWebController() {
    if (wanServer_) {
        wanServer_->disconnectWanServer();
    }
}

void DoroLinkAuthWebController::startAuthWithDelegate() {
    host_.setNetworkTestEnabled(true);
    session_active = false;
    std::weak_ptr<DoroLinkAuthWebController> weak = weak_from_this();
    authView_->setPageFinished([weak](const std::string& url, const std::string& text) {
        if (const auto self = weak.lock()) {
            self->pageFinished(url, text);
        }
    });
    wanServer_ = WanServer::create(weak, options_.server);
    netTest_ = std::make_unique<NetTestController>(host_, wanServer_);
    remoteTable_ = std::make_shared<RemoteRadioTable>(host_, wanServer_);
    log("AuthWebController:WanServer loaded");
    const std::string claims = tokens_->load(kIdTokenItem);
    if (!claims.empty()) {
        host_.displayIdToken(claims);
    }
}

void DoroLinkAuthWebController::listRemoteRadios() {
    const std::string refreshToken = tokens_->load(kRefreshTokenItem);
    if (!refreshToken.empty()) {
        refreshTokens(refreshToken);
    } else {
        openLoginWindow();
    }
}

void DoroLinkAuthWebController::openLoginWindow() {
    log("openLoginWindow");
    authView_->show();
    authView_->removeAuthProviderCookies();
    const std::string authorize = options_.endpoints.authorize();
    if (session_active && authView_->currentUrl().starts_with(authorize)) {
        // The login page is still up: keep it (and the state it was opened with).
        return;
    }
    loginState_ = makeLoginState();
    authView_->load(authorizeUrl(options_.endpoints, kDoroLinkClientId, loginState_));
    session_active = true;
}

void DoroLinkAuthWebController::pageFinished(const std::string& url, const std::string& text) {
    if (!session_active || text != "OK") {
        return;
    }
    session_active = false;
    std::weak_ptr<DoroLinkAuthWebController> weak = weak_from_this();
    DispatchQueue::main()->after(kCaptureDelay, [weak, url] {
        const auto self = weak.lock();
        if (!self) {
            return;
        }
        self->logged_in = self->extractTokensFromURL(url);
        self->authView_->hide();
        if (!self->logged_in) {
            self->host_.showWarning(QStringLiteral("Login Failed"),
                                    QStringLiteral("could not extract tokens from URL"));
        }
    });
}

bool DoroLinkAuthWebController::extractTokensFromURL(const std::string& url) {
    // Tokens are taken from the provider's own redirect page only.
    const std::string redirect = options_.endpoints.redirect() + "#";
    if (!url.empty() && !url.starts_with(redirect)) {
        log("AuthWebController:extractTokensFromURL: not the login provider's page:[{}]",
            redactedUrl(url));
        return false;
    }
    const TokenCapture capture = captureTokens(url, loginState_);
    if (!capture.tokens) {
        switch (capture.failure) {
            case CaptureFailure::missingUrl:
                log("AuthWebController:extractTokensFromURL: URL is missing:[{}]", url);
                break;
            case CaptureFailure::missingFragment:
                log("AuthWebController:extractTokensFromURL: mobile#access_token missing:[{}]",
                    redactedUrl(url));
                break;
            case CaptureFailure::wrongState:
                log("AuthWebController:extractTokensFromURL: state does not match the login "
                    "page:[{}]",
                    redactedUrl(url));
                break;
            case CaptureFailure::missingIdToken:
                log("AuthWebController:extractTokensFromURL: id_token missing:[{}]",
                    redactedUrl(url));
                break;
        }
        return false;
    }
    // A state is good for one login only.
    loginState_.clear();
    const CapturedTokens& tokens = *capture.tokens;
    if (!takeIdToken(tokens.idToken)) {
        return false;
    }
    if (!tokens.refreshToken.empty()) {
        tokens_->save(kRefreshTokenItem, tokens.refreshToken);
    }
    return true;
}

bool DoroLinkAuthWebController::takeIdToken(const std::string& token) {
    const std::optional<std::string> claims = decodeJWT(token);
    if (!claims) {
        log("AuthWebController:the identity token has no readable claims");
        return false;
    }
    id_token = token;
    host_.displayIdToken(*claims);
    tokens_->save(kIdTokenItem, *claims);
    if (!wanServer_->connected()) {
        wanServer_->connectWanServer();
    } else {
        wanServerReadyCallback(false);
    }
    return true;
}

void DoroLinkAuthWebController::refreshTokens(const std::string& refreshToken) {
    QJsonObject body{{"client_id", kDoroLinkClientId},
                     {"target", kDoroLinkClientId},
                     {"grant_type", "urn:ietf:params:oauth:grant-type:jwt-bearer"},
                     {"refresh_token", QString::fromStdString(refreshToken)},
                     {"scope", "openid email given_name family_name picture"}};
    QNetworkRequest request(QUrl(QString::fromStdString(options_.endpoints.delegation())));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setTransferTimeout(
        static_cast<int>(std::chrono::milliseconds(kRefreshTimeout).count()));
    if (!options_.trustedAuthorities.isEmpty()) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setCaCertificates(options_.trustedAuthorities);
        request.setSslConfiguration(tls);
    }
    QNetworkReply* reply =
        network_->post(request, QJsonDocument(body).toJson(QJsonDocument::Indented));
    std::weak_ptr<DoroLinkAuthWebController> weak = weak_from_this();
    QObject::connect(reply, &QNetworkReply::finished, reply, [weak, reply] {
        reply->deleteLater();
        const auto self = weak.lock();
        if (!self) {
            return;
        }
        if (reply->error() != QNetworkReply::NoError) {
            log("AuthWebController:refreshTokens:error:[{}]", reply->errorString().toStdString());
            return;
        }
        self->refreshFinished(reply->readAll().toStdString());
    });
}

void DoroLinkAuthWebController::refreshFinished(const std::string& body) {
    QJsonParseError error{};
    const QJsonDocument reply = QJsonDocument::fromJson(QByteArray::fromStdString(body), &error);
    if (error.error != QJsonParseError::NoError || !reply.isObject()) {
        log("AuthWebController:refreshTokens:reply is not a JSON object:[{}]",
            error.error != QJsonParseError::NoError ? error.errorString().toStdString()
                                                    : std::string("not an object"));
        return;
    }
    const QJsonValue token = reply.object().value(QStringLiteral("id_token"));
    const std::string idToken = token.toString().trimmed().toStdString();
    if (!token.isString() || idToken.empty()) {
        log("AuthWebController:refreshTokens:reply holds no id_token");
        return;
    }
    takeIdToken(idToken);
}

void DoroLinkAuthWebController::openNetWindow() { netTest_->openNetWindow(); }

void DoroLinkAuthWebController::refreshNetWindow() { netTest_->refreshNetWindow(); }

void DoroLinkAuthWebController::displaySmartServerStatus(bool up) {
    if (up) {
        host_.setDoroLinkServerToolTip(QStringLiteral("DoroLink secure server is connected"));
        flashBulb();
    } else {
        host_.setDoroLinkServerToolTip(QStringLiteral("DoroLink secure server is not connected"));
        host_.setDoroLinkServerImage(statusImageNamed("gray_ball"));
    }
}

void DoroLinkAuthWebController::flashBulb() {
    host_.setDoroLinkServerImage(statusImageNamed("gray_ball"));
    std::weak_ptr<DoroLinkAuthWebController> weak = weak_from_this();
    DispatchQueue::main()->after(std::chrono::seconds(1), [weak] {
        if (const auto self = weak.lock()) {
            self->host_.setDoroLinkServerImage(statusImageNamed("green_ball"));
        }
    });
}

void DoroLinkAuthWebController::uncheckDoroLinkButton() { host_.uncheckDoroLinkButton(); }

void DoroLinkAuthWebController::wanServerReadyCallback(bool secured) {
    log("AuthWebController:wanServerReadyCallback:async:[{}]", int(secured));
    std::weak_ptr<DoroLinkAuthWebController> weak = weak_from_this();
    DispatchQueue::main()->after(kRegisterDelay, [weak] {
        if (const auto self = weak.lock()) {
            self->wanServer_->sendRegisterApplicationMessageToServer(self->id_token);
        }
    });
}

}  // namespace vm
