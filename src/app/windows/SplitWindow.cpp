#include "app/windows/SplitWindow.h"

namespace vm {

using namespace kit;

SplitWindow::SplitWindow(QWidget* parent) : Window(parent) {
    setObjectName(QStringLiteral("splitWindow"));
    setWindowTitle(QStringLiteral("Split"));
    auto* central = new QWidget(this);
    auto* grid = new QGridLayout(central);
    splitkHzTextField = textField(central, QStringLiteral("splitkHzTextField"));
    splitkHzTextField->setMinimumWidth(100);
    row(grid, QStringLiteral("Split kHz"), {splitkHzTextField});
    cancelButton = button(central, QStringLiteral("splitkHzCancel"), QStringLiteral("Cancel"));
    okButton = button(central, QStringLiteral("splitkHzOK"), QStringLiteral("OK"));
    okButton->setDefault(true);
    row(grid, QString(), {cancelButton, okButton});
    setCentralWidget(central);
    resize(240, 90);
}

}  // namespace vm
