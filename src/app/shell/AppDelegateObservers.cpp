// What the controller listens to for the whole run, and the images the controls show first.
#include "app/shell/AppDelegate.h"

#include "app/shell/WindowDelegates.h"
#include "app/windows/HudWindow.h"
#include "app/windows/KnobPrefsPage.h"
#include "app/windows/MainControlsBar.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/RadioPrefsPage.h"

#include <QGuiApplication>

namespace vm {

void AppDelegate::registerObservers() {
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    observers_.push_back(NotificationCenter::defaultCenter().addObserver(
        "com.velmorasoftware.doro.auth.process.complete", nullptr, DispatchQueue::main(),
        [weak](const Notification& notification) {
            if (auto self = weak.lock()) {
                self->authProcessComplete(notification);
            }
        }));
    observers_.push_back(NotificationCenter::defaultCenter().addObserver(
        "com.velmorasoftware.doro.remote.radio.ready", nullptr, DispatchQueue::main(),
        [weak](const Notification& notification) {
            if (auto self = weak.lock()) {
                self->remoteRadioReady(notification);
            }
        }));
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, hud,
                     [weak](Qt::ApplicationState state) {
                         if (auto self = weak.lock()) {
                             self->applicationStateChanged(state == Qt::ApplicationActive);
                         }
                     });
}

// The heads-up display leaves the screen with the application when the operator asked for that,
// and the preferences window floats only while the application is active.
void AppDelegate::applicationStateChanged(bool active) {
    if (windowDelegates) {
        if (active) {
            windowDelegates->applicationDidBecomeActive();
        } else {
            windowDelegates->applicationWillResignActive();
        }
    }
    if (!active && hudHidesOnDeactivate_ && hud->isVisible()) {
        hud->hide();
        hudHiddenInBackground_ = true;
    } else if (active && hudHiddenInBackground_) {
        hud->show();
        hudHiddenInBackground_ = false;
    }
}

void AppDelegate::showInitialImages() {
    mainControls->pollButton->setImage(greyBulb);
    mainControls->transmitButton->setImage(red_button_dark);
    mainControls->tuneButton->setImage(greyBulb);
    hud->hudRitButton->setImage(greyBulb);
    hud->hudXitButton->setImage(greyBulb);
    prefsWindow->radioPage().setDoroLinkServerImage(greyBulb);
    prefsWindow->knobPage().setLightImage(greyBulb);
}

}  // namespace vm
