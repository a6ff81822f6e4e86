// Start-up: everything the controller does before the event loop runs, in this order: folders,
// debug log, machine facts, single instance, windows and controls, observers, queues, the
// preference reset, and the listeners for serial ports, URLs, audio devices and sleep.
#include "app/shell/AppDelegate.h"

#include "app/audio/RemoteAudioController.h"
#include "app/control/DoroControlController.h"
#include "app/control/SiblingBridge.h"
#include "app/cwx/CwxController.h"
#include "app/memory/TransverterEditor.h"
#include "app/panels/PanadapterController.h"
#include "app/panels/SlicePanelController.h"
#include "app/shell/DebugLogFiles.h"
#include "app/shell/LocalRadioTable.h"
#include "app/shell/MachineFacts.h"
#include "app/shell/PreferenceChoices.h"
#include "app/windows/EqualizerPanel.h"
#include "app/windows/EqualizerPrefsPage.h"
#include "app/windows/HudWindow.h"
#include "app/windows/MainControlsBar.h"
#include "app/windows/MainMenus.h"
#include "app/windows/MemoryPanel.h"
#include "app/windows/PanadapterPrefsPage.h"
#include "app/windows/PanadapterWindow.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/RadioPrefsPage.h"
#include "platform/core/Defaults.h"
#include "platform/core/Log.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Beep.h"
#include "platform/ui/SingleInstance.h"
#include "platform/ui/UserNotifications.h"
#include "util/VMMegahertzFormatter.h"

#include <QGuiApplication>
#include <QSysInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

