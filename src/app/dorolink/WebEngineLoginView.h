#pragma once
// The login window on Qt WebEngine: one web view, pages that would open a window of their own
// open in it, and a profile of its own that keeps nothing on disk. When a page has loaded, its
// text is read and handed to the login controller with the page's address. The window and the
// web engine are made on first use.
#include "app/dorolink/LoginView.h"

#include <QNetworkCookie>
#include <QObject>

#include <memory>
#include <vector>

class QWebEngineProfile;
class QWebEngineView;
class QWidget;

namespace vm {

class WebEngineLoginView : public QObject, public LoginView {
public:
    WebEngineLoginView();
    ~WebEngineLoginView() override;

    void show() override;
    void hide() override;
    void load(const std::string& url) override;
    std::string currentUrl() const override;
    void removeAuthProviderCookies() override;

private:
    void makeWindow();

    std::unique_ptr<QWidget> window_;
    QWebEngineProfile* profile_ = nullptr;  // owned by the window
    QWebEngineView* authView_ = nullptr;    // owned by the window
    std::vector<QNetworkCookie> cookies_;   // as the profile's store reports them
};

}  // namespace vm
