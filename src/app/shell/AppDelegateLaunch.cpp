// Launch completion: the machine report, the preferences, discovery and the windows of the last
// run, once the event loop runs. Discovery itself is station control (AppDelegateChooser.cpp).
#include "app/shell/AppDelegate.h"

#include "app/control/DoroControlController.h"
#include "app/control/SiblingBridge.h"
#include "app/memory/BandStackController.h"
#include "app/memory/FilterPresetController.h"
#include "app/memory/UserMemoryController.h"
#include "app/panels/PanadapterController.h"
#include "app/shell/AppTimers.h"
#include "app/shell/MeterDisplays.h"
#include "app/shell/SystemReport.h"
#include "app/windows/CwxWindow.h"
#include "app/windows/HudWindow.h"
#include "app/windows/KnobPrefsPage.h"
#include "app/windows/MainControlsBar.h"
#include "app/windows/MemoryPanel.h"
#include "app/windows/PanadapterWindow.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/RadioPrefsPage.h"
#include "app/windows/SerialPortChoice.h"
#include "app/windows/SlicePanel.h"
#include "app/windows/TnfPanel.h"
#include "localaudio/AudioUtilities.h"
#include "platform/core/Defaults.h"
#include "platform/core/Log.h"
#include "util/SharedFunctions.h"

#include <QGuiApplication>
#include <QScreen>

namespace vm {

namespace {

const std::string kSeparator(73, '-');

// The screens as the window system reports them, read on the main thread.
std::vector<std::string> screenLines() {
    std::vector<std::string> lines;
    int index = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect frame = screen->geometry();
        lines.push_back(fmt::format(
            "Screen {} backingScaleFactor:{:g} frame:{{{{{}, {}}}, {{{}, {}}}}} depth:{:x}",
            index++, screen->devicePixelRatio(), frame.x(), frame.y(), frame.width(),
            frame.height(), screen->depth()));
    }
    return lines;
}

}  // namespace

void AppDelegate::applicationDidFinishLaunching() {
    logLine(kSeparator);
    log("applicationDidFinishLaunching:{} on {}", displayLongVersionString(), my_ip);
    logSystemReport();
    logZombieEnvironment();
    AudioUtilities::setShouldExitOnCheckResultFail(false);
    // The audio devices are listed once the sound system answers (RemoteAudioController).
    // The check box shows the stored choice already (restored at start-up).
    if (prefsWindow->radioPage().checkForUpdates()) {
        checkForUpdates(false);
    }

    // The preferences came back at start-up; the serial ports are only listed now.
    KnobPrefsPage& knob = prefsWindow->knobPage();
    knob.reloadSerialPorts();
    knob.restoreSerialPort();
    restoreAutoConnect();

    startWindowDelegates();
    // The heads-up display starts over the top right of the first panadapter.
    const QRect main = panadapters[0]->velmoraSDRWindow->frameGeometry();
    hud->move(std::max(main.left(), main.right() - hud->width() - 24), main.top() + 130);
    hud->makeKeyAndOrderFront();
    bandStackController->loadBandStacks();
    filterPresetController->setupPresetDictionary();
    userMemoryController->loadUserMemories();
    doroSDRisRunning = openDoroSDR();
    // The mode controls as the slices allow, and with them everything that needs a radio.
    adjustSessionControls();
    if (knob.doroControl()) {
        std::weak_ptr<AppDelegate> weak = weak_from_this();
        DispatchQueue::main()->after(std::chrono::milliseconds(100), [weak] {
            if (const auto self = weak.lock()) {
                self->doroControl->openCloseDoroControl(true);
            }
        });
    }
    reopenWindows();
    siblingBridge->start();
    startDoroLink();
    appTimers = AppTimers::create(*mainControls->pollButton, *mainControls->transmitButton,
                                  {greenBulb, greyBulb, yellowBulb, redBulb}, debugLogFilePath,
                                  vmsdr_maintenance_queue, weak_from_this());
    appTimers->start();
    meterDisplays = MeterDisplays::create(*hud, *prefsWindow, weak_from_this());
    meterDisplays->start();
    startupComplete = true;
}

// Written from the update queue, so that a slow command never holds up the windows; the lines of
// the report stay together in the log.
void AppDelegate::logSystemReport() {
    std::vector<std::string> screens = screenLines();
    vmsdr_update_queue->async([screens = std::move(screens)] {
        std::vector<std::string> lines{kSeparator};
        auto append = [&lines](const std::vector<std::string>& more) {
            lines.insert(lines.end(), more.begin(), more.end());
        };
        append(hardwareReportLines());
        lines.push_back(firewallLine());
        lines.push_back(std::string("User is admin: ") + (hasAdminPrivileges() ? "YES" : "NO"));
        append(screens);
        lines.push_back(kSeparator);
        append(kernelModuleLines());
        for (const auto& line : lines) {
            logLine(line);
        }
        findPorts(nullptr);
        logLine(kSeparator);
    });
}

void AppDelegate::reopenWindows() {
    const std::pair<const char*, Window*> windows[] = {{"prefs_window_visible", prefsWindow},
                                                       {"cwx_window_visible", cwxWindow},
                                                       {"memory_window_visible", memoryPanel},
                                                       {"tnf_window_visible", tnfPanel}};
    for (const auto& [key, w] : windows) {
        if (Defaults::standard().boolForKey(key).value_or(false)) {
            w->makeKeyAndOrderFront();
        }
    }
}

}  // namespace vm
