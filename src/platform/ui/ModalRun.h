#pragma once
// Runs a dialog in its own modal loop. A test's answer, when given, runs once that loop has
// started, so it meets the dialog as a person would: open, with its buttons live.
#include <QDialog>
#include <QTimer>

#include <functional>

namespace vm {

inline int runModalDialog(QDialog& dialog, const std::function<void()>& answer) {
    if (answer) {
        QTimer::singleShot(0, &dialog, answer);
    }
    return dialog.exec();
}

}  // namespace vm
