// Quitting: the radio left clean (its non-permanent notch filters, this client's slices and
// panadapters), the profiles saved, the session, the DoroLink server and the knob closed, and only
// then the event loop ended; a safety answer ends it 30 s after the request whatever happens. On
// the way out the window frames, tabs, open windows and band stacks are saved.
#include "app/shell/AppDelegate.h"

#include "app/control/ConnectionTexts.h"
#include "app/control/DoroControlController.h"
#include "app/dorolink/DoroLinkAuthWebController.h"
#include "app/memory/BandStackController.h"
#include "app/memory/ProfileController.h"
#include "app/panels/PanadapterController.h"
#include "app/windows/CwxWindow.h"
#include "app/windows/MemoryPanel.h"
#include "app/windows/PanadapterPrefsPage.h"
#include "app/windows/PanadapterWindow.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/RadioPrefsPage.h"
#include "app/windows/SlicePrefsPage.h"
#include "app/windows/TnfPanel.h"
#include "app/windows/TransverterPrefsPage.h"
#include "dorolink/WanServer.h"
#include "platform/core/Defaults.h"
#include "platform/core/Log.h"
#include "radio/Radio.h"
#include "radio/TNF.h"

#include <QCoreApplication>

namespace vm {

namespace {

using namespace std::chrono_literals;

constexpr auto kSafetyReply = 30s;
constexpr auto kRemovalPoll = 100ms;
constexpr auto kRemovalLimit = 5s;
constexpr auto kCloseDelay = 250ms;

}  // namespace

void AppDelegate::quit() {
    if (quitRequested_) {
        return;
    }
    quitRequested_ = true;
    if (applicationShouldTerminate() == TerminateReply::now) {
        endEventLoop();
        return;
    }
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    replyToApplicationShouldTerminate = [weak](bool yes) {
        if (const auto self = weak.lock(); self && yes) {
            self->endEventLoop();
        }
    };
}

void AppDelegate::endEventLoop() {
    applicationWillTerminate();
    if (options_.endEventLoop) {
        options_.endEventLoop();
    } else {
        QCoreApplication::quit();
    }
}

AppDelegate::TerminateReply AppDelegate::applicationShouldTerminate() {
    log("AppDelegate:applicationShouldTerminate: {}", std::string(65, '-'));
    if (!startupComplete) {
        return TerminateReply::now;
    }
    if (openRadio) {
        std::vector<std::int32_t> removable;
        openRadio->tnfs()->with([&](auto& list) {
            for (const auto& tnf : list) {
                if (!tnf->permanent) {
                    removable.push_back(tnf->tnf_id);
                }
            }
        });
        for (const std::int32_t id : removable) {
            log("applicationShouldTerminate:removing tnf id:[{}]", id);
            openRadio->removeTNF(id);
        }
    }
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    DispatchQueue::main()->after(kSafetyReply, [weak] {
        const auto self = weak.lock();
        if (self && self->replyToApplicationShouldTerminate) {
            log("applicationShouldTerminate:waited 20 seconds before "
                "replyToApplicationShouldTerminate");
            std::exchange(self->replyToApplicationShouldTerminate, nullptr)(true);
        }
    });
    profileController->saveProfileNames();
    profileController->saveProfiles();
    profileController->waitForProfile(ProfileController::ProfileWait::allSaved, [weak](bool saved) {
        const auto self = weak.lock();
        if (!self) {
            return;
        }
        log("{}", saved ? "applicationShouldTerminate: All Profiles saved"
                        : "applicationShouldTerminate: Save All Profiles failed");
        self->removeOurResourcesFromRadio();
        self->removeResourcesThenClose();
    });
    return TerminateReply::later;
}

// The radio's reports of the deleted slices and panadapters empty the two lists on the main
// queue, so they are polled there, without blocking it, until empty or for 5 s.
void AppDelegate::removeResourcesThenClose() {
    if (doroPanafalls.empty() && doroSlices.empty()) {
        closeForQuitLater();
        return;
    }
    log("applicationShouldTerminate:removeOurResourcesFromRadio:pans {} slices {}",
        doroPanafalls.size(), doroSlices.size());
    pollRemoval(DispatchClock::now());
}

void AppDelegate::pollRemoval(DispatchClock::time_point start) {
    const auto elapsed = DispatchClock::now() - start;
    const bool removed = doroPanafalls.empty() && doroSlices.empty();
    if (!removed && elapsed <= kRemovalLimit) {
        std::weak_ptr<AppDelegate> weak = weak_from_this();
        DispatchQueue::main()->after(kRemovalPoll, [weak, start] {
            if (const auto self = weak.lock()) {
                self->pollRemoval(start);
            }
        });
        return;
    }
    if (!removed) {
        log("applicationShouldTerminate:removeOurResourcesFromRadio: timed out");
    }
    log("applicationShouldTerminate:removeOurResourcesFromRadio: {:f} ms. elapsed",
        std::chrono::duration<double, std::milli>(elapsed).count());
    closeForQuitLater();
}

void AppDelegate::closeForQuitLater() {
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    DispatchQueue::main()->after(kCloseDelay, [weak] {
        if (const auto self = weak.lock()) {
            self->closeForQuit();
        }
    });
}

void AppDelegate::closeForQuit() {
    saveAntennas();
    radioClosed();
    if (doroLinkAuthWebController && prefsWindow->radioPage().useDoroLink()) {
        if (const auto& server = doroLinkAuthWebController->wanServer()) {
            server->disconnectWanServer();
        }
        setNetworkTestEnabled(false);
    }
    quitting = true;
    if (doroControl) {
        doroControl->close();
    }
    closeDoroSDR();
}

void AppDelegate::applicationWillTerminate() {
    log("applicationWillTerminate");
    cleanUpAndGo();
}

void AppDelegate::cleanUpAndGo() {
    log("cleanUpAndGo");
    for (const auto& pan : panadapters) {
        Window& frame = *pan->velmoraSDRWindow;
        if (frame.isVisible() && !frame.frameAutosaveName().empty()) {
            frame.saveFrame();
        }
    }
    serialPortMonitor_.reset();
    Defaults::standard().set("debug_state", debugEnabled() ? 1 : 0);
    bandStackController->saveStackDictionary();
    saveTabs();
    saveWindowsOpen();
    printUpTime();
}

void AppDelegate::saveTabs() {
    Defaults& defaults = Defaults::standard();
    defaults.set("prefs_tab_view", prefsWindow->selectedTab());
    defaults.set("xvtr_tab_view", prefsWindow->transverterPage().selectedTransverterTab());
    defaults.set("slice_tab_view", prefsWindow->slicePage().selectedTab());
    defaults.set("panadapter_tab_view", prefsWindow->panadapterPage().selectedTab());
}

void AppDelegate::saveWindowsOpen() {
    const std::pair<const char*, Window*> windows[] = {{"prefs_window_visible", prefsWindow},
                                                       {"cwx_window_visible", cwxWindow},
                                                       {"memory_window_visible", memoryPanel},
                                                       {"tnf_window_visible", tnfPanel}};
    for (const auto& [key, w] : windows) {
        Defaults::standard().set(key, w->isVisible());
    }
}

void AppDelegate::printUpTime() {
    log("Uptime: {}", elapsedTimeString(std::chrono::duration_cast<std::chrono::seconds>(
                          std::chrono::system_clock::now() - startupTime)));
}

}  // namespace vm
