#pragma once
// The ways out besides the Quit menu: SIGTERM and the end of the desktop session ask the
// controller to quit, and so take the Quit menu's way (the radio left clean, its session closed).
// One object per process, made on the GUI thread; while it lives SIGTERM no longer ends the
// process by itself.
#include "platform/ui/TerminationSignal.h"

#include <QMetaObject>

#include <memory>

namespace vm {

class AppDelegate;

class QuitRequests {
public:
    explicit QuitRequests(std::weak_ptr<AppDelegate> controller);
    ~QuitRequests();
    QuitRequests(const QuitRequests&) = delete;
    QuitRequests& operator=(const QuitRequests&) = delete;

    // False when SIGTERM could not be taken over (it then ends the process as usual).
    bool signalInstalled() const { return signal_.installed(); }

private:
    TerminationSignal signal_;
    QMetaObject::Connection sessionEnd_;
};

}  // namespace vm
