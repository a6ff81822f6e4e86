// The computer's sleep and wake: sleep ends the radio's session (through the one session-end
// path) and closes the knob; after the wake the knob reopens and the same radio is opened again
// as soon as discovery (or the DoroLink server) lists it. The system's sleep waits for the lock
// that sleep hands over: without a session it goes when the handler returns, with one when the
// session's connection has closed.
#include "app/shell/AppDelegate.h"

#include "app/control/DoroControlController.h"
#include "app/windows/KnobPrefsPage.h"
#include "app/windows/PreferencesWindow.h"
#include "platform/core/Log.h"
#include "radio/Radio.h"

namespace vm {

void AppDelegate::receiveSleepNote(std::shared_ptr<void> sleepLock) {
    was_connected = radioFactory && openRadio && radioConnectionState == 4;
    sleeping = true;
    log("receiveSleepNote: {}, connected:{}", "PrepareForSleep", was_connected ? "YES" : "NO");
    doro_control_connected = prefsWindow->knobPage().doroControl();
    if (doro_control_connected) {
        log("receiveSleepNote: Closing DoroControl");
        doroControl->openCloseDoroControl(false);
    }
    if (was_connected) {
        log("receiveSleepNote: Closing DoroSDR");
        const auto instance = openRadio->radioInstance();
        reopenAfterWake_ = instance ? instance->name.value_or("") : "";
        reopenAfterWakeIsRemote_ = instance && instance->wanRadio.value_or(false);
        saveAntennas();
        // The system sleeps once the connection has closed and the radio has heard the close.
        radioClosed(std::move(sleepLock));
    }
}

void AppDelegate::receiveWakeNote() {
    log("receiveWakeNote: {}, connected:{}", "PrepareForSleep", was_connected ? "YES" : "NO");
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    DispatchQueue::main()->after(std::chrono::seconds(1), [weak] {
        auto self = weak.lock();
        if (!self) {
            return;
        }
        self->sleeping = false;
        if (self->was_connected) {
            log("receiveWakeNote: Open DoroSDR");
            self->doroSDRisRunning = self->openDoroSDR();
            self->reopenRadioAfterWake();
        }
        KnobPrefsPage& knob = self->prefsWindow->knobPage();
        knob.reloadSerialPorts();
        knob.restoreSerialPort();
        if (self->doro_control_connected) {
            knob.setDoroControl(true);
            log("receiveWakeNote: Open DoroControl");
            self->doroControl->openCloseDoroControl(true);
        }
    });
}

bool AppDelegate::reopenRadioAfterWake() {
    if (reopenAfterWake_.empty() || sleeping || openRadio) {
        return false;
    }
    const auto radio = getRadioInstanceFromName(reopenAfterWake_);
    if (!radio) {
        return false;  // tried again when the radio list changes
    }
    const std::string name = std::exchange(reopenAfterWake_, std::string());
    log("receiveWakeNote: reopen [{}]", name);
    setPopupFromRadioName(name, reopenAfterWakeIsRemote_);
    autoOpen(radio, name, reopenAfterWakeIsRemote_);
    return true;
}

}  // namespace vm
