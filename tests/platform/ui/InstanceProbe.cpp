// A tiny program for the single-instance tests: the first start prints "primary bus" or
// "primary socket", then "url <url>" for the first URL handed to it, and ends with 0; a later
// start hands the "kbrx:" URLs of its arguments to the first and ends with 0 when they were
// taken, 1 when not, and 2 when it had none to hand over.
#include "platform/ui/SingleInstance.h"

#include <QCoreApplication>

#include <iostream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    vm::SingleInstance instance;
    const auto urls =
        vm::SingleInstance::urlsFromArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (instance.claim([&](const std::string& url) {
            std::cout << "url " << url << std::endl;
            app.quit();
        })) {
        std::cout << "primary " << (instance.onBus() ? "bus" : "socket") << std::endl;
        return app.exec();
    }
    if (urls.empty()) {
        return 2;
    }
    return instance.forward(urls) ? 0 : 1;
}
