#include "app/dorolink/WebEngineLoginView.h"

#include "dorolink/LoginLinks.h"
#include "platform/core/Log.h"

#include <QVBoxLayout>
#include <QWebEngineCookieStore>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QWidget>

namespace vm {

namespace {

// Pages that ask for a new window are shown in the login window itself.
class LoginPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    QWebEnginePage* createWindow(WebWindowType) override { return this; }
};

}  // namespace

WebEngineLoginView::WebEngineLoginView() = default;

// The web engine starts with the first login, not with the program.
void WebEngineLoginView::makeWindow() {
    if (window_) {
        return;
    }
    window_ = std::make_unique<QWidget>();
    window_->setObjectName(QStringLiteral("authWindow"));
    window_->setWindowTitle(QStringLiteral("DoroLink Login"));
    window_->resize(480, 640);
    profile_ = new QWebEngineProfile(window_.get());  // off the record: nothing kept on disk
    authView_ = new QWebEngineView(window_.get());
    authView_->setObjectName(QStringLiteral("authView"));
    authView_->setPage(new LoginPage(profile_, authView_));
    auto* layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(authView_);

    QWebEngineCookieStore* store = profile_->cookieStore();
    QObject::connect(store, &QWebEngineCookieStore::cookieAdded, this,
                     [this](const QNetworkCookie& cookie) { cookies_.push_back(cookie); });
    QObject::connect(store, &QWebEngineCookieStore::cookieRemoved, this,
                     [this](const QNetworkCookie& cookie) {
                         std::erase_if(cookies_, [&](const QNetworkCookie& kept) {
                             return kept.hasSameIdentifier(cookie);
                         });
                     });
    QObject::connect(authView_, &QWebEngineView::loadFinished, this, [this](bool ok) {
        if (!ok) {
            log("webView:AuthWebController:didFailLoadWithError:[load of {} failed]",
                redactedUrl(authView_->url().toString().toStdString()));
            return;
        }
        const std::string url = authView_->url().toString().toStdString();
        authView_->page()->toPlainText(
            [this, url](const QString& text) { pageFinished(url, text.toStdString()); });
    });
}

WebEngineLoginView::~WebEngineLoginView() {
    // The page must go before its profile.
    delete authView_;
}

void WebEngineLoginView::show() {
    makeWindow();
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void WebEngineLoginView::hide() {
    if (window_) {
        window_->hide();
    }
}

void WebEngineLoginView::load(const std::string& url) {
    makeWindow();
    authView_->load(QUrl(QString::fromStdString(url)));
}

std::string WebEngineLoginView::currentUrl() const {
    if (!authView_) {
        return "";
    }
    return authView_->url().toString().toStdString();
}

void WebEngineLoginView::removeAuthProviderCookies() {
    if (!profile_) {
        return;
    }
    QWebEngineCookieStore* store = profile_->cookieStore();
    for (const QNetworkCookie& cookie : std::vector<QNetworkCookie>(cookies_)) {
        const QString domain = cookie.domain();
        if (!domain.isEmpty() && domain.contains(QStringLiteral("authprovider"))) {
            store->deleteCookie(cookie);
            log("removeAuthProviderCookies:deleted {} cookie", domain.toStdString());
        }
    }
}

}  // namespace vm
