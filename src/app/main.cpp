// velmorasdr: hands the process to the Qt application and the app controller, which starts the
// program before the event loop runs and completes the launch once it does. SIGTERM and the
// desktop session's end quit as the Quit menu does. Whichever way the program ends, the last save
// of the preferences reaches the disk first, and the sound system stops its own work before the
// process ends.
#include "app/panels/PanadapterController.h"
#include "app/shell/AppDelegate.h"
#include "app/shell/QuitRequests.h"
#include "app/windows/PanadapterWindow.h"
#include "platform/audio/AudioBackend.h"
#include "platform/core/Defaults.h"
#include "platform/ui/Application.h"

#include <QCoreApplication>
#include <QTimer>

#include <string>
#include <vector>

int main(int argc, char** argv) {
    // The login window's web engine shares the application's graphics contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    vm::Application application(argc, argv);
    const std::vector<std::string> arguments(argv + 1, argv + argc);  // Qt's own options removed
    auto controller = vm::AppDelegate::create({arguments});
    if (controller->awakeFromNib() != vm::AppDelegate::Start::run) {
        vm::Defaults::standard().flush();  // a preference reset ends here
        return 0;
    }
    controller->panadapters[0]->velmoraSDRWindow->makeKeyAndOrderFront();
    QTimer::singleShot(0, [controller] { controller->applicationDidFinishLaunching(); });
    // SIGTERM and the end of the desktop session take the Quit menu's way out.
    const vm::QuitRequests quitRequests(controller);
    const int status = application.exec();
    vm::Defaults::standard().flush();
    // The sound system's device watch stops while the dispatch threads still run.
    vm::AudioBackend::shutdownShared();
    return status;
}