namespace vm {

namespace {

const std::string kSeparator(73, '-');

// The text field formatter of a frequency in megahertz.
NumberFormatter megahertzFieldFormatter(const VMMegahertzFormatter& formatter) {
    return NumberFormatter{[&formatter](double mhz) { return formatter.stringForObjectValue(mhz); },
                           [&formatter](const std::string& text) -> std::optional<double> {
                               double mhz = 0;
                               if (!formatter.getObjectValue(&mhz, text, nullptr)) {
                                   return std::nullopt;
                               }
                               return mhz;
                           },
                           [&formatter](const std::string& text) {
                               return formatter.isPartialStringValid(text, nullptr);
                           }};
}

}  // namespace

AppDelegate::Start AppDelegate::awakeFromNib() {
    const AppFolders folders = checkFolders();
    debugPath = folders.debugPath;
    tmpPath = folders.tmpPath;
    soundFilesPath = folders.soundFilesPath;
    dataFilesPath = folders.dataFilesPath;
    redirectConsoleLogToDocumentFolder();
    logLine(kSeparator);
    logMachineFacts();

    Start refusal = Start::run;
    if (!claimSingleInstance(&refusal)) {
        return refusal;
    }

    storeRefToSelf();
    createWindows();

    const Date now = std::chrono::system_clock::now();
    doroSlices.clear();
    doroPanafalls.clear();
    fetchingSpots = false;
    lastPurge = lastVoxCheck = now;

    prepareControls();

    auto antenna = [](const char* key) {
        return Defaults::standard().stringForKey(key).value_or("ant1");
    };
    lastActiveRXAnt = antenna("lastActiveRXAnt");
    lastActiveTXAnt = antenna("lastActiveTXAnt");
    lastAlternateRXAnt = antenna("lastAlternateRXAnt");
    lastAlternateTXAnt = antenna("lastAlternateTXAnt");

    logZombieEnvironment();
    was_connected = sleeping = false;

    loadImages();
    showInitialImages();
    readOperatingSystemVersion();
    // The stored choices come back before any window shows: the appearance first of all.
    restorePreferences();
    darkWindowsChanged();

    doroSDRisRunning = false;
    radioConnectionState = 0;

    registerObservers();

    panadapters[0]->velmoraSDRWindow->frameStatus->setText(QStringLiteral("No Radio Connected"));
    prefsWindow->radioPage().setStatusText(QStringLiteral("No Radio Connected"));

    radioStartupComplete = false;
    radioConnectionState = 0;
    startupTime = sessionStart = lastTuningChange = std::chrono::system_clock::now();
    startupClock_ = DispatchClock::now();

    userNotifications_ = std::make_unique<UserNotifications>();
    tellPreferencesKeptAside();

    createQueues();
    doroControl = DoroControlController::create(prefsWindow->knobPage(), kbrx_dorocontrol_queue,
                                                weak_from_this());
    transverters = TransverterEditor::create(prefsWindow->transverterPage(),
                                             *menus->xvtrShortcutsMenu, weak_from_this());
    remoteAudio = RemoteAudioController::create(prefsWindow->audioPage(), weak_from_this());
    cwxController = CwxController::create(*cwxWindow, kbrx_sidetone_queue, weak_from_this());
    siblingBridge =
        SiblingBridge::create(DistributedNotificationCenter::defaultCenter(),
                              QDBusConnection::sessionBus(), kbrx_zenithor_queue, weak_from_this());
    siblingBridge->registerDistributedNotifications();
    preferenceChoices = PreferenceChoices::create(prefsWindow->radioPage(), weak_from_this());
    localRadioTable = LocalRadioTable::create(prefsWindow->radioPage(), weak_from_this());
    connectPanDisplayChoices();

    if (resetPreferencesAsked()) {
        resetPreferences();
        return Start::preferencesReset;
    }

    startSerialDeviceNotification();
    hud->setWindowTitle(QString::fromStdString(versionTitleString()));
    startAudioDeviceListeners();
    startSleepWatcher();
    log("awakeFromNib:getOSVersion:{} {}.{}.{}", osVersionString, majorVersion, minorVersion,
        patchVersion);
    return Start::run;
}

void AppDelegate::logZombieEnvironment() {
    if (std::getenv("NSZombieEnabled") || std::getenv("NSAutoreleaseFreedObjectCheckEnabled")) {
        log("NSZombieEnabled/NSAutoreleaseFreedObjectCheckEnabled enabled!");
    }
}

void AppDelegate::redirectConsoleLogToDocumentFolder() {
    debugLogFilePath =
        (std::filesystem::path(debugPath) / debugLogFileName(std::time(nullptr))).string();
    if (redirectStandardError(debugLogFilePath)) {
        log("stderr redirected to {}", debugLogFilePath);
    } else {
        const int error = errno;
        Alert alert;
        alert.setAlertStyle(Alert::Style::critical);
        alert.setMessageText("Could not redirect debug log.");
        alert.setInformativeText(
            fmt::format("Error:{}({}), Ant-Virus software may be blocking your file access.",
                        std::strerror(error), error));
        alert.addButtonWithTitle("OK");
        alert.runModal();
    }
    if (!debugPath.empty()) {
        purgeFilesAtPath(debugPath, 604800, "txt");
    }
}

void AppDelegate::logMachineFacts() {
    const NetworkFacts facts = readNetworkFacts();
    if (facts.macFailed) {
        log("getMacAddress:Error: {}", facts.macAddress);
    }
    macAddress = facts.macAddress;
    my_ip = facts.myIp;
    log("awakeFromNib:MAC Address: {}, ip Address: {}", macAddress, my_ip);
    log("cpu:{}, rosetta:{}", processorFamily(), "NO");
}

bool AppDelegate::claimSingleInstance(Start* refusal) {
    singleInstance_ = std::make_unique<SingleInstance>();
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    if (singleInstance_->claim([weak](const std::string& url) {
            if (auto self = weak.lock()) {
                self->handleURLEvent(url);
            }
        })) {
        return true;
    }
    // A start that only carries links hands them to the running program, as opening a link does
    // on other systems, and ends quietly; a start by hand is told why it ends.
    const auto urls = SingleInstance::urlsFromArguments(options_.arguments);
    if (!urls.empty() && singleInstance_->forward(urls)) {
        *refusal = Start::handedOver;
        return false;
    }
    log("velmoraSDR is already running. This instance will quit");
    Alert alert;
    alert.setAlertStyle(Alert::Style::informational);
    alert.setMessageText("velmoraSDR is already running.");
    alert.setInformativeText("This instance will quit.");
    alert.addButtonWithTitle("OK");
    alert.runModal();
    *refusal = Start::alreadyRunning;
    return false;
}

void AppDelegate::prepareControls() {
    megahertzFormatter_ = std::make_unique<VMMegahertzFormatter>();
    megahertzFormatter_->setShowHz(true);
    megahertzFormatter_->setBeep([] { beep(); });
    const NumberFormatter formatter = megahertzFieldFormatter(*megahertzFormatter_);
    mainControls->vfo_mhz->setFormatter(formatter);
    mainControls->vfo_alt_mhz->setFormatter(formatter);
    for (const auto& panel : slicePanelControllers) {
        panel->setFrequencyFormatter(formatter);
    }
    const EqualizerPrefsPage& equalizers = prefsWindow->equalizerPage();
    for (auto* equalizer : {equalizers.rxEqualizer(), equalizers.txEqualizer()}) {
        for (auto* slider : equalizer->sliders) {
            slider->setMinValue(-10.0);
            slider->setMaxValue(10.0);
        }
    }
    setDbmSliderRanges();
}

void AppDelegate::readOperatingSystemVersion() {
    osVersionString = QSysInfo::prettyProductName().toStdString();
    // The running kernel's release, "6.1.0-18-amd64": its first three numbers.
    const std::string release = QSysInfo::kernelVersion().toStdString();
    long* parts[] = {&majorVersion, &minorVersion, &patchVersion};
    const char* p = release.c_str();
    for (long* part : parts) {
        char* end = nullptr;
        *part = std::strtol(p, &end, 10);
        if (end == p || *end != '.') {
            break;
        }
        p = end + 1;
    }
}

void AppDelegate::createQueues() {
    kbrx_background_queue =
        DispatchQueue::serial("com.velmorasoftware.vmsdr_app_controller_background_queue");
    kbrx_dorocontrol_queue =
        DispatchQueue::serial("com.velmorasoftware.vmsdr_app_controller_dorocontrol_queue");
    kbrx_zenithor_queue =
        DispatchQueue::serial("com.velmorasoftware.vmsdr_app_controller_zenithor_queue");
    kbrx_sidetone_queue =
        DispatchQueue::serial("com.velmorasoftware.vmsdr_app_controller_sidetone_queue");
    vmsdr_update_queue =
        DispatchQueue::serial("com.velmorasoftware.vmsdr_app_controller_update_queue");
    vmsdr_all_profiles_queue =
        DispatchQueue::serial("com.velmorasoftware.vmsdr_app_controller_all_profiles_queue");
    vmsdr_maintenance_queue =
        DispatchQueue::serial("com.velmorasoftware.vmsdr_app_controller_maintenance_queue");
}

bool AppDelegate::resetPreferencesAsked() const {
    for (const auto& argument : options_.arguments) {
        if (argument == "--reset-preferences") {
            return true;
        }
    }
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::AltModifier);
}

void AppDelegate::resetPreferences() {
    Alert alert;
    alert.setAppearance(window_appearance);
    alert.setMessageText("Are you sure you want to reset all velmoraSDR Preferences ?");
    alert.setInformativeText("This action cannot be undone");
    alert.addButtonWithTitle("Reset");
    alert.addButtonWithTitle("Cancel");
    if (alert.runModal() == Alert::firstButtonReturn) {
        Defaults& defaults = Defaults::standard();
        for (const auto& [key, value] : defaults.dictionaryRepresentation()) {
            defaults.remove(key);
        }
    }
}

}  // namespace vm
