#include "platform/ui/Application.h"

namespace vm {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("velmoraSDR"));
}

}  // namespace vm
