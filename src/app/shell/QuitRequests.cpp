#include "app/shell/QuitRequests.h"

#include "app/shell/AppDelegate.h"

#include <QGuiApplication>
#include <QSessionManager>

namespace vm {

namespace {

std::function<void()> quitting(std::weak_ptr<AppDelegate> controller) {
    return [controller = std::move(controller)] {
        if (const auto self = controller.lock()) {
            self->quit();
        }
    };
}

}  // namespace

QuitRequests::QuitRequests(std::weak_ptr<AppDelegate> controller) : signal_(quitting(controller)) {
    sessionEnd_ = QObject::connect(qApp, &QGuiApplication::commitDataRequest, qApp,
                                   [quit = quitting(controller)](QSessionManager&) { quit(); });
}

QuitRequests::~QuitRequests() { QObject::disconnect(sessionEnd_); }

}  // namespace vm
