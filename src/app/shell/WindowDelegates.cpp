#include "app/shell/WindowDelegates.h"

#include "app/shell/WindowDelegatesHost.h"
#include "app/windows/PanadapterWindow.h"
#include "display/Panafall.h"
#include "display/views/PanAdapterView.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowMenu.h"
#include "radio/Radio.h"
#include "radio/RadioInstance.h"

#include <QApplication>

#include <fmt/format.h>

#include <algorithm>
#include <charconv>

namespace vm {

namespace {

constexpr std::string_view kRemoteSuffix = " (R)";

std::string text(const std::optional<std::string>& value) { return value.value_or(""); }

int portNumber(const std::optional<std::string>& value) {
    const std::string digits = text(value);
    int port = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), port);
    return port;
}

}  // namespace

std::shared_ptr<WindowDelegates> WindowDelegates::create(const Windows& windows,
                                                         std::weak_ptr<WindowDelegatesHost> host) {
    auto delegates = std::make_shared<WindowDelegates>(Private{}, windows, std::move(host));
    delegates->listen();
    return delegates;
}

WindowDelegates::WindowDelegates(Private, const Windows& windows,
                                 std::weak_ptr<WindowDelegatesHost> host)
    : prefsWindow_(windows.prefsWindow),
      hud_(windows.hud),
      cwxWindow_(windows.cwxWindow),
      memoryPanel_(windows.memoryPanel),
      tnfPanel_(windows.tnfPanel),
      windowMenu_(windows.windowMenu),
      radioPortNamePopUp_(windows.radioPortNamePopUp),
      host_(std::move(host)) {
    for (std::size_t pan = 0; pan < panWindows_.size(); ++pan) {
        panWindows_[pan] = windows.panWindows[pan];
        panViews_[pan] = windows.panViews[pan];
    }
}

std::vector<Window*> WindowDelegates::windows() const {
    std::vector<Window*> windows;
    for (const auto& window : panWindows_) {
        if (window) {
            windows.push_back(window);
        }
    }
    for (Window* window : {prefsWindow_.data(), hud_.data(), cwxWindow_.data(), memoryPanel_.data(),
                           tnfPanel_.data()}) {
        if (window) {
            windows.push_back(window);
        }
    }
    return windows;
}

void WindowDelegates::listen() {
    std::weak_ptr<WindowDelegates> weak = weak_from_this();
    for (Window* window : windows()) {
        const auto call =
            [weak, target = QPointer<Window>(window)](void (WindowDelegates::*handler)(Window&)) {
                return [weak, target, handler] {
                    const auto self = weak.lock();
                    if (self && target) {
                        ((*self).*handler)(*target);
                    }
                };
            };
        QObject::connect(window, &Window::willClose, window,
                         call(&WindowDelegates::windowWillClose));
        QObject::connect(window, &Window::didBecomeKey, window,
                         call(&WindowDelegates::windowDidBecomeKey));
        QObject::connect(window, &Window::didMove, window, call(&WindowDelegates::windowDidMove));
        QObject::connect(window, &Window::occlusionChanged, window, [weak] {
            if (const auto self = weak.lock()) {
                self->windowOcclusionChanged();
            }
        });
    }
}

bool WindowDelegates::applicationVisible() const {
    const auto shown = windows();
    return std::any_of(shown.begin(), shown.end(),
                       [](const Window* window) { return !window->isOccluded(); });
}

void WindowDelegates::windowOcclusionChanged() {
    const bool visible = applicationVisible();
    if (visible == visible_) {
        return;
    }
    visible_ = visible;
    if (const auto host = host_.lock()) {
        host->applicationDidChangeOcclusionState(visible);
    }
}

void WindowDelegates::applicationDidBecomeActive() { adjustPrefsWindow(); }

void WindowDelegates::applicationWillResignActive() {
    if (prefsWindow_) {
        prefsWindow_->setFloating(false);
    }
}

std::optional<int> WindowDelegates::panIndexOf(const Window& window) const {
    for (std::size_t pan = 0; pan < panWindows_.size(); ++pan) {
        if (panWindows_[pan] == &window) {
            return int(pan);
        }
    }
    return std::nullopt;
}

void WindowDelegates::windowWillClose(Window& window) {
    const auto host = host_.lock();
    const std::shared_ptr<Radio> radio = host ? host->openedRadio() : nullptr;
    if (!radio) {
        return;
    }
    const std::optional<int> pan = panIndexOf(window);
    if (!pan) {
        log("windowWillClose");
        return;
    }
    PanAdapterView* view = panViews_[std::size_t(*pan)];
    const std::shared_ptr<Panafall> panafall = view ? view->myPanafall() : nullptr;
    if (!panafall) {
        log("windowWillClose:could not remove panafall {}", *pan);
        return;
    }
    log("windowWillClose:removing panafall {}", *pan);
    radio->cmdRemovePanafall(panafall->streamId());
}

