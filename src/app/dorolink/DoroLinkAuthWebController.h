#pragma once
// The DoroLink login: it shows the identity provider's login page in the login window, takes the
// tokens from the page the provider sends back to, refreshes the identity token from the stored
// refresh token at later starts without showing a page, keeps the tokens (DoroLinkTokens), owns
// the DoroLink server client, connects it once it holds an identity token and registers on it,
// and drives the server light of the Radio preferences. It also owns the network test window and
// the rows of the DoroLink radio table.
//
// Main thread only. The refresh request goes over Qt's network access; its answer is read on the
// main thread, where everything else of the login runs.
#include "app/dorolink/DoroLinkAuthHost.h"
#include "app/dorolink/LoginView.h"
#include "dorolink/DoroLinkTokens.h"
#include "dorolink/LoginLinks.h"
#include "dorolink/WanServer.h"
#include "dorolink/WanServerDelegate.h"

#include <QList>
#include <QSslCertificate>

#include <chrono>
#include <memory>
#include <string>

class QNetworkAccessManager;

namespace vm {

class NetTestController;
class RemoteRadioTable;

struct DoroLinkAuthOptions {
    WanServerOptions server;   // the DoroLink server
    LoginEndpoints endpoints;  // the identity provider
    // Tests only: the authorities trusted for the refresh request (empty: the system's).
    QList<QSslCertificate> trustedAuthorities;
};

class DoroLinkAuthWebController : public WanServerDelegate,
                                  public std::enable_shared_from_this<DoroLinkAuthWebController> {
public:
    static constexpr std::chrono::milliseconds kRegisterDelay{100};
    static constexpr std::chrono::seconds kCaptureDelay{2};
    static constexpr std::chrono::seconds kRefreshTimeout{15};

    static std::shared_ptr<DoroLinkAuthWebController> create(DoroLinkAuthHost& host,
                                                             std::unique_ptr<LoginView> view,
                                                             std::shared_ptr<DoroLinkTokens> tokens,
                                                             DoroLinkAuthOptions options = {});
    ~DoroLinkAuthWebController() override;
    DoroLinkAuthWebController(const DoroLinkAuthWebController&) = delete;
    DoroLinkAuthWebController& operator=(const DoroLinkAuthWebController&) = delete;

    // Set-up: the server client made, the network test offered, the last identity shown.
    void startAuthWithDelegate();
    // Starts DoroLink: with a stored refresh token a refresh, else the login page.
    void listRemoteRadios();
    void openLoginWindow();
    void openNetWindow();

    // The page's address when a loaded page says "OK" is taken 2 s later for its tokens.
    void pageFinished(const std::string& url, const std::string& text);
    // True when the address carried an identity token for the login page of this run.
    bool extractTokensFromURL(const std::string& url);
    void refreshTokens(const std::string& refreshToken);
    // Grey now, green a second later.
    void flashBulb();

    const std::shared_ptr<WanServer>& wanServer() const { return wanServer_; }
    NetTestController& netTest() const { return *netTest_; }
    // The rows of the DoroLink radio table.
    const std::shared_ptr<RemoteRadioTable>& remoteRadioTable() const { return remoteTable_; }
    bool loggedIn() const { return logged_in; }

    // --- WanServerDelegate
    void displaySmartServerStatus(bool up) override;
    void uncheckDoroLinkButton() override;
    void wanServerReadyCallback(bool secured) override;
    void refreshNetWindow() override;

private:
    DoroLinkAuthWebController(DoroLinkAuthHost& host, std::unique_ptr<LoginView> view,
                              std::shared_ptr<DoroLinkTokens> tokens, DoroLinkAuthOptions options);
    // A new identity token: its claims shown and kept, then the server connected or registered.
    bool takeIdToken(const std::string& token);
    void refreshFinished(const std::string& body);

    DoroLinkAuthHost& host_;
    const std::unique_ptr<LoginView> authView_;
    const std::shared_ptr<DoroLinkTokens> tokens_;
    const DoroLinkAuthOptions options_;
    std::shared_ptr<WanServer> wanServer_;
    std::unique_ptr<NetTestController> netTest_;
    std::shared_ptr<RemoteRadioTable> remoteTable_;
    std::unique_ptr<QNetworkAccessManager> network_;
    std::string id_token;         // the encoded identity token; in memory only
    std::string loginState_;      // the state value of the login page opened last
    bool session_active = false;  // a login page is shown and its completion awaited
    bool logged_in = false;
};

}  // namespace vm
