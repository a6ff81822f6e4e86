// Discovery, the radio chooser and the automatic open of the last radio: the chooser lists the
// radios of the local network, then the DoroLink radios marked " (R)", and is rebuilt from both
// lists at every change; within 20 s of start-up the radio opened last is opened again by itself.
// The chooser's action opens the chosen radio, after closing and saving the open one.
#include "app/shell/AppDelegate.h"

#include "app/control/RemoteRadioServer.h"
#include "app/control/SiblingBridge.h"
#include "app/memory/ProfileController.h"
#include "app/windows/MainControlsBar.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/RadioPrefsPage.h"
#include "platform/core/Defaults.h"
#include "platform/core/Log.h"
#include "platform/ui/Beep.h"
#include "platform/ui/PopUpButton.h"
#include "radio/Radio.h"
#include "util/SharedFunctions.h"

#include <QFont>

namespace vm {

namespace {

using namespace std::chrono_literals;

constexpr const char* kRemoteSuffix = " (R)";
constexpr const char* kDisconnectEntry = "Disconnect";
constexpr const char* kLastRadioKey = "dororadio_radio_name";
// The automatic open is offered only this long after start-up.
constexpr auto kAutoOpenWindow = 20s;
constexpr auto kAutoOpenDelay = 500ms;
constexpr auto kOpenDelay = 1s;
constexpr auto kRemoteOpenDelay = 5s;
constexpr auto kCloseDelay = 250ms;

std::string text(const RadioInstance::Text& value) { return value.value_or(""); }

// An entry's look: bold for a radio that is free, italic for one in use elsewhere, centred.
void addRadioEntry(PopUpButton& chooser, const std::string& title, const RadioInstance& radio) {
    if (chooser.indexOfItemWithTitle(title) >= 0) {
        return;
    }
    chooser.addItem(QString::fromStdString(title));
    QFont font = chooser.font();
    font.setPointSize(12);
    const bool available = radio.status == std::string("Available");
    font.setBold(available);
    font.setItalic(!available);
    const int index = chooser.count() - 1;
    chooser.setItemData(index, font, Qt::FontRole);
    chooser.setItemData(index, int(Qt::AlignCenter), Qt::TextAlignmentRole);
}

bool endsWith(const std::string& textValue, const std::string& suffix) {
    return textValue.size() >= suffix.size() &&
           textValue.compare(textValue.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The last radio of the list with this name.
std::shared_ptr<RadioInstance> lastNamed(const std::vector<std::shared_ptr<RadioInstance>>& radios,
                                         const std::string& name) {
    std::shared_ptr<RadioInstance> found;
    for (const auto& radio : radios) {
        if (radio && text(radio->name) == name) {
            found = radio;
        }
    }
    return found;
}

}  // namespace

bool AppDelegate::debugEnabled() const { return prefsWindow->radioPage().debugEnabled(); }

bool AppDelegate::openDoroSDR() {
    if (!isMainThread()) {
        log("openDoroSDR not called on main thread, required for RadioFactory radioTimeoutCheck to "
            "run:\n{}",
            callStackSymbols());
    }
    if (radioFactory) {
        log("openDoroSDR:already open");
        return true;
    }
    doroSlices.clear();
    doroPanafalls.clear();
    mainControls->vfo_number->clear();
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    observers_.push_back(NotificationCenter::defaultCenter().addObserver(
        kAvailableRadioListChanged, nullptr, DispatchQueue::main(),
        [weak](const Notification& notification) {
            if (auto self = weak.lock()) {
                self->radioFactoryNotification(notification);
            }
        }));
    // A choice in the chooser opens that radio.
    QObject::connect(mainControls->radioPortNamePopUp, &PopUpButton::action,
                     mainControls->radioPortNamePopUp, [weak] {
                         if (auto self = weak.lock()) {
                             self->radioChanged();
                         }
                     });
    radioFactory = RadioFactory::create(options_.discoveryPort);
    log("openDoroSDR:Open");
    return true;
}

void AppDelegate::radioFactoryNotification(const Notification& notification) {
    if (!isMainThread()) {
        log("radioFactoryNotification not called on main thread:\n{}", callStackSymbols());
    }
    if (debugEnabled()) {
        if (const auto radio = std::static_pointer_cast<RadioInstance>(notification.object)) {
            log("radioFactoryNotification:name:[{}] serial:[{}]", text(radio->name),
                text(radio->serialNum));
        } else {
            log("radioFactoryNotification");
        }
    }
    rebuildRadioChooser();
    if (reopenRadioAfterWake()) {
        return;
    }

    const std::string name = Defaults::standard().stringForKey(kLastRadioKey).value_or("");
    const std::shared_ptr<RadioInstance> radio = getRadioInstanceFromName(name);
    if (!radio || name.empty() || DispatchClock::now() - startupClock_ >= kAutoOpenWindow) {
        return;
    }
    log("radioFactoryNotification:auto open [{}]", name);
    const bool wan = radio->wanRadio.value_or(false);
    setPopupFromRadioName(name, wan);
    if (prefsWindow->radioPage().autoConnect() && !inhibitAutoConnect && !sleeping && !openRadio) {
        inhibitAutoConnect = true;
        std::weak_ptr<AppDelegate> weak = weak_from_this();
        DispatchQueue::main()->after(kAutoOpenDelay, [weak, radio, name, wan] {
            if (auto self = weak.lock()) {
                self->autoOpen(radio, name, wan);
            }
        });
    }
}

void AppDelegate::rebuildRadioChooser() {
    PopUpButton& chooser = *mainControls->radioPortNamePopUp;
    const std::string selected = chooser.title();
    chooser.clear();

    const auto local = radioFactory ? radioFactory->availableRadioInstances()
                                    : std::vector<std::shared_ptr<RadioInstance>>{};
    for (const auto& radio : local) {
        addRadioEntry(chooser, text(radio->name), *radio);
    }
    prefsWindow->radioPage().reloadLocalRadios();

    const auto remote =
        wanServer ? wanServer->remoteRadios() : std::vector<std::shared_ptr<RadioInstance>>{};
    if (!remote.empty()) {
        chooser.insertSeparator(chooser.count());
        for (const auto& radio : remote) {
            siblingBridge->tellNewRemoteRadio(*radio);
            addRadioEntry(chooser, text(radio->name) + kRemoteSuffix, *radio);
        }
    }
    if (debugEnabled()) {
        log("radioFactoryNotification:available radios local:[{}] remote:[{}]", local.size(),
            remote.size());
    }
    const bool anyRadio = !local.empty() || !remote.empty();
    prefsWindow->radioPage().setNetworkTestEnabled(anyRadio);
    if (anyRadio) {
        chooser.insertSeparator(chooser.count());
        chooser.addItem(kDisconnectEntry);
    }
    if (!selected.empty()) {
        if (debugEnabled()) {
            log("radioFactoryNotification:restore selection:[{}]", selected);
        }
        chooser.selectItemWithTitle(selected);
    }
    prefsWindow->radioPage().reloadRemoteRadios();
}

void AppDelegate::autoOpen(const std::shared_ptr<RadioInstance>& radio, const std::string& name,
                           bool wan) {
    if (!radio) {
        log("radioFactoryNotification:no radio instance to open for:[{}]", name);
        return;
    }
    if (debugEnabled()) {
        log("radioFactoryNotification:Attempt to open radio:[{}]", name);
    }
    if (!wan) {
        radioChanged();
        return;
    }
    prefsWindow->radioPage().setDoroLinkBusy(true);
    showNotificationWithTitle("Connecting", "Connecting to " + name);
    if (wanServer) {
        wanServer->sendConnectMessageToRadio(text(radio->serialNum));
    }
}

void AppDelegate::setPopupFromRadioName(const std::string& name, bool remote) {
    if (name.empty()) {
        return;
    }
    PopUpButton& chooser = *mainControls->radioPortNamePopUp;
    chooser.selectItemWithTitle(remote ? name + kRemoteSuffix : name);
    if (debugEnabled()) {
        log("setPopupFromRadioName:titleOfSelectedItem:[{}]", chooser.title());
    }
}

std::shared_ptr<RadioInstance> AppDelegate::getRadioInstanceFromPopup(
    const PopUpButton& popup) const {
    const std::string title = popup.title();
    if (title.empty()) {
        return nullptr;
    }
    const auto local = radioFactory ? radioFactory->availableRadioInstances()
                                    : std::vector<std::shared_ptr<RadioInstance>>{};
    const auto remote =
        wanServer ? wanServer->remoteRadios() : std::vector<std::shared_ptr<RadioInstance>>{};
    if (local.empty() && remote.empty()) {
        return nullptr;
    }
    if (endsWith(title, kRemoteSuffix)) {
        const std::string name = title.substr(0, title.size() - std::string(kRemoteSuffix).size());
        auto found = lastNamed(remote, name);
        if (found) {
            log("getRadioInstanceFromPopup:found pref selected:[{}] instance:[{}]", title,
                text(found->serialNum));
        }
        return found;
    }
    return lastNamed(local, title);
}

// The DoroLink radios first, then the local ones: on equal names the local radio wins.
std::shared_ptr<RadioInstance> AppDelegate::getRadioInstanceFromName(
    const std::string& name) const {
    if (name.empty()) {
        return nullptr;
    }
    std::shared_ptr<RadioInstance> found;
    auto search = [&](const std::vector<std::shared_ptr<RadioInstance>>& radios) {
        for (const auto& radio : radios) {
            if (radio && text(radio->name) == name) {
                if (debugEnabled()) {
                    log("getRadioInstanceFromName:[{}] radioInstance.name:[{}]", name,
                        text(radio->name));
                }
                found = radio;
            }
        }
    };
    if (wanServer) {
        search(wanServer->remoteRadios());
    }
    if (radioFactory) {
        search(radioFactory->availableRadioInstances());
    }
    return found;
}

// The radio itself is opened, not the one the chooser's entry finds by name: radios of the same
// name share one entry.
bool AppDelegate::chooseRadio(const std::shared_ptr<RadioInstance>& radio) {
    PopUpButton& chooser = *mainControls->radioPortNamePopUp;
    const std::string name = radio ? text(radio->name) : std::string();
    if (name.empty() || chooser.indexOfItemWithTitle(name) < 0) {
        return false;
    }
    chooser.selectItemWithTitle(name);
    radioChosen(radio, name);
    return true;
}

void AppDelegate::radioChanged() {
    radioChosen(getRadioInstanceFromPopup(*mainControls->radioPortNamePopUp),
                mainControls->radioPortNamePopUp->title());
}

void AppDelegate::radioChosen(const std::shared_ptr<RadioInstance>& radio,
                              const std::string& title) {
    log("radioChanged:selectedRadio:[{}]", title);
    setRadioTooltp();
    if (title == kDisconnectEntry) {
        userDisconnect();
        return;
    }
    inhibitAutoConnect = true;
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    if (openRadio) {
        log("radioChanged: closing:[{}]", openRadio->radioName().value_or(""));
        profileController->saveProfileNames();
        profileController->saveProfiles();
        profileController->waitForProfile(
            ProfileController::ProfileWait::allSaved, [weak, radio, title](bool saved) {
                if (saved) {
                    log("radioChanged: All Profiles saved");
                } else {
                    log("radioChanged: Save All Profiles failed");
                }
                DispatchQueue::main()->after(kCloseDelay, [weak, radio, title] {
                    auto self = weak.lock();
                    if (!self) {
                        return;
                    }
                    self->saveAntennas();
                    self->radioClosed();
                    const auto delay =
                        radio && radio->wanRadio.value_or(false) ? kRemoteOpenDelay : kOpenDelay;
                    if (!title.empty()) {
                        self->radioStartupComplete = false;
                        DispatchQueue::main()->after(delay, [weak, radio, title] {
                            if (auto again = weak.lock()) {
                                again->openChosenRadio(radio, title, true);
                            }
                        });
                    }
                });
            });
        return;
    }
    if (title.empty()) {
        return;
    }
    radioStartupComplete = false;
    DispatchQueue::main()->after(kOpenDelay, [weak, radio, title] {
        if (auto self = weak.lock()) {
            self->openChosenRadio(radio, title, false);
        }
    });
}

void AppDelegate::openChosenRadio(const std::shared_ptr<RadioInstance>& radio,
                                  const std::string& title, bool afterClose) {
    if (afterClose) {
        log("radioChanged: openning:[{}]", title);
    } else {
        log("radioChanged:openning:[{}]", title);
    }
    if (radio && radio->wanRadio.value_or(false)) {
        prefsWindow->radioPage().setDoroLinkBusy(true);
        showNotificationWithTitle("Connecting", "Connecting to " + text(radio->name));
        if (wanServer) {
            wanServer->sendConnectMessageToRadio(text(radio->serialNum));
        }
        return;
    }
    connectToDoroRadio(radio, radio ? text(radio->ipAddress) : "",
                       static_cast<std::uint16_t>(radio ? radio->port.value_or(0) : 0), false);
}

void AppDelegate::userDisconnect() {
    inhibitAutoConnect = true;
    if (!openRadio) {
        beep();
        return;
    }
    const auto instance = openRadio->radioInstance();
    const std::string name = instance ? text(instance->name) : "";
    log("userDisconnect: disconnect:[{}]", name);
    showNotificationWithTitle("Radio disconnected", name + " disconnected by user");
    saveAntennas();
    radioClosed();
}

}  // namespace vm
