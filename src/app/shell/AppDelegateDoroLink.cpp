// DoroLink on the controller: the login room made at launch (with the Secret Service for its
// tokens when one answers), the DoroLink check box and the login and network buttons of the Radio
// preferences, and what the room asks of the controller.
#include "app/shell/AppDelegate.h"

#include "app/dorolink/DoroLinkAuthWebController.h"
#include "app/dorolink/NetTestController.h"
#include "app/dorolink/RemoteRadioTable.h"
#include "app/dorolink/WebEngineLoginView.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/RadioPrefsPage.h"
#include "dorolink/DoroLinkTokens.h"
#include "platform/core/Defaults.h"
#include "platform/core/Log.h"
#include "platform/core/SecretServiceStore.h"
#include "platform/ui/Alert.h"
#include "radio/Radio.h"

namespace vm {

void AppDelegate::startDoroLink() {
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    auto notice = [weak](const std::string& title, const std::string& text) {
        if (const auto self = weak.lock()) {
            self->showNotificationWithTitle(title, text);
        }
    };
    DoroLinkAuthOptions options;
    options.server.userNotice = notice;
    auto tokens = std::make_shared<DoroLinkTokens>(SecretServiceStore::connect(), notice);
    std::unique_ptr<LoginView> view =
        options_.loginView ? options_.loginView() : std::make_unique<WebEngineLoginView>();
    doroLinkAuthWebController = DoroLinkAuthWebController::create(
        *this, std::move(view), std::move(tokens), std::move(options));
    doroLinkAuthWebController->startAuthWithDelegate();
    wanServer = doroLinkAuthWebController->wanServer();
    if (window_appearance) {
        doroLinkAuthWebController->netTest().netWindow().setPalette(*window_appearance);
    }

    RadioPrefsPage& page = prefsWindow->radioPage();
    page.showDoroLink();
    QObject::connect(&page, &RadioPrefsPage::authUseDoroLinkButtonPressed, &page, [weak](bool on) {
        if (const auto self = weak.lock()) {
            self->authUseDoroLinkButtonPressed(on);
        }
    });
    QObject::connect(&page, &RadioPrefsPage::authLoginButton_Pressed, &page, [weak] {
        if (const auto self = weak.lock()) {
            self->authLoginButton_Pressed();
        }
    });
    QObject::connect(&page, &RadioPrefsPage::authNetButton_Pressed, &page, [weak] {
        if (const auto self = weak.lock()) {
            self->authNetButton_Pressed();
        }
    });
    page.setRemoteRadioSource(doroLinkAuthWebController->remoteRadioTable());
    QObject::connect(&page, &RadioPrefsPage::remoteRadioTableDoubleClick, &page, [weak](int row) {
        if (const auto self = weak.lock()) {
            self->doroLinkAuthWebController->remoteRadioTable()->remoteRadioTableDoubleClick(row);
        }
    });
    if (page.useDoroLink()) {
        page.setDoroLinkBusy(true);
        doroLinkAuthWebController->listRemoteRadios();
    }
}

void AppDelegate::authUseDoroLinkButtonPressed(bool on) {
    RadioPrefsPage& page = prefsWindow->radioPage();
    if (on) {
        page.setDoroLinkBusy(true);
        doroLinkAuthWebController->listRemoteRadios();
    } else {
        doroLinkAuthWebController->wanServer()->disconnectWanServer();
        page.setNetworkTestEnabled(false);
    }
    Defaults::standard().set("auth_use_doro_link", PlistValue(std::int64_t{on ? 1 : 0}));
}

void AppDelegate::authLoginButton_Pressed() {
    prefsWindow->radioPage().setDoroLinkBusy(true);
    doroLinkAuthWebController->openLoginWindow();
}

void AppDelegate::authNetButton_Pressed() { doroLinkAuthWebController->openNetWindow(); }

void AppDelegate::setDoroLinkServerImage(const QImage& image) {
    prefsWindow->radioPage().setDoroLinkServerImage(image);
}

void AppDelegate::setDoroLinkServerToolTip(const QString& text) {
    prefsWindow->radioPage().setDoroLinkServerToolTip(text);
}

void AppDelegate::uncheckDoroLinkButton() { prefsWindow->radioPage().uncheckDoroLinkButton(); }

void AppDelegate::setNetworkTestEnabled(bool enabled) {
    prefsWindow->radioPage().setNetworkTestEnabled(enabled);
}

void AppDelegate::showWarning(const QString& message, const QString& informative) {
    Alert alert;
    alert.setAppearance(window_appearance);
    alert.setAlertStyle(Alert::Style::warning);
    alert.setMessageText(message.toStdString());
    alert.setInformativeText(informative.toStdString());
    alert.addButtonWithTitle("OK");
    alert.runModal();
}

void AppDelegate::tellUser(const std::string& title, const std::string& text) {
    showNotificationWithTitle(title, text);
}

void AppDelegate::setDoroLinkBusy(bool busy) { prefsWindow->radioPage().setDoroLinkBusy(busy); }

void AppDelegate::cmdSetRadioName(const std::string& name) {
    if (openRadio) {
        openRadio->cmdSetRadioName(name);
    }
}

void AppDelegate::cmdSetRadioCallSign(const std::string& callsign) {
    if (openRadio) {
        openRadio->cmdSetRadioCallSign(callsign);
    }
}

bool AppDelegate::closeOpenRadio(const std::string& logPrefix) {
    if (!openRadio) {
        return false;
    }
    log("{}[{}]", logPrefix, openRadio->radioName().value_or(""));
    openRadio->close();
    return true;
}

std::shared_ptr<RadioInstance> AppDelegate::openRadioInstance() const {
    return openRadio ? openRadio->radioInstance() : nullptr;
}

void AppDelegate::wanSetForwardedPorts(bool portForwardingOn, int tcpPort, int udpPort) {
    if (openRadio) {
        openRadio->wanSetForwardedPorts(portForwardingOn, tcpPort, udpPort);
    }
}

std::vector<std::shared_ptr<RadioInstance>> AppDelegate::localRadios() const {
    return radioFactory ? radioFactory->availableRadioInstances()
                        : std::vector<std::shared_ptr<RadioInstance>>{};
}

int AppDelegate::selectedLocalRow() const { return prefsWindow->radioPage().selectedLocalRow(); }
int AppDelegate::selectedRemoteRow() const { return prefsWindow->radioPage().selectedRemoteRow(); }

}  // namespace vm
