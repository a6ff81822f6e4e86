#include "platform/ui/KeyModifiers.h"

#include <QGuiApplication>

namespace vm {

double frequencyStepForModifiers(Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::ShiftModifier) {
        return 10.0;
    }
    if (modifiers & Qt::ControlModifier) {
        return 1000.0;
    }
    if (modifiers & Qt::AltModifier) {
        return 10000.0;
    }
    if (modifiers & Qt::MetaModifier) {
        return 100000.0;
    }
    return 100.0;
}

double getFrequencyKeyModifier() {
    return frequencyStepForModifiers(QGuiApplication::keyboardModifiers());
}

}  // namespace vm
