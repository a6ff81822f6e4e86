// The start-up chain after the GUI bind: the radio's saved global, microphone and transmit
// profiles are loaded in turn, each once the radio has confirmed the previous one (or the wait for
// it has given up), then the program subscribes to panadapters and clients and names its station.
// The chain is a sequence of main-queue steps: no thread waits while the radio answers.
#include "app/shell/AppDelegate.h"

#include "app/audio/RemoteAudioController.h"
#include "app/control/SiblingBridge.h"
#include "app/memory/ProfileController.h"
#include "app/memory/ProfileNames.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/RadioPrefsPage.h"
#include "platform/core/ConditionWait.h"
#include "platform/core/Defaults.h"
#include "platform/core/Log.h"
#include "radio/Radio.h"

namespace vm {

namespace {

using namespace std::chrono_literals;

constexpr auto kFinishDelay = 100ms;
constexpr const char* kDefaultStationName = "velmoraSDR";

// One load of the chain: what is logged, the flag it sets, the setter that sends it and the
// radio's current name that the success line shows.
struct ProfileLoad {
    const char* title;  // "Global", "Mic", "Tx"
    ProfileController::ProfileWait wait;
    bool ProfileController::*loading;
    void (Radio::*load)(const std::string& name);
    Observed<Text> RadioState::*current;
};

const ProfileLoad kLoads[] = {
    {"Global", ProfileController::ProfileWait::globalLoad, &ProfileController::loadingGlobalProfile,
     &Radio::setCurrentGlobalProfile, &RadioState::currentGlobalProfile},
    {"Mic", ProfileController::ProfileWait::micLoad, &ProfileController::loadingMicProfile,
     &Radio::setCurrentMicProfile, &RadioState::currentMicProfile},
    {"Tx", ProfileController::ProfileWait::transmitLoad, &ProfileController::loadingTransmitProfile,
     &Radio::setCurrentTxProfile, &RadioState::currentTxProfile},
};

}  // namespace

void AppDelegate::startupRadio(const std::shared_ptr<Radio>& radio) {
    const auto instance = radio ? radio->radioInstance() : nullptr;
    profilesAutoSaved = instance && instance->supportsV3_API;
    const auto started = DispatchClock::now();
    if (!openRadio || !instance) {
        return;
    }
    log("startupRadio:radio firmware version:[{:g}]", instance->fversion);
    const ProfileNames saved = savedProfileNames(instance->serialNum.value_or(""));
    const std::string names[] = {saved.global, saved.mic, saved.transmit};

    std::weak_ptr<AppDelegate> weak = weak_from_this();
    std::weak_ptr<Radio> session = radio;
    runChain(
        std::size(kLoads),
        [weak, session, names](std::size_t i, std::function<void()> next) {
            auto self = weak.lock();
            auto current = session.lock();
            if (!self || !current || current != self->openRadio) {
                return;  // the session has ended: so has its chain
            }
            const ProfileLoad& load = kLoads[i];
            const std::string& name = names[i];
            if (i == 0) {
                log("startupRadio:Loading savedProfileName:[{}]", name);
            } else {
                log("startupRadio:{} Profile:[{}]", load.title, name);
            }
            (*self->profileController).*load.loading = true;
            ((*current).*load.load)(name);
            self->profileController->waitForProfile(
                load.wait, [session, name, &load, next](bool loaded) {
                    const auto answered = session.lock();
                    if (loaded && answered) {
                        log("startupRadio:{} Profile:[{}] loaded", load.title,
                            ((*answered).*load.current)().value_or(""));
                    } else {
                        log("startupRadio:{} Profile:[{}] failed", load.title, name);
                    }
                    next();
                });
        },
        [weak, session, started] {
            auto self = weak.lock();
            const auto current = session.lock();
            if (!self || !current || current != self->openRadio) {
                return;  // the session ended during the last wait: it never completed
            }
            log("startupRadio:radioStartupComplete in {:0.3f} sec {}",
                std::chrono::duration<double>(DispatchClock::now() - started).count(),
                std::string(42, '-'));
            self->radioStartupComplete = true;
            DispatchQueue::main()->after(kFinishDelay, [weak, session] {
                auto again = weak.lock();
                auto finished = session.lock();
                if (again && finished) {
                    again->finishStartup(finished);
                }
            });
        });
}

// The chain's last step, once the profiles are in.
void AppDelegate::finishStartup(const std::shared_ptr<Radio>& radio) {
    if (radio != openRadio) {
        return;
    }
    const auto instance = radio->radioInstance();
    setPopupFromRadioName(instance ? instance->name.value_or("") : "",
                          instance && instance->wanRadio.value_or(false));
    setRadioTooltp();
    prefsWindow->radioPage().setDoroLinkBusy(false);
    remoteAudio->setRadioStartupComplete(true);
    remoteAudio->restoreRemoteAudio();
    if (Defaults::standard().boolForKey("display_trvl_spots").value_or(false)) {
        siblingBridge->requestUpdateFromTRVL();
    }
    radio->subscribe("pan all");
    if (instance && instance->supportsV3_API) {
        radio->subscribe("client all");
        const std::string station = Defaults::standard()
                                        .stringForKey("multidoro_station_name")
                                        .value_or(kDefaultStationName);
        log("startupRadio:ourPreferedStationName:[{}]", station);
        radio->cmdSetStationName(station);
    }
}

}  // namespace vm
