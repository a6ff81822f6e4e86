// Connecting a radio: the session is created with the controller as its delegate, and the
// connection states it reports drive the rest: the GUI bind with the saved client id once
// connected, the start-up chain once bound, the question to the user when the radio has no room
// for another GUI client, and the end of the session with a word to the user.
#include "app/shell/AppDelegate.h"

#include "app/control/ConnectionTexts.h"
#include "app/control/RemoteRadioServer.h"
#include "app/memory/ProfileController.h"
#include "app/panels/PanadapterController.h"
#include "app/panels/RadioControlsController.h"
#include "app/windows/MainControlsBar.h"
#include "app/windows/PanadapterWindow.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/RadioPrefsPage.h"
#include "attach/RadioObjects.h"
#include "display/views/PanAdapterView.h"
#include "display/views/WaterFallView.h"
#include "platform/core/Defaults.h"
#include "platform/core/Log.h"
#include "platform/ui/Alert.h"
#include "platform/ui/PopUpButton.h"
#include "radio/Radio.h"
#include "util/VMKVOManager.h"

namespace vm {

namespace {

using namespace std::chrono_literals;

// The handler of `target` called on the main queue with each notification of the name, while
// `target` lives.
template <typename Target>
NotificationCenter::Token observeOnMain(const char* name, std::weak_ptr<Target> target,
                                        void (Target::*handler)(const Notification&)) {
    return NotificationCenter::defaultCenter().addObserver(
        name, nullptr, DispatchQueue::main(),
        [target = std::move(target), handler](const Notification& notification) {
            if (auto self = target.lock()) {
                ((*self).*handler)(notification);
            }
        });
}

constexpr const char* kProgramName = "velmoraSDR";
constexpr auto kBindDelay = 100ms;
constexpr auto kDisconnectDelay = 100ms;
constexpr auto kFailureDelay = 1s;
constexpr auto kRebindDelay = 5s;

std::string dashes(std::size_t count) { return std::string(count, '-'); }

std::string text(const RadioInstance::Text& value) { return value.value_or(""); }

}  // namespace

bool AppDelegate::connectToDoroRadio(const std::shared_ptr<RadioInstance>& radio,
                                     const std::string& ip, std::uint16_t port, bool wan) {
    if (!radio) {
        log("connectToDoroRadio:no radio instance");
        inhibitAutoConnect = false;
        return false;
    }
    log("connectToDoroRadio:[{}] wan:[{}] {}", text(radio->serialNum), int(wan), dashes(67));
    // A session that a quicker second choice replaces before it finished opening is ended here,
    // so that two quick choices never leave two sessions with the radio.
    if (openRadio) {
        log("connectToDoroRadio:closing the unfinished session:[{}]",
            openRadio->radioName().value_or(""));
        radioClosed();
    }
    // The session's own record says whether it is a DoroLink session; `wan` is only logged.
    openRadio = Radio::create(radio, ip, port, weak_from_this(), kProgramName,
                              debugEnabled() ? 2 : 1, attachRadioObjects);
    radioConnectionState = kStateDisconnected;  // the new session has reported nothing yet
    if (!openRadio) {
        inhibitAutoConnect = false;
        log("connectToDoroRadio:failed");
        radioControls->adjustRadioControls();
        return false;
    }
    connectionStart = std::chrono::system_clock::now();
    inhibitAutoConnect = false;
    registerSessionObservers();
    radioControls->bind(openRadio);
    adjustSessionControls();
    panadapters[0]->velmoraSDRWindow->frameStatus->clear();
    prefsWindow->radioPage().setStatusText({});
    log("connectToDoroRadio:saving radio name:[{}]", text(radio->name));
    Defaults::standard().set("dororadio_radio_name", text(radio->name));
    return true;
}

// The notifications of one session, each delivered on the main queue; radioClosed removes them,
// and so does the next session if nothing closed this one.
void AppDelegate::registerSessionObservers() {
    removeSessionObservers();
    using Handler = void (AppDelegate::*)(const Notification&);
    static const std::pair<const char*, Handler> kObservers[] = {
        {"PanafallCreated", &AppDelegate::panafallCreatedNotification},
        {"PanafallDeleted", &AppDelegate::panafallDeletedNotification},
        {"SliceCreated", &AppDelegate::sliceCreatedNotification},
        {"SliceDeleted", &AppDelegate::sliceDeletedNotification},
        {"xvtrAdded", &AppDelegate::xvtrNotification},
        {"com.velmorasoftware.doro.available_client_list_changed",
         &AppDelegate::clientListChangedNotification},
    };
    for (const auto& [name, handler] : kObservers) {
        sessionObservers_.push_back(observeOnMain(name, weak_from_this(), handler));
    }
    // The radio's answers to profile loads and saves go to the profile room.
    using ProfileHandler = void (ProfileController::*)(const Notification&);
    static const std::pair<const char*, ProfileHandler> kProfileObservers[] = {
        {"RadioGlobalProfileLoaded", &ProfileController::globalProfileDidFinishLoading},
        {"RadioGlobalProfileSaved", &ProfileController::globalProfileDidFinishSaving},
        {"RadioTransmitProfileLoaded", &ProfileController::transmitProfileDidFinishLoading},
        {"RadioTransmitProfileSaved", &ProfileController::transmitProfileDidFinishSaving},
        {"RadioMicProfileLoaded", &ProfileController::micProfileDidFinishLoading},
        {"RadioMicProfileSaved", &ProfileController::micProfileDidFinishSaving},
    };
    for (const auto& [name, handler] : kProfileObservers) {
        sessionObservers_.push_back(observeOnMain(name, std::weak_ptr(profileController), handler));
    }
}

void AppDelegate::radioConnectionStateChange(const std::shared_ptr<Radio>& radio,
                                             std::uint32_t state) {
    // A session that is no longer the open one (closed, replaced) changes nothing.
    if (!radio || radio != openRadio) {
        return;
    }
    if (debugEnabled()) {
        const auto instance = radio->radioInstance();
        log("radioConnectionStateChange:name:[{}] call:[{}] sn:[{}] firmware:[{}] state:[{} - {}] "
            "connection time:[{}]",
            instance ? text(instance->name) : "", instance ? text(instance->callsign) : "",
            instance ? text(instance->serialNum) : "", instance ? text(instance->version) : "",
            state, connectionStateText(state), connectTimeString());
    }
    // The session reads its state when the report runs, so two quick changes can arrive as two
    // reports of the later state. A state is acted on once; only a refused bind may repeat, as
    // each retry is refused anew.
    if (state == static_cast<std::uint32_t>(radioConnectionState) &&
        state != kStateTooManyGuiClients) {
        return;
    }
    radioConnectionState = static_cast<int>(state);
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    auto later = [weak, radio, state](DispatchClock::duration delay) {
        DispatchQueue::main()->after(delay, [weak, radio, state] {
            if (auto self = weak.lock()) {
                self->sessionEnded(radio, state);
            }
        });
    };
    switch (state) {
        case kStateDisconnected:
            prefsWindow->radioPage().setDoroLinkBusy(false);
            later(kDisconnectDelay);
            break;
        case kStateConnected: {
            sessionStart = std::chrono::system_clock::now();
            log("connected, setGuiClient {}", dashes(54));
            std::weak_ptr<Radio> session = radio;
            kbrx_background_queue->after(kBindDelay, [weak, session] {
                if (auto self = weak.lock()) {
                    self->guiBind(session);
                }
            });
            break;
        }
        case kStateConnectedAsGui:
            log("Connected as Gui {}", dashes(61));
            startupRadio(radio);
            break;
        case kStateConnectFailed:
        case kStateDisconnectedByPeer:
            prefsWindow->radioPage().setDoroLinkBusy(false);
            later(kFailureDelay);
            break;
        case kStateTimedOut: later(kFailureDelay); break;
        case kStateTooManyGuiClients: askRadioInUse(radio); break;
        case kStateConnecting:
        case kStateSecured:
        case kStateDisconnecting: break;
        default: break;
    }
}

// On the background queue: the saved client id lets the radio give this program its own
// settings again.
void AppDelegate::guiBind(const std::weak_ptr<Radio>& session) {
    if (const auto radio = session.lock()) {
        radio->connectAsGui(savedClientId(*radio));
    }
}

std::string AppDelegate::savedClientId(const Radio& radio) const {
    const auto instance = radio.radioInstance();
    const std::string key = radio.clientIdPrefsKey();
    if (!instance || !instance->supportsV3_API || key.empty()) {
        return "";
    }
    const Defaults& defaults = Defaults::standard();
    const std::optional<std::string> value =
        defaults.object(key) ? defaults.stringForKey(key) : defaults.stringForKey("our_client_id");
    if (!value) {
        return "";
    }
    log("savedClientId:prefsKey:[{}] val:[{}]", key, *value);
    return *value;
}

// The radio has no room for another GUI client: the user may disconnect the others, try again
// as it is, or leave the session connected but not bound.
void AppDelegate::askRadioInUse(const std::shared_ptr<Radio>& radio) {
    const auto instance = radio->radioInstance();
    Alert alert;
    alert.setAppearance(window_appearance);
    alert.setAlertStyle(Alert::Style::warning);
    alert.setMessageText("Radio is in use");
    alert.setInformativeText(
        "Do you want to disconnect " + (instance ? text(instance->inUseHost) : std::string()) +
        " running on " + (instance ? text(instance->name) : std::string()) + " ?");
    alert.addButtonWithTitle("OK");
    alert.addButtonWithTitle("Cancel");
    alert.addButtonWithTitle("Connect");
    const int answer = alert.runModal();
    if (answer == Alert::firstButtonReturn + 1) {
        log("Cancel: {}", dashes(53));
        return;
    }
    if (answer == Alert::firstButtonReturn) {
        log("DisconnectAllGuiClients: {}", dashes(53));
        radio->disconnectClientByHandle(std::nullopt);
    }
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    std::weak_ptr<Radio> session = radio;
    kbrx_background_queue->after(kRebindDelay, [weak, session] {
        log("setGuiClient {}", dashes(65));
        if (auto self = weak.lock()) {
            self->guiBind(session);
        }
    });
}

// The end of a session (states 0, 6, 7 and 9), some time after it was reported; nothing happens
// when the session has been closed or replaced meanwhile.
void AppDelegate::sessionEnded(const std::shared_ptr<Radio>& radio, std::uint32_t state) {
    if (radio != openRadio) {
        return;
    }
    const std::string title = chooserTitle();
    const std::size_t radios = localRadioCount();
    switch (state) {
        case kStateDisconnected:
            showNotificationWithTitle("Radio disconnected", title + " has disconnected");
            log("radioConnectionStateChange:{}, {} available radios", title, radios);
            break;
        case kStateDisconnectedByPeer:
        case kStateConnectFailed:
            log("radioConnectionStateChange:{}, {} available radios, connection time:[{}]", title,
                radios, connectTimeString());
            if (state == kStateConnectFailed) {
                showNotificationWithTitle("Connection failed",
                                          "Connection with:" + title + " failed");
            }
            break;
        case kStateTimedOut:
            if (const auto instance = radio->radioInstance();
                instance && instance->wanRadio.value_or(false) && wanServer) {
                wanServer->removeRadio(text(instance->serialNum));
            }
            log("radioConnectionStateChange:{}, {} available radios", title, radios);
            showNotificationWithTitle("Radio timed out", title + " has timed out");
            break;
        default: return;
    }
    const char* status = state == kStateConnectFailed ? "Radio Connection Failed"
                         : state == kStateTimedOut    ? "Radio Timed Out"
                                                      : "Radio Disconnected";
    panadapters[0]->velmoraSDRWindow->frameStatus->setText(status);
    prefsWindow->radioPage().setStatusText(status);
    // The last spectrum stays on screen, dimmed with the reason, so it does not pass for live.
    for (const auto& panadapter : panadapters) {
        panadapter->panAdapterView->setOfflineReason(QString::fromLatin1(status));
        panadapter->waterFallView->setOfflineReason(QString::fromLatin1(status));
    }
    radioClosed();
    if (state == kStateDisconnectedByPeer) {
        showNotificationWithTitle("Radio disconnected",
                                  title + " was disconnected by a remote peer");
    }
}

void AppDelegate::removeSessionObservers() {
    for (const auto token : sessionObservers_) {
        NotificationCenter::defaultCenter().removeObserver(token);
    }
    sessionObservers_.clear();
}

std::string AppDelegate::chooserTitle() const { return mainControls->radioPortNamePopUp->title(); }

std::size_t AppDelegate::localRadioCount() const {
    return radioFactory ? radioFactory->availableRadioInstances().size() : 0;
}

void AppDelegate::userCommandedDisconnect() { log("userCommandedDisconnect"); }

std::string AppDelegate::connectTimeString() const {
    if (!connectionStart) {
        return elapsedTimeString(std::chrono::seconds(0));
    }
    return elapsedTimeString(std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::system_clock::now() - *connectionStart));
}

}  // namespace vm