void WindowDelegates::windowDidBecomeKey(Window& window) {
    if (!windowMenu_) {
        return;
    }
    if (&window == prefsWindow_) {
        windowMenu_->addWindowsItem(window, "Preferences");
        adjustPrefsWindow();
    } else if (&window == hud_) {
        windowMenu_->addWindowsItem(window, "HUD");
    } else if (&window == cwxWindow_) {
        windowMenu_->addWindowsItem(window, "CWX");
    } else if (&window == memoryPanel_) {
        windowMenu_->addWindowsItem(window, "Memories");
    } else if (&window == tnfPanel_) {
        windowMenu_->addWindowsItem(window, "TNF");
    }
}

void WindowDelegates::windowDidMove(Window& window) {
    if (&window == prefsWindow_) {
        adjustPrefsWindow();
        return;
    }
    if (&window != hud_) {
        return;
    }
    const auto host = host_.lock();
    if (!host) {
        return;
    }
    host->adjustHudTitle();
    // The panadapter under the display takes the keyboard, so that tuning keys reach it.
    PanAdapterView* view = host->panViewUnderHud();
    QWidget* under = view ? view->window() : nullptr;
    if (under && under->isVisible()) {
        under->raise();
        view->setFocus(Qt::OtherFocusReason);
    }
}

void WindowDelegates::adjustPrefsWindow() {
    Window* prefs = prefsWindow_;
    const auto host = host_.lock();
    if (!prefs || !host) {
        return;
    }
    const QRect frame = prefs->frameGeometry();
    bool overMain = false;
    for (const auto& main : panWindows_) {
        if (main && main->isVisible() && main->frameGeometry().contains(frame)) {
            overMain = true;
            break;
        }
    }
    QPalette palette = host->windowAppearance().value_or(QApplication::palette(prefs));
    if (overMain) {
        prefs->setFloating(true);
        palette.setColor(QPalette::Window, host->darkWindowsOn()
                                               ? QColor::fromRgbF(0.6f, 0.6f, 0.6f, 0.4f)
                                               : QColor::fromRgbF(1.0f, 1.0f, 1.0f, 0.6f));
        prefs->setAttribute(Qt::WA_TranslucentBackground, true);
        prefs->setPalette(palette);
        prefs->setWindowTitle(QString());
    } else {
        prefs->setFloating(false);
        prefs->setAttribute(Qt::WA_TranslucentBackground, false);
        prefs->setPalette(palette);
        prefs->setWindowTitle(QStringLiteral("Preferences"));
    }
}

std::optional<int> WindowDelegates::panWindowUnderHud() const {
    if (!hud_) {
        return std::nullopt;
    }
    const QRect frame = hud_->frameGeometry();
    for (std::size_t pan = 0; pan < panWindows_.size(); ++pan) {
        if (panWindows_[pan] && panWindows_[pan]->frameGeometry().intersects(frame)) {
            return int(pan);
        }
    }
    return std::nullopt;
}

void WindowDelegates::setRadioTooltp() {
    DispatchQueue::main()->async([weak = weak_from_this()] {
        const auto self = weak.lock();
        const auto host = self ? self->host_.lock() : nullptr;
        PopUpButton* chooser = self ? self->radioPortNamePopUp_.data() : nullptr;
        if (!host || !chooser) {
            return;
        }
        if (chooser->count() == 0) {
            chooser->setToolTip(QStringLiteral("No Radios on LAN"));
            return;
        }
        std::string title = chooser->title();
        if (title.empty()) {
            return;
        }
        std::vector<std::shared_ptr<RadioInstance>> radios;
        if (title.ends_with(kRemoteSuffix)) {
            title.resize(title.size() - kRemoteSuffix.size());
            radios = host->doroLinkRadios();
        } else {
            radios = host->localRadios();
        }
        for (const auto& radio : radios) {
            if (radio && text(radio->name) == title) {
                chooser->setToolTip(QString::fromStdString(getDoroRadioInfo(radio.get())));
            }
        }
    });
}

std::string WindowDelegates::getDoroRadioInfo(const RadioInstance* radio) {
    if (!radio) {
        return "radioInstance is nil";
    }
    std::string address = text(radio->ipAddress);
    int port = radio->port.value_or(0);
    if (radio->wanRadio.value_or(false)) {
        address = text(radio->publicIp);
        port = radio->upnpSupported.value_or(false) ? portNumber(radio->public_upnp_tls_port)
                                                    : portNumber(radio->public_tls_port);
    }
    return fmt::format(
        "Radio ip: \t{}\nPort:     \t{}\nModel:    \t{}\nSerial:   \t{}\nName:     \t{}\n"
        "Call:     \t{}\nVersion:  \t{}\nStatus:   \t{}",
        address, port, text(radio->model), text(radio->serialNum), text(radio->name),
        text(radio->callsign), text(radio->version), text(radio->status));
}

}  // namespace vm
