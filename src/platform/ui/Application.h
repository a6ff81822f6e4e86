#pragma once
// The application object: a QApplication whose event loop also runs the main dispatch queue.
// Create it on the main thread (the thread that started the program).
#include "platform/ui/MainQueuePump.h"

#include <QApplication>

namespace vm {

class Application : public QApplication {
public:
    Application(int& argc, char** argv);

private:
    MainQueuePump pump_;
};

}  // namespace vm
