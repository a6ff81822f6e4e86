#include "platform/ui/Beep.h"

#include <QApplication>

#include <utility>

namespace vm {

namespace {
BeepHandler& handler() {
    static BeepHandler current;
    return current;
}
}  // namespace

void beep() {
    if (handler()) {
        handler()();
    } else {
        QApplication::beep();
    }
}

BeepHandler setBeepHandler(BeepHandler next) { return std::exchange(handler(), std::move(next)); }

}  // namespace vm
